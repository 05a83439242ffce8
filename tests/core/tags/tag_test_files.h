#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "tags/tag_texts.h"

// Files for the tag tests: made with ffmpeg and lame, read back with ffprobe (an independent
// reader).

namespace partita {

// Shows the seven texts when a comparison fails.
inline void PrintTo(const TagTexts& texts, std::ostream* out) {
    *out << "{title \"" << texts.title << "\", artist \"" << texts.artist << "\", album \""
         << texts.album << "\", year \"" << texts.year << "\", comment \"" << texts.comment
         << "\", track \"" << texts.track << "\", genre \"" << texts.genre << "\"}";
}

}  // namespace partita

namespace partita::test {

// Runs ffmpeg on `from` with the options and writes `to`; fails the test when it fails.
inline void Ffmpeg(const fs::path& from, const fs::path& to,
                   const std::vector<std::string>& options) {
    std::vector<std::string> argv{"ffmpeg", "-nostdin", "-v", "error", "-y", "-i", from.string()};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(to.string());
    std::string output;
    ASSERT_EQ(RunProgram(argv, &output), 0) << output;
}

// A short tone in a file of the format ffmpeg picks from the name, with extra options.
inline fs::path MakeAudioFile(const fs::path& folder, const std::string& name,
                              const std::vector<std::string>& options = {}) {
    fs::path wav = folder / (name + ".source.wav");
    WriteWav(wav, SynthesizePcm({{440, 300, 0.5}}, 44100, 2), 44100, 2);
    fs::path target = folder / name;
    Ffmpeg(wav, target, options);
    fs::remove(wav);
    return target;
}

// The container-level tags ffprobe reads, by lower-case name.
inline std::map<std::string, std::string> ProbeTags(const fs::path& file) {
    std::string output;
    RunProgram({"ffprobe", "-v", "error", "-show_entries", "format_tags", "-of",
                "default=noprint_wrappers=1", file.string()},
               &output);
    std::map<std::string, std::string> tags;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("TAG:", 0) != 0 || line.find('=') == std::string::npos)
            continue;
        std::string name = line.substr(4, line.find('=') - 4);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        tags[name] = line.substr(line.find('=') + 1);
    }
    return tags;
}

// The RIFF chunk ids at the top level of a WAV file, in order.
inline std::vector<std::string> RiffChunks(const fs::path& wav) {
    auto bytes = ReadFileBytes(wav);
    std::vector<std::string> ids;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 |
                             std::uint32_t(bytes[at + 7]) << 24;
        std::string id(bytes.begin() + at, bytes.begin() + at + 4);
        if (id == "LIST" && at + 12 <= bytes.size())
            id += "/" + std::string(bytes.begin() + at + 8, bytes.begin() + at + 12);
        ids.push_back(id);
        at += 8 + std::size_t(size) + (size & 1);
    }
    return ids;
}

// A RIFF INFO list chunk of the given fields (ids such as "INAM", "IGNR"; raw bytes).
inline std::vector<std::uint8_t> InfoChunk(
    const std::vector<std::pair<std::string, std::string>>& fields) {
    std::vector<std::uint8_t> body{'I', 'N', 'F', 'O'};
    for (const auto& [id, text] : fields) {
        std::uint32_t size = static_cast<std::uint32_t>(text.size() + 1);
        body.insert(body.end(), id.begin(), id.end());
        for (int i = 0; i < 4; ++i)
            body.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
        body.insert(body.end(), text.begin(), text.end());
        body.push_back(0);
        if (size & 1)
            body.push_back(0);
    }
    std::vector<std::uint8_t> chunk{'L', 'I', 'S', 'T'};
    for (int i = 0; i < 4; ++i)
        chunk.push_back(static_cast<std::uint8_t>(body.size() >> (8 * i)));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

// Appends a chunk to a WAV file and corrects the RIFF size.
inline void AppendRiffChunk(const fs::path& wav, const std::vector<std::uint8_t>& chunk) {
    auto bytes = ReadFileBytes(wav);
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    std::uint32_t size = static_cast<std::uint32_t>(bytes.size() - 8);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    WriteFileBytes(wav, bytes);
}

}  // namespace partita::test
