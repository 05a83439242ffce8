#include <cstdint>

#include "support/test_support.h"

extern "C" int FuzzMpegAnalysisInput(const std::uint8_t* data, std::size_t size);
extern "C" int FuzzId3Input(const std::uint8_t* data, std::size_t size);

namespace partita {
namespace {

namespace fs = std::filesystem;

// Runs every kept input of a fuzz target through the target's code; a crash or a sanitizer
// report fails the suite.
std::size_t RunKeptInputs(const char* target, int (*run)(const std::uint8_t*, std::size_t)) {
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(PARTITA_FUZZ_REGRESSIONS) / target)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::vector<std::uint8_t> bytes = test::ReadFileBytes(entry.path());
        EXPECT_EQ(run(bytes.data(), bytes.size()), 0);
        ++count;
    }
    return count;
}

// Inputs the analysis fuzzer failed on, and edge cases kept with them, stay harmless.
TEST(FuzzRegressions, MpegAnalysis) {
    EXPECT_GT(RunKeptInputs("mpeg_analysis", FuzzMpegAnalysisInput), 0u);
}

// The same for the ID3 fuzzer.
TEST(FuzzRegressions, Id3) {
    EXPECT_GT(RunKeptInputs("id3", FuzzId3Input), 0u);
}

}  // namespace
}  // namespace partita
