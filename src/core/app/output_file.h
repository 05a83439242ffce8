#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace partita {

// What Commit does with a file that exists under the final name by then.
enum class ExistingOutput {
    Replace,  // the new file takes its place
    Keep,     // the existing file stays and the new one is dropped
};

enum class CommitResult {
    Done,    // the new file is in place under its final name
    Kept,    // a file already had the name and was kept (ExistingOutput::Keep)
    Failed,  // a write, flush or rename failed; nothing new is in place
};

// Writes a file under a temporary name in the folder of its final path and renames it to the
// final path only when Commit succeeds. Until then an existing file at the final path is
// untouched, and a failed or abandoned write leaves nothing behind: the destructor removes the
// temporary file. The temporary name is short (a final name of the longest length the file
// system allows still has room), unique, and never an existing file's name.
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file; false (with errno set) when the folder is not writable.
    bool Open(const std::filesystem::path& finalPath);
    std::FILE* Stream() const { return stream_; }
    bool Write(const void* data, std::size_t size);
    // Flushes, closes and renames over the final path; false when any step failed, in which
    // case the temporary file is removed.
    bool Commit() { return Commit(ExistingOutput::Replace) == CommitResult::Done; }
    // The same; with Keep the file is put in place only when the final name is still free at
    // that moment (checked and taken in one step, so a file another program wrote meanwhile is
    // never replaced). After Kept the finished temporary file stays until Discard or the
    // destructor, so a caller that gets leave to replace can Commit(Replace) it.
    CommitResult Commit(ExistingOutput existing);
    // Closes and removes the temporary file.
    void Discard();

    const std::filesystem::path& TempPath() const { return tempPath_; }
    // Why the last step failed (an errno value); 0 when none did. A failure is also noted as
    // the thread's last file error (file_error.h).
    int Error() const { return error_; }
    const std::filesystem::path& FinalPath() const { return finalPath_; }

  private:
    bool Fail(int code);

    std::FILE* stream_ = nullptr;
    std::filesystem::path tempPath_;
    std::filesystem::path finalPath_;
    bool failed_ = false;
    int error_ = 0;
};

// Whether two paths name the same file as the file system sees it (links, relative and
// absolute forms of one file are one file). False when either does not exist.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace partita
