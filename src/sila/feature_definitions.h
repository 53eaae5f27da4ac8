#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr::sila {

// The fully qualified identifiers of the features every pump server implements.
std::vector<std::string> ImplementedFeatures();
// The feature definition (FDL XML) of one of them, compiled into the program; none for any
// other identifier.
std::optional<std::string> FeatureDefinition(const std::string& feature);

}  // namespace zr::sila
