#include "sila/feature_definitions.h"

#include <QFile>

#include "sila/identifiers.h"

namespace zr::sila {

namespace {

struct Feature {
    const char* identifier;
    const char* resource;
};
constexpr Feature kFeatures[] = {{ServiceFeatureId, ":/sila/SiLAService.sila.xml"},
                                 {PumpFeatureId, ":/sila/SyringePumpController.sila.xml"}};

}  // namespace

std::vector<std::string> ImplementedFeatures() {
    std::vector<std::string> features;
    for (const Feature& f : kFeatures) features.emplace_back(f.identifier);
    return features;
}

std::optional<std::string> FeatureDefinition(const std::string& feature) {
    for (const Feature& f : kFeatures) {
        if (feature != f.identifier) continue;
        QFile file(QString::fromLatin1(f.resource));
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        return file.readAll().toStdString();
    }
    return std::nullopt;
}

}  // namespace zr::sila
