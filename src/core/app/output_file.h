#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace partita {

// Writes a file under a temporary name in the folder of its final path and renames it over the
// final path only when Commit succeeds. Until then an existing file at the final path is
// untouched, and a failed or abandoned write leaves nothing behind: the destructor removes the
// temporary file. The temporary name is unique and never an existing file's name.
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
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

    const std::filesystem::path& TempPath() const { return tempPath_; }
    const std::filesystem::path& FinalPath() const { return finalPath_; }

  private:
    std::FILE* stream_ = nullptr;
    std::filesystem::path tempPath_;
    std::filesystem::path finalPath_;
    bool failed_ = false;
};

// Whether two paths name the same file as the file system sees it (links, relative and
// absolute forms of one file are one file). False when either does not exist.
bool IsSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace partita
