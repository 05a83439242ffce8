#include "app/output_file.h"

#include "app/file_error.h"

#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>

namespace partita {
namespace fs = std::filesystem;
namespace {

// Renames `from` to `to` unless `to` exists, in one step where the file system can: a
// no-replace rename, else a hard link (which fails on an existing name) and an unlink.
// 0 when done, else an errno value (EEXIST: the name was taken).
int RenameNoReplace(const fs::path& from, const fs::path& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
#endif
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != ENOSYS)
        return errno;
    // A file system without links either: the check and the rename are two steps here.
    std::error_code ec;
    if (fs::exists(to, ec))
        return EEXIST;
    fs::rename(from, to, ec);
    return ec ? ec.value() : 0;
}

}  // namespace

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Open(const fs::path& finalPath) {
    Discard();
    finalPath_ = finalPath;
    failed_ = false;
    error_ = 0;
    fs::path folder = finalPath.parent_path();
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Short whatever the final name: that name may already be as long as names can be.
        std::string name = ".partita-" + std::to_string(::getpid()) + "-" +
                           std::to_string(counter++) + "-" + std::to_string(random() % 100000) +
                           ".part";
        fs::path candidate = folder.empty() ? fs::path(name) : folder / name;
        // O_EXCL: never take over a file that already exists under that name.
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return Fail(errno);
        }
        stream_ = ::fdopen(fd, "wb");
        if (!stream_) {
            NoteFileError(errno);
            ::close(fd);
            ::unlink(candidate.c_str());
            return false;
        }
        tempPath_ = candidate;
        return true;
    }
    return Fail(EEXIST);
}

bool OutputFile::Fail(int code) {
    error_ = code;
    NoteFileError(code);
    errno = code;
    return false;
}

bool OutputFile::Write(const void* data, std::size_t size) {
    if (!stream_ || failed_)
        return false;
    if (size != 0 && std::fwrite(data, 1, size, stream_) != size) {
        failed_ = true;
        Fail(errno);
    }
    return !failed_;
}

CommitResult OutputFile::Commit(ExistingOutput existing) {
    if (!stream_ && (tempPath_.empty() || failed_))
        return CommitResult::Failed;
    bool ok = true;
    if (stream_) {  // else closed by a commit that kept an existing file
        ok = !failed_ && std::fflush(stream_) == 0 && !std::ferror(stream_);
        if (!ok && !failed_)
            Fail(errno);
        if (std::fclose(stream_) != 0 && ok) {
            Fail(errno);
            ok = false;
        }
        stream_ = nullptr;
        failed_ = !ok;
    }
    CommitResult result = ok ? CommitResult::Done : CommitResult::Failed;
    if (ok && existing == ExistingOutput::Replace) {
        std::error_code ec;
        fs::rename(tempPath_, finalPath_, ec);
        if (ec) {
            Fail(ec.value());
            result = CommitResult::Failed;
        }
    } else if (ok) {
        int error = RenameNoReplace(tempPath_, finalPath_);
        if (error != 0)
            result = error == EEXIST ? CommitResult::Kept : CommitResult::Failed;
        if (error != 0 && error != EEXIST)
            Fail(error);
    }
    if (result == CommitResult::Kept)
        return result;
    if (result != CommitResult::Done) {
        std::error_code ec;
        fs::remove(tempPath_, ec);
    }
    tempPath_.clear();
    return result;
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
