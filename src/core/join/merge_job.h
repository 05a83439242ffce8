#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/job_host.h"
#include "join/convert_merge.h"
#include "join/merge_list.h"
#include "join/merge_source.h"
#include "tags/tag_info.h"

namespace partita {

// The merge modes of setting "Merge Mode".
enum class MergeMode { Auto = 0, Direct = 1, Convert = 2 };

// Every choice a merge job makes, taken from the settings by ReadMergeJobOptions; the desktop
// page puts in its mode and tag record, the command line its flags.
struct MergeJobOptions {
    MergeMode mode = MergeMode::Auto;
    int outputSampleRate = 0;  // 0 = the highest of the sources
    int outputChannels = 0;    // 0 = mono when every source is mono, else stereo
    bool gapless = true;
    TagInfo tags;  // the output's tag texts and which tags to write
    // A chapter per input in the output's ID3v2 tag ("Write Chapters"), with a table of
    // contents listing them in order.
    bool writeChapters = false;
    // The output file; when empty the host's save dialog asks, starting in the destination
    // folder (or the folder of the last output when none is set) with the proposed name.
    std::string outputPath;
    std::string destinationFolder;
    std::string lastOutputFolder;
    std::string proposedName;
    bool confirmOverwrite = true;     // ask before replacing an existing output
    bool warnMixedParameters = true;  // warn before a direct merge of differing files
    bool showCompletion = true;       // the completion box after a merge
    bool openFolder = false;          // open the output's folder after a merge
    bool playResult = false;          // play the output after a merge
    bool startNew = false;            // start a new merge after a merge
    // Where the encoder is looked for first, and the code page of the sources' ID3v1 texts.
    std::string installFolder;
    std::string legacyCodePage = "ISO-8859-1";
};

// The comment an output tag starts with when no tag texts are kept.
inline constexpr const char* kDefaultMergeComment = "Partita Studio";

// What the list says about the files, for choosing the mode.
struct MergeSurvey {
    bool allMpeg = true;
    // Every MPEG file is of one MPEG version and layer: Layer II and Layer III frames (or
    // MPEG-1 and MPEG-2 ones) in one file make a stream no player reads through.
    bool sameFormat = true;
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
    // Copies the frames of the sources into `output` (an open file that becomes `outputPath`,
    // the name messages give), with an ID3v2 tag in front when the record asks for one.
    virtual MergeResult Direct(const std::vector<MergeSource>& sources, std::FILE* output,
                               const std::string& outputPath, const TagInfo& tags,
                               JobHost& host) = 0;
    // Encodes the sources into `outputPath` with the encoder `encoderPath` (empty: not found).
    virtual MergeResult Convert(const std::string& encoderPath, const std::string& outputPath,
                                const std::vector<MergeSource>& sources,
                                const ConvertOptions& options, JobHost& host) = 0;
    // Puts an ID3v2 tag of the record, with `extraFrames` (chapters) after its frames, in front
    // of the file's audio.
    virtual bool WriteId3v2(const std::string& path, const TagInfo& tags,
                            std::span<const std::uint8_t> extraFrames) = 0;
    virtual bool WriteId3v1(const std::string& path, const TagInfo& tags) = 0;
    // The encoder program, or empty when none is found.
    virtual std::string FindEncoder() = 0;
    // Where each source of the last Direct or Convert run lies in its output; empty when not
    // known.
    virtual std::vector<MergedPiece> Pieces() const { return {}; }
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

// What a merge job reports: how it ended, and the user's replies that the page stores
// (StoreMergeJobReplies) and acts on.
struct MergeJobOutcome {
    MergeJobEnd end = MergeJobEnd::Cancelled;
    MergeMode mode = MergeMode::Direct;  // the mode the merge ran in
    int sampleRate = 0;                  // convert: the output format
    int channels = 0;
    std::string outputPath;
    bool outputChosen = false;  // the save dialog named the output
    // The overwrite box's tick, when it was asked: whether to ask again.
    std::optional<bool> confirmOverwrite;
    // The completion box's reply, when it was shown.
    std::optional<CompletionReply> completion;
    // A new merge was chosen: the page empties the list and the output's tag texts.
    bool startNew = false;
};

// The chapter frames of a merge's output: one chapter per row merged (the pieces number the
// list's rows), in order, over its audio and the silence after it (JoinChapters), titled by its
// title tag, else its file name.
std::vector<std::uint8_t> MergeChapterFrames(const MergeList& list,
                                             const std::vector<MergedPiece>& pieces);

// Reads the list for the mode decision.
MergeSurvey SurveyMergeList(const MergeList& list);

// A merge from start to end: survey and mode, the output file and its checks (never a source,
// never an existing file without asking when the options say so), the engine, the tags, then
// the completion box, the folder and the player as the options and the user say. The output is
// written under a temporary name and takes its name only when everything succeeded, so a failed
// or stopped merge leaves no output and an existing file stays as it was.
//
// Threads: Run may be called on a worker thread while the window stays live. It reads only its
// own copy of the options and the list, which the page keeps unchanged until Run returns (its
// editing commands are off while a merge runs), and never the settings store. Every call to the
// host and to the engines comes from the thread that runs it. The page applies the outcome on its
// own thread once Run has returned: it stores the replies and, when a new merge was chosen, empties
// the list.
class MergeJob {
  public:
    MergeJob(const MergeList& list, MergeJobOptions options, JobHost& host, MergeEngines& engines)
        : list_(list), options_(std::move(options)), host_(host), engines_(engines) {}

    MergeJobOutcome Run();

  private:
    bool ResolveMode(MergeJobOutcome& outcome);
    bool ChooseOutput(MergeJobOutcome& outcome);
    MergeResult Merge(const MergeJobOutcome& outcome);
    void AfterSuccess(MergeJobOutcome& outcome);

    const MergeList& list_;
    const MergeJobOptions options_;
    JobHost& host_;
    MergeEngines& engines_;
};

}  // namespace partita
