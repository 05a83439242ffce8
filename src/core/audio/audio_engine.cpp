#include "audio/audio_engine.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "app/user_message.h"
#include "audio/asf_protection.h"
#include "audio/audio_backend.h"
#include "audio/audio_type.h"

namespace partita::audio {
namespace fs = std::filesystem;
namespace {

// The loaded module. It is loaded once, on first use, and never unloaded: streams handed out
// run code of the module until they are destroyed, which may be as late as the process's end.
struct LoadedModule {
    AudioBackend* backend = nullptr;
    std::string error;  // why it could not be loaded
};

std::atomic<bool> moduleLoaded{false};

std::vector<fs::path> ModuleCandidates() {
    if (const char* chosen = std::getenv(kAudioModuleEnvironment); chosen && *chosen)
        return {fs::path(chosen)};
    std::vector<fs::path> candidates;
    std::error_code ec;
    fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        candidates.push_back(program.parent_path() / kAudioModuleFileName);
#ifdef PARTITA_AUDIO_MODULE_RELATIVE_DIR
        candidates.push_back(program.parent_path() / PARTITA_AUDIO_MODULE_RELATIVE_DIR /
                             kAudioModuleFileName);
#endif
    }
#ifdef PARTITA_AUDIO_MODULE_BUILD_DIR
    candidates.push_back(fs::path(PARTITA_AUDIO_MODULE_BUILD_DIR) / kAudioModuleFileName);
#endif
#ifdef PARTITA_AUDIO_MODULE_INSTALL_DIR
    candidates.push_back(fs::path(PARTITA_AUDIO_MODULE_INSTALL_DIR) / kAudioModuleFileName);
#endif
    return candidates;
}

LoadedModule Load() {
    LoadedModule module;
    for (const fs::path& candidate : ModuleCandidates()) {
        std::error_code ec;
        if (!fs::is_regular_file(candidate, ec)) {
            module.error = candidate.string() + ": not found";
            continue;
        }
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char* reason = ::dlerror();
            module.error = reason ? reason : candidate.string() + ": cannot be loaded";
            continue;
        }
        moduleLoaded = true;
        auto entry = reinterpret_cast<AudioBackendEntry>(::dlsym(handle, kAudioBackendEntryPoint));
        AudioBackend* backend = entry ? entry(kAudioBackendVersion) : nullptr;
        if (!backend) {
            module.error = candidate.string() + ": not an audio module of this version";
            continue;  // the handle stays open: unloading code that may have run is not safe
        }
        module.backend = backend;
        module.error.clear();
        return module;
    }
    if (module.error.empty())
        module.error = "no audio module";
    return module;
}

const LoadedModule& Module() {
    static const LoadedModule module = Load();
    return module;
}

OpenError CheckFileReadable(const fs::path& path) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        return OpenError::FileNotFound;
    // A folder, a named pipe (whose open would wait for a writer) or a device holds no file.
    if (!fs::is_regular_file(status))
        return OpenError::FileUnreadable;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return OpenError::FileUnreadable;
    return OpenError::None;
}

}  // namespace

Status CheckAudioEngine() {
    const LoadedModule& module = Module();
    if (!module.backend || !module.backend->SelfCheck().empty())
        return Status::Error(ErrorCode::Internal, Msg::AudioModuleFailed);
    return Status::Ok();
}

bool AudioEngineLoaded() {
    return moduleLoaded;
}

OpenResult OpenAudioStream(const fs::path& path, const OpenOptions& options) {
    OpenResult result;
    result.error = CheckFileReadable(path);
    if (result.error != OpenError::None)
        return result;
    const LoadedModule& module = Module();
    if (!module.backend) {
        result.error = OpenError::ModuleUnavailable;
        return result;
    }
    OpenError error = OpenError::None;
    result.stream = module.backend->Open(path.string(), options, error);
    if (!result.stream) {
        // A file named as one of our formats that no reader accepts is a damaged one.
        if (error == OpenError::UnknownFormat && AudioTypeFromExtension(path))
            error = OpenError::Damaged;
        result.error = error;
        return result;
    }
    // Encrypted Windows Media files open, but decode to noise without a licence.
    if (result.stream->Info().container == "asf" && IsProtectedAsfFile(path)) {
        result.stream.reset();
        result.error = OpenError::Protected;
    }
    return result;
}

}  // namespace partita::audio
