#pragma once

#include <string>

namespace zr::sila {

// The fully qualified identifiers the server's features name.
inline constexpr const char* ServiceFeatureId = "org.silastandard/core/SiLAService/v1";
inline constexpr const char* PumpFeatureId = "org.zadurovu/pumps/SyringePumpController/v1";

// "<feature>/<kind>/<identifier>", e.g. Qualified(PumpFeatureId, "DefinedExecutionError", "NoReply").
inline std::string Qualified(const char* feature, const char* kind, const std::string& identifier) {
    return std::string(feature) + "/" + kind + "/" + identifier;
}

}  // namespace zr::sila
