#include "join/merge_source.h"

#include "app/string_table.h"
#include "app/user_message.h"

namespace partita {

std::vector<MergeSource> MergeSourcesOf(const MergeList& list) {
    std::vector<MergeSource> sources;
    sources.reserve(list.Size());
    for (const MergeRow& row : list.Rows()) {
        sources.push_back(
            MergeSource{row.Path(), row.fileName, row.Range(), row.silenceSeconds, row.lengthMs});
    }
    return sources;
}

std::string MergeStatusText(std::size_t index, std::size_t count, const MergeSource& source) {
    // The two mode texts belong to the status line alone and have no number of their own.
    bool chinese = CurrentLanguage() == Language::Chinese;
    const char* mode = source.range.IsSet() ? (chinese ? "部分合并" : "partial merge")
                                            : (chinese ? "完全合并" : "full merge");
    return Message(Msg::MergingFile, index + 1, count, source.name, mode);
}

bool StopConfirmed(JobHost& host) {
    if (!host.TakeStopRequest())
        return false;
    return host.AskYesNo(Msg::ConfirmStopMerge);
}

}  // namespace partita
