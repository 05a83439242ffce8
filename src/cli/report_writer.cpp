#include "report_writer.h"

#include "cli_job_host.h"

namespace partita::cli {

void ReportWriter::Add(nlohmann::json item, const std::string& text) {
    if (json_) {
        items_.push_back(std::move(item));
    } else if (host_) {
        if (!text.empty())
            host_->PrintLine(out_, text);
    } else {
        out_ << text;
        if (!text.empty() && text.back() != '\n')
            out_ << '\n';
    }
}

void ReportWriter::Finish() {
    if (finished_)
        return;
    finished_ = true;
    // Invalid UTF-8 in a name (a legacy file name) is replaced rather than aborting the report.
    if (json_)
        out_ << items_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

}  // namespace partita::cli
