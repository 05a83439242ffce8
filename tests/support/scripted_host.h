#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/job_host.h"

namespace partita::test {

// A job host for tests: answers come from queues filled by the test (defaults when empty), and
// every call is recorded.
class ScriptedHost : public JobHost {
  public:
    struct Shown {
        std::optional<Msg> id;
        std::string text;
        MessageKind kind;
    };

    std::deque<bool> yesNoAnswers;                           // default: yes
    std::deque<bool> infoAnswers;                            // default: OK
    std::deque<OverwriteReply> overwriteAnswers;             // default: Yes
    std::deque<StopAnswer> stopAnswers;                      // default: StopSource
    std::deque<FailureAnswer> failureAnswers;                // default: Ignore
    std::deque<std::optional<std::string>> folderAnswers;    // default: the start folder
    std::deque<std::optional<std::string>> saveFileAnswers;  // default: cancelled
    CompletionReply completionReply;
    // Stop requests to raise: the n-th call of TakeStopRequest returns true when n is listed.
    std::vector<int> stopAtCall;

    std::vector<Shown> messages;
    std::vector<std::string> questions;
    std::vector<std::string> overwriteAsked;
    std::vector<std::string> statuses;
    std::vector<std::string> saveFileAsked;  // "start folder|proposed name"
    std::vector<CompletionReport> completions;
    std::vector<std::string> openedFolders;
    std::vector<std::string> playedFiles;
    std::uint64_t lastProgress = 0, lastRange = 0;
    int stopCalls = 0;

    void ShowMessage(MessageKind kind, const UserMessage& message) override {
        messages.push_back({message.Id(), message.Text(), kind});
    }
    bool AskYesNo(const UserMessage& question) override {
        questions.push_back(question.Text());
        return Pop(yesNoAnswers, true);
    }
    bool ShowInfoWithToggle(const UserMessage& message, const std::string&, bool) override {
        questions.push_back(message.Text());
        return Pop(infoAnswers, true);
    }
    OverwriteReply AskOverwrite(const std::string& path) override {
        overwriteAsked.push_back(path);
        return Pop(overwriteAnswers, OverwriteReply{OverwriteAnswer::Yes, {}, false});
    }
    StopAnswer AskStop(const std::string&) override {
        return Pop(stopAnswers, StopAnswer::StopSource);
    }
    FailureAnswer AskFailure(const UserMessage& message) override {
        messages.push_back({message.Id(), message.Text(), MessageKind::Error});
        return Pop(failureAnswers, FailureAnswer::Ignore);
    }
    std::optional<std::string> ChooseFolder(Msg, const std::string& start) override {
        return Pop(folderAnswers, std::optional<std::string>(start));
    }
    std::optional<std::string> ChooseSaveFile(Msg, const std::string& start,
                                              const std::string& name) override {
        saveFileAsked.push_back(start + "|" + name);
        return Pop(saveFileAnswers, std::optional<std::string>());
    }
    void SetProgress(std::uint64_t position, std::uint64_t range) override {
        lastProgress = position;
        lastRange = range;
    }
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    bool TakeStopRequest() override {
        ++stopCalls;
        for (int n : stopAtCall) {
            if (n == stopCalls)
                return true;
        }
        return false;
    }
    CompletionReply ShowCompletion(const CompletionReport& report) override {
        completions.push_back(report);
        return completionReply;
    }
    void OpenFolder(const std::string& folder) override { openedFolders.push_back(folder); }
    void PlayFile(const std::string& path) override { playedFiles.push_back(path); }

    bool Showed(Msg id) const {
        for (const auto& m : messages) {
            if (m.id == id)
                return true;
        }
        return false;
    }

  private:
    template <typename T, typename D>
    static T Pop(std::deque<T>& queue, D fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

}  // namespace partita::test
