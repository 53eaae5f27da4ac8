#pragma once

#include <grpcpp/support/status.h>

#include <string>

#include "SiLAFramework.pb.h"

namespace zr::sila {

// The SiLA errors as a call returns them: a gRPC status ABORTED whose message is the base64
// text of the serialized SiLAError.
grpc::Status ValidationError(const std::string& parameter, const std::string& message);
grpc::Status DefinedError(const std::string& identifier, const std::string& message);
grpc::Status UndefinedError(const std::string& message);
grpc::Status FrameworkError(sila2::org::silastandard::FrameworkError::ErrorType type,
                            const std::string& message);

}  // namespace zr::sila
