// Arbitrary bytes as a CUE sheet: the sheet is read (in GBK where it is not UTF-8); a sheet
// that loads is written back and read again, which must give the same header title and the
// same track starts.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cue/cue_sheet.h"
#include "cue/cue_writer.h"

using namespace partita;
namespace fs = std::filesystem;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("partita_cue_fuzz_" + std::to_string(getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path sheet = Folder() / "in.cue";
    {
        std::ofstream out(sheet, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CueSheet cue("GBK");
    if (!cue.Load(sheet)) {
        Check(cue.TrackCount() == 0 && !cue.Error().message.Text().empty());
        return 0;
    }
    Check(cue.TrackCount() > 0);

    const fs::path copy = Folder() / "copy.cue";
    Check(WriteCueSheet(copy, "audio.wav", cue.Header(), cue.Tracks()).ok());
    CueSheet again("GBK");
    Check(again.Load(copy));
    Check(again.TrackCount() == cue.TrackCount());
    Check(again.Header().title == cue.Header().title);
    for (int i = 0; i < cue.TrackCount(); ++i)
        Check(again.Tracks()[i].startText == cue.Tracks()[i].startText);
    return 0;
}
