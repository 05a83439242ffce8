#include "desktop_man_page.h"

#include "app/man_page.h"
#include "program_info.h"
#include "startup_arguments.h"

namespace partita::gui {

std::string DesktopManPage() {
    ManPage page;
    page.name = "partita-studio";
    page.summary = "cut MPEG audio and WAV files into tracks, join audio files into one MP3";
    page.source = "Partita Studio " + ProgramVersion().toStdString();
    page.synopsis = {"partita-studio [OPTIONS] [-a SPLIT|MERGE -s PATH]",
                     "partita-studio [OPTIONS] FILE"};

    ManSection description{"Description"};
    description.paragraphs = {
        "The desktop program of Partita Studio. The splitter cuts MP3, MP2, MP1, MPA and WAV "
        "files into tracks at typed points, into equal parts or fixed lengths, at silences or "
        "as a CUE sheet says; the joiner joins audio files into one MP3, frame by frame when "
        "they are MPEG files of one format, else decoded and encoded with lame(1). Cuts and "
        "direct joins copy whole MPEG frames: nothing is decoded or re-encoded.",
        "Given -a and -s, the program starts with PATH in the splitter or the joiner. Given one "
        "FILE and nothing else, as a file manager opens a file with the program, M3U and PLS "
        "merge lists and Ogg, WMA and AIFF files go to the joiner, every other file to the "
        "splitter. Nothing starts by itself.",
        "F1 opens the HTML manual in the web browser, at the page of the pane in front."};

    ManSection options{"Options"};
    for (const StartupOption& option : StartupOptions()) {
        if (option.kind == StartupOption::Kind::Hidden)
            continue;
        ManItem item{{}, std::string(option.value), std::string(option.description)};
        if (!option.shortName.empty())
            item.names.emplace_back(option.shortName);
        item.names.emplace_back(option.name);
        options.items.push_back(std::move(item));
    }

    std::vector<ManSection> shared = SharedManSections(page.name);
    shared.back().items.push_back(
        {{"/usr/share/partita-studio/manual/"},
         "",
         "The HTML manual, a folder per language (en, zh_CN); in an installation elsewhere, "
         "share/partita-studio/manual beside the program's bin folder."});
    ManSection seeAlso{"See also"};
    seeAlso.paragraphs = {"partita(1), lame(1)"};

    page.sections = {description, options};
    page.sections.insert(page.sections.end(), shared.begin(), shared.end());
    page.sections.push_back(seeAlso);
    return WriteManPage(page);
}

}  // namespace partita::gui
