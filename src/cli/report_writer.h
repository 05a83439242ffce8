#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

namespace partita::cli {

class CliJobHost;

// Writes a command's report: one JSON array of objects with --json, else readable text.
// A command builds one JSON object per item and hands it here with its text form. With a host,
// text lines go out through it, so they never land on its progress bar.
class ReportWriter {
  public:
    ReportWriter(std::ostream& out, bool json, CliJobHost* host = nullptr)
        : out_(out), json_(json), host_(host) {}
    ~ReportWriter() { Finish(); }

    void Add(nlohmann::json item, const std::string& text);
    // Writes the JSON array (once); text items are written as they come.
    void Finish();

  private:
    std::ostream& out_;
    bool json_;
    CliJobHost* host_;
    bool finished_ = false;
    nlohmann::json items_ = nlohmann::json::array();
};

}  // namespace partita::cli
