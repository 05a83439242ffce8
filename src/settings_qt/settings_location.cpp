#include "settings_location.h"

#include <filesystem>

namespace partita {

std::unique_ptr<ProgramSettings> ProgramSettings::Open(const std::string& programName,
                                                       const std::string& iniFile,
                                                       const std::vector<std::string>& overrides,
                                                       std::string* error) {
    std::unique_ptr<QtSettingsStore> backing =
        iniFile.empty() ? std::make_unique<QtSettingsStore>(QString::fromStdString(programName))
                        : QtSettingsStore::FromIniFile(QString::fromStdString(iniFile));
    std::unique_ptr<ProgramSettings> settings(new ProgramSettings(std::move(backing)));
    for (const std::string& assignment : overrides) {
        if (!settings->overlay_.AddOverride(assignment)) {
            if (error)
                *error = assignment;
            return nullptr;
        }
    }
    return settings;
}

std::string ProgramBaseName(const std::string& argv0) {
    std::string stem = std::filesystem::path(argv0).stem().string();
    return stem.empty() ? std::string("partita") : stem;
}

}  // namespace partita
