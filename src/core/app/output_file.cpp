#include "app/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>

namespace partita {
namespace fs = std::filesystem;

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Open(const fs::path& finalPath) {
    Discard();
    finalPath_ = finalPath;
    failed_ = false;
    fs::path folder = finalPath.parent_path();
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + finalPath.filename().string() + ".part-" +
                           std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                           std::to_string(random() % 100000);
        fs::path candidate = folder.empty() ? fs::path(name) : folder / name;
        // O_EXCL: never take over a file that already exists under that name.
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        stream_ = ::fdopen(fd, "wb");
        if (!stream_) {
            ::close(fd);
            ::unlink(candidate.c_str());
            return false;
        }
        tempPath_ = candidate;
        return true;
    }
    errno = EEXIST;
    return false;
}

bool OutputFile::Write(const void* data, std::size_t size) {
    if (!stream_ || failed_)
        return false;
    if (size != 0 && std::fwrite(data, 1, size, stream_) != size)
        failed_ = true;
    return !failed_;
}

bool OutputFile::Commit() {
    if (!stream_)
        return false;
    bool ok = !failed_ && std::fflush(stream_) == 0 && !std::ferror(stream_);
    ok = (std::fclose(stream_) == 0) && ok;
    stream_ = nullptr;
    if (ok) {
        std::error_code ec;
        fs::rename(tempPath_, finalPath_, ec);
        ok = !ec;
    }
    if (!ok) {
        std::error_code ec;
        fs::remove(tempPath_, ec);
    }
    tempPath_.clear();
    return ok;
}

void OutputFile::Discard() {
    if (stream_) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!tempPath_.empty()) {
        std::error_code ec;
        fs::remove(tempPath_, ec);
        tempPath_.clear();
    }
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

}  // namespace partita
