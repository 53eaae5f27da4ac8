#include "sila/sila_errors.h"

#include <QByteArray>

namespace zr::sila {

namespace {

using sila2::org::silastandard::SiLAError;

grpc::Status Aborted(const SiLAError& error) {
    const std::string bytes = error.SerializeAsString();
    return {grpc::StatusCode::ABORTED,
            QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64().toStdString()};
}

}  // namespace

grpc::Status ValidationError(const std::string& parameter, const std::string& message) {
    SiLAError error;
    error.mutable_validationerror()->set_parameter(parameter);
    error.mutable_validationerror()->set_message(message);
    return Aborted(error);
}

grpc::Status DefinedError(const std::string& identifier, const std::string& message) {
    SiLAError error;
    error.mutable_definedexecutionerror()->set_erroridentifier(identifier);
    error.mutable_definedexecutionerror()->set_message(message);
    return Aborted(error);
}

grpc::Status UndefinedError(const std::string& message) {
    SiLAError error;
    error.mutable_undefinedexecutionerror()->set_message(message);
    return Aborted(error);
}

grpc::Status FrameworkError(sila2::org::silastandard::FrameworkError::ErrorType type,
                            const std::string& message) {
    SiLAError error;
    error.mutable_frameworkerror()->set_errortype(type);
    error.mutable_frameworkerror()->set_message(message);
    return Aborted(error);
}

}  // namespace zr::sila
