#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/job_host.h"
#include "app/settings_store.h"
#include "join/convert_merge.h"
#include "join/merge_list.h"
#include "join/merge_source.h"
#include "tags/tag_info.h"

namespace partita {

// The merge modes of setting "Merge Mode".
enum class MergeMode { Auto = 0, Direct = 1, Convert = 2 };

// What the joiner holds for a merge: the mode and output format, gapless joining and the output
// tag. The desktop page keeps these; the command line takes them from its options.
struct MergeRequest {
    MergeMode mode = MergeMode::Auto;
    int outputSampleRate = 0;  // 0 = the highest of the sources
    int outputChannels = 0;    // 0 = mono when every source is mono, else stereo
    bool gapless = true;
    TagInfo tags;
    // The output file; when empty the host is asked for it.
    std::string outputPath;

    // The values of the settings: "Merge Mode", "Output Samplerate", "Output Channel",
    // "Gapless Merge", the two tag switches, and the tag texts of section "Joiner MP3 ID3" when
    // "Save ID3 TAG" is set (else empty texts and the default comment).
    static MergeRequest FromSettings(SettingsStore& settings);
};

// The comment an output tag starts with when no tag texts are kept.
inline constexpr const char* kDefaultMergeComment = "Partita Studio";

// What the list says about the files, for choosing the mode.
struct MergeSurvey {
    bool allMpeg = true;
    bool allMono = true;
    int highestSampleRate = 0;
    // Every file has the same sample rate, the same bitrate (a VBR file matches any) and the
    // same mono-ness; false unless all are MPEG.
    bool sameParameters = true;
};

// The engines and file operations a merge job drives; the standard set works on real files,
// tests put in fakes.
class MergeEngines {
  public:
    virtual ~MergeEngines() = default;
    virtual audio::AudioType AudioType(const std::string& path) = 0;
    // Copies the frames of the sources into `output` (an open file at `outputPath`), with an
    // ID3v2 tag in front when the record asks for one.
    virtual MergeResult Direct(const std::vector<MergeSource>& sources, std::FILE* output,
                               const std::string& outputPath, const TagInfo& tags,
                               JobHost& host) = 0;
    // Encodes the sources into `outputPath` with the encoder `encoderPath` (empty: not found).
    virtual MergeResult Convert(const std::string& encoderPath, const std::string& outputPath,
                                const std::vector<MergeSource>& sources,
                                const ConvertOptions& options, JobHost& host) = 0;
    virtual bool WriteId3v2(const std::string& path, const TagInfo& tags) = 0;
    virtual bool WriteId3v1(const std::string& path, const TagInfo& tags) = 0;
    // The encoder program, or empty when none is found.
    virtual std::string FindEncoder() = 0;
};

// How a merge job ended.
enum class MergeJobEnd {
    Done,
    Failed,
    Stopped,
    EmptyList,   // AddFilesToMergeFirst shown; the page opens its add-files dialog
    ChangeMode,  // the mixed-parameters warning was cancelled: the page opens the mode dialog
    Cancelled,   // no output chosen, overwrite declined, or the mode cannot join the files
};

struct MergeJobOutcome {
    MergeJobEnd end = MergeJobEnd::Cancelled;
    MergeMode mode = MergeMode::Direct;  // the mode the merge ran in
    int sampleRate = 0;                  // convert: the output format
    int channels = 0;
    std::string outputPath;
    bool startNew = false;  // "Start New Merge": the list and tag texts were cleared
};

// Reads the list for the mode decision; `audioType` classifies a path.
MergeSurvey SurveyMergeList(const MergeList& list,
                            const std::function<audio::AudioType(const std::string&)>& audioType);

// A merge from start to end: survey and mode, the output file and its checks (never a source,
// never an existing file without asking when "Joiner Confirm Overwrite" is on), the engine, the
// tags, then the completion box, the folder, the player and a fresh start as the settings and
// the user say. The output is written under a temporary name and takes its name only when
// everything succeeded, so a failed or stopped merge leaves no output and an existing file
// stays as it was.
class MergeJob {
  public:
    MergeJob(MergeList& list, SettingsStore& settings, JobHost& host, MergeEngines& engines)
        : list_(list), settings_(settings), host_(host), engines_(engines) {}

    MergeJobOutcome Run(MergeRequest& request);

  private:
    bool ResolveMode(const MergeRequest& request, MergeJobOutcome& outcome);
    bool ChooseOutput(MergeRequest& request, std::string& output);
    MergeResult Merge(MergeRequest& request, MergeJobOutcome& outcome);
    void AfterSuccess(MergeRequest& request, MergeJobOutcome& outcome);

    MergeList& list_;
    SettingsStore& settings_;
    JobHost& host_;
    MergeEngines& engines_;
};

}  // namespace partita
