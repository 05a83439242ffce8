#include "app/man_page.h"

#include "audio/audio_engine.h"

#include <cctype>
#include <sstream>

namespace partita {
namespace {

// A character as roff reads it literally: a backslash is roff's escape, and "-" would be a
// hyphen (options must stay minus signs to be copied from the page).
void AppendLiteral(std::string& out, char c) {
    if (c == '\\') {
        out += "\\e";
    } else if (c == '-') {
        out += "\\-";
    } else {
        out += c;
    }
}

// Text lines; a line starting with "." or "'" would be a request.
std::string Escape(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\''))
            out += "\\&";
        lineStart = c == '\n';
        AppendLiteral(out, c);
    }
    return out;
}

// An argument of a request, quoted.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') {
            out += "\\(dq";
        } else {
            AppendLiteral(out, c);
        }
    }
    return out + "\"";
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void WriteSection(std::ostream& out, const ManSection& section, bool sub) {
    out << (sub ? ".SS " : ".SH ") << Quoted(sub ? section.heading : Upper(section.heading))
        << "\n";
    for (std::size_t i = 0; i < section.paragraphs.size(); ++i) {
        if (i > 0)
            out << ".PP\n";
        out << Escape(section.paragraphs[i]) << "\n";
    }
    for (const ManItem& item : section.items) {
        out << ".TP\n";
        for (std::size_t i = 0; i < item.names.size(); ++i)
            out << (i > 0 ? ", " : "") << "\\fB" << Escape(item.names[i]) << "\\fR";
        if (!item.value.empty())
            out << " \\fI" << Escape(item.value) << "\\fR";
        out << "\n" << Escape(item.text.empty() ? std::string(" ") : item.text) << "\n";
    }
    for (const ManSection& subsection : section.subsections)
        WriteSection(out, subsection, true);
}

}  // namespace

std::string WriteManPage(const ManPage& page) {
    std::ostringstream out;
    out << ".TH " << Quoted(Upper(page.name)) << " 1 \"\" " << Quoted(page.source)
        << " \"User Commands\"\n";
    out << ".SH NAME\n" << Escape(page.name) << " \\- " << Escape(page.summary) << "\n";
    out << ".SH SYNOPSIS\n";
    for (std::size_t i = 0; i < page.synopsis.size(); ++i) {
        const std::string& line = page.synopsis[i];
        std::size_t space = line.find(' ');
        if (i > 0)
            out << ".br\n";
        out << "\\fB" << Escape(line.substr(0, space)) << "\\fR";
        if (space != std::string::npos)
            out << Escape(line.substr(space));
        out << "\n";
    }
    for (const ManSection& section : page.sections)
        WriteSection(out, section, false);
    return out.str();
}

std::vector<ManSection> SharedManSections(const std::string& program) {
    ManSection environment{"Environment"};
    environment.items.push_back(
        {{audio::kAudioModuleEnvironment},
         "",
         std::string("The audio module to load (") + audio::kAudioModuleFileName +
             ", which decodes through FFmpeg) instead of the one found beside the program, in "
             "../lib/partita or in the installed library folder."});
    ManSection files{"Files"};
    files.items.push_back({{"~/.config/LodestarWorks/" + program + ".conf"},
                           "",
                           "The per-user settings, unless --settings names another file."});
    return {environment, files};
}

}  // namespace partita
