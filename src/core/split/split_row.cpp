#include "split/split_row.h"

#include <utility>

#include "app/string_table.h"

namespace partita {

std::string SplitModeText(SplitMode mode) {
    switch (mode) {
        case SplitMode::Fast:
            return CurrentStrings().Get(Msg::SplitModeFast);
        case SplitMode::Frame:
            return CurrentStrings().Get(Msg::SplitModeFrame);
        default:
            return CurrentStrings().Get(Msg::SplitModeAuto);
    }
}

SplitMode ParseSplitModeText(const std::string& text) {
    // Either language's text counts: a list or sheet written in one language may be read in
    // the other.
    for (Language language : {Language::Chinese, Language::English}) {
        const StringTable& table = StringTable::For(language);
        if (text == table.Get(Msg::SplitModeFast))
            return SplitMode::Fast;
        if (text == table.Get(Msg::SplitModeFrame))
            return SplitMode::Frame;
    }
    return SplitMode::Auto;
}

const std::string* TagTemplates::Field(int column) const {
    switch (column) {
        case kColTitle:
            return &title;
        case kColArtist:
            return &artist;
        case kColAlbum:
            return &album;
        case kColGenre:
            return &genre;
        case kColYear:
            return &year;
        case kColTrackNumber:
            return &trackNumber;
        case kColComment:
            return &comment;
        default:
            return nullptr;
    }
}

std::string* TagTemplates::Field(int column) {
    return const_cast<std::string*>(std::as_const(*this).Field(column));
}

bool FrameModeInForce(const SourceFormat& format, SplitMode mode) {
    return format.type == audio::AudioType::Mpeg &&
           (mode == SplitMode::Frame ||
            (mode == SplitMode::Auto && format.vbrHeader != VbrHeaderType::None));
}

}  // namespace partita
