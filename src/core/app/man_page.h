#pragma once

#include <string>
#include <utility>
#include <vector>

namespace partita {

// A manual page in the man(7) format. The programs fill one from the option tables they parse
// with, so the installed page always lists the options the program takes.

// One item of a list: an option ("-o", "--output" taking "DIR"), a command or a name.
struct ManItem {
    std::vector<std::string> names;  // set in bold, joined by ", "
    std::string value;               // set in italics after the names; empty for a flag
    std::string text;
};

// A section (or, inside one, a subsection): paragraphs, then a list.
struct ManSection {
    explicit ManSection(std::string title, std::vector<std::string> text = {})
        : heading(std::move(title)), paragraphs(std::move(text)) {}

    std::string heading;
    std::vector<std::string> paragraphs;
    std::vector<ManItem> items;
    std::vector<ManSection> subsections;
};

struct ManPage {
    std::string name;     // "partita"
    std::string summary;  // the one line after the name in NAME
    std::string source;   // "Partita Studio 0.1.0", shown in the footer
    std::vector<std::string> synopsis;
    std::vector<ManSection> sections;  // after NAME and SYNOPSIS
};

// The page as roff source, section 1.
std::string WriteManPage(const ManPage& page);

// The sections both programs' pages share: ENVIRONMENT (the audio module) and FILES (the
// per-user settings of `program`, the name the program was installed under).
std::vector<ManSection> SharedManSections(const std::string& program);

}  // namespace partita
