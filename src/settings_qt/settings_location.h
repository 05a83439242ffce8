#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/override_settings_store.h"
#include "qt_settings_store.h"

namespace partita {

// Where a program's settings live for one run: the per-user store of "LodestarWorks" and the
// program's base name, or an INI file given with --settings, with the --set overrides on top.
class ProgramSettings {
  public:
    // `iniFile` empty means the per-user store. Fails with a message naming the first override
    // that is not of the form "SECTION/NAME=VALUE".
    static std::unique_ptr<ProgramSettings> Open(const std::string& programName,
                                                 const std::string& iniFile,
                                                 const std::vector<std::string>& overrides,
                                                 std::string* error);

    SettingsStore& Store() { return overlay_; }
    QtSettingsStore& Backing() { return *backing_; }

  private:
    explicit ProgramSettings(std::unique_ptr<QtSettingsStore> backing)
        : backing_(std::move(backing)), overlay_(*backing_) {}

    std::unique_ptr<QtSettingsStore> backing_;
    OverrideSettingsStore overlay_;
};

// The base name of a program file without its extension ("partita" for "/usr/bin/partita").
std::string ProgramBaseName(const std::string& argv0);

}  // namespace partita
