#pragma once

#include <functional>
#include <string>

#include "SiLAService.grpc.pb.h"
#include "sila/server_records.h"

namespace zr::sila {

// What the SiLA Service tells of one pump server.
struct ServerFacts {
    std::string key;  // the pump's record in ServerRecords
    std::string uuid, defaultName, type, description, version, vendorUrl;
};

// org.silastandard/core/SiLAService/v1 for one pump server.
class ServiceFeature final : public sila2::org::silastandard::core::silaservice::v1::SiLAService::Service {
public:
    // `renamed` is called after each SetServerName that was kept.
    ServiceFeature(ServerFacts facts, ServerRecords& records, std::function<void()> renamed = {})
        : facts_(std::move(facts)), records_(records), renamed_(std::move(renamed)) {}

    grpc::Status GetFeatureDefinition(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::GetFeatureDefinition_Parameters* in,
        sila2::org::silastandard::core::silaservice::v1::GetFeatureDefinition_Responses* out) override;
    grpc::Status SetServerName(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::SetServerName_Parameters* in,
        sila2::org::silastandard::core::silaservice::v1::SetServerName_Responses*) override;
    grpc::Status Get_ServerName(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::Get_ServerName_Parameters*,
        sila2::org::silastandard::core::silaservice::v1::Get_ServerName_Responses* out) override;
    grpc::Status Get_ServerType(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::Get_ServerType_Parameters*,
        sila2::org::silastandard::core::silaservice::v1::Get_ServerType_Responses* out) override;
    grpc::Status Get_ServerUUID(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::Get_ServerUUID_Parameters*,
        sila2::org::silastandard::core::silaservice::v1::Get_ServerUUID_Responses* out) override;
    grpc::Status Get_ServerDescription(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::Get_ServerDescription_Parameters*,
        sila2::org::silastandard::core::silaservice::v1::Get_ServerDescription_Responses* out) override;
    grpc::Status Get_ServerVersion(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::Get_ServerVersion_Parameters*,
        sila2::org::silastandard::core::silaservice::v1::Get_ServerVersion_Responses* out) override;
    grpc::Status Get_ServerVendorURL(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::Get_ServerVendorURL_Parameters*,
        sila2::org::silastandard::core::silaservice::v1::Get_ServerVendorURL_Responses* out) override;
    grpc::Status Get_ImplementedFeatures(
        grpc::ServerContext*,
        const sila2::org::silastandard::core::silaservice::v1::Get_ImplementedFeatures_Parameters*,
        sila2::org::silastandard::core::silaservice::v1::Get_ImplementedFeatures_Responses* out) override;

private:
    const ServerFacts facts_;
    ServerRecords& records_;
    const std::function<void()> renamed_;
};

}  // namespace zr::sila
