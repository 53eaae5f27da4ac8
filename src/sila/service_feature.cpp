#include "sila/service_feature.h"

#include <QList>
#include <QString>

#include "sila/feature_definitions.h"
#include "sila/identifiers.h"
#include "sila/sila_errors.h"

namespace zr::sila {

namespace {

namespace v1 = sila2::org::silastandard::core::silaservice::v1;

constexpr std::size_t kLongestName = 255;

}  // namespace

grpc::Status ServiceFeature::GetFeatureDefinition(grpc::ServerContext*,
                                                  const v1::GetFeatureDefinition_Parameters* in,
                                                  v1::GetFeatureDefinition_Responses* out) {
    const std::string& feature = in->featureidentifier().value();
    const std::optional<std::string> definition = FeatureDefinition(feature);
    if (!definition) {
        std::string known;
        for (const std::string& f : ImplementedFeatures()) known += (known.empty() ? "" : ", ") + f;
        return DefinedError(Qualified(ServiceFeatureId, "DefinedExecutionError", "UnimplementedFeature"),
                            "This server implements no feature \"" + feature +
                                "\"; ask for one of: " + known + " (ImplementedFeatures lists them).");
    }
    out->mutable_featuredefinition()->set_value(*definition);
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::SetServerName(grpc::ServerContext*, const v1::SetServerName_Parameters* in,
                                           v1::SetServerName_Responses*) {
    const std::string& name = in->servername().value();
    const std::string parameter =
        Qualified(ServiceFeatureId, "Command", "SetServerName/Parameter/ServerName");
    // The length counts characters, not the bytes of their UTF-8 form.
    const std::size_t characters = QString::fromStdString(name).toUcs4().size();
    if (characters > kLongestName)
        return ValidationError(parameter,
                               "The name has " + std::to_string(characters) +
                                   " characters; a server name has at most 255. Give a shorter one.");
    std::string error;
    if (!records_.setName(facts_.key, name, error))
        return UndefinedError("The name could not be kept: " + error + ".");
    if (renamed_) renamed_();
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::Get_ServerName(grpc::ServerContext*, const v1::Get_ServerName_Parameters*,
                                            v1::Get_ServerName_Responses* out) {
    out->mutable_servername()->set_value(records_.name(facts_.key, facts_.defaultName));
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::Get_ServerType(grpc::ServerContext*, const v1::Get_ServerType_Parameters*,
                                            v1::Get_ServerType_Responses* out) {
    out->mutable_servertype()->set_value(facts_.type);
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::Get_ServerUUID(grpc::ServerContext*, const v1::Get_ServerUUID_Parameters*,
                                            v1::Get_ServerUUID_Responses* out) {
    out->mutable_serveruuid()->set_value(facts_.uuid);
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::Get_ServerDescription(grpc::ServerContext*,
                                                   const v1::Get_ServerDescription_Parameters*,
                                                   v1::Get_ServerDescription_Responses* out) {
    out->mutable_serverdescription()->set_value(facts_.description);
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::Get_ServerVersion(grpc::ServerContext*, const v1::Get_ServerVersion_Parameters*,
                                               v1::Get_ServerVersion_Responses* out) {
    out->mutable_serverversion()->set_value(facts_.version);
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::Get_ServerVendorURL(grpc::ServerContext*,
                                                 const v1::Get_ServerVendorURL_Parameters*,
                                                 v1::Get_ServerVendorURL_Responses* out) {
    out->mutable_servervendorurl()->set_value(facts_.vendorUrl);
    return grpc::Status::OK;
}

grpc::Status ServiceFeature::Get_ImplementedFeatures(grpc::ServerContext*,
                                                     const v1::Get_ImplementedFeatures_Parameters*,
                                                     v1::Get_ImplementedFeatures_Responses* out) {
    for (const std::string& feature : ImplementedFeatures())
        out->add_implementedfeatures()->set_value(feature);
    return grpc::Status::OK;
}

}  // namespace zr::sila
