// The splitter page's jobs on the worker thread: loading files, the split and the silence scan.
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include "app/setting_values.h"
#include "cue/cue_list.h"
#include "job_runner.h"
#include "preview_panel.h"
#include "split/add_source.h"
#include "split/silence_split.h"
#include "split/split_engine.h"
#include "split/split_job.h"
#include "split/split_options.h"
#include "split_list_model.h"
#include "split_loading.h"
#include "split_questions.h"
#include "split_tree_view.h"
#include "splitter_page.h"
#include "splitter_page_text.h"
#include "ui_text.h"
#include "window_job_host.h"

namespace partita::gui {

void SplitterPage::RunJob(std::function<void(JobHost&)> work, std::function<void()> finish) {
    preview_->StopPlayback();
    finishJob_ = std::move(finish);
    if (!runner_->Start(std::move(work)))
        finishJob_ = nullptr;
}

void SplitterPage::JobStarted() {
    preview_->SetBusy(true);
    UpdateCommands();
}

void SplitterPage::JobFinished() {
    std::function<void()> finish = std::move(finishJob_);
    finishJob_ = nullptr;
    progress_->setRange(0, 1);
    progress_->setValue(0);
    preview_->SetBusy(false);
    if (finish)
        finish();
    statusLine_->setText(MessageText(Msg::SplitIdle));
    SetStatusText(MessageText(Msg::SplitIdle));
    UpdateCommands();
    UpdateInformation();
    UpdatePreview();
}

bool SplitterPage::LoadPaths(const QStringList& paths) {
    if (IsBusy() || paths.isEmpty())
        return false;
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(path.toStdString());
    SourceLoadDefaults defaults = SourceLoadDefaultsFromSettings(context_.settings);
    // The files are loaded into a list of the job's own; the rows go into the page's list when
    // the job is done, so the view never reads a list that another thread changes.
    auto loaded = std::make_shared<SplitList>();
    QPointer<SplitterPage> page(this);
    AudioFileChooser chooseAudio = [page](const std::string& oldPath) {
        std::optional<std::string> chosen;
        // The question and the file dialog belong to the window thread.
        QMetaObject::invokeMethod(
            page,
            [&] {
                if (!AskForOtherCueAudio(ToQString(oldPath), page))
                    return;
                QString path = QFileDialog::getOpenFileName(
                    page, MessageText(Msg::AddSplitFilesTitle), ToQString(oldPath), QString(),
                    nullptr, QFileDialog::DontUseNativeDialog);
                if (!path.isEmpty())
                    chosen = path.toStdString();
            },
            Qt::BlockingQueuedConnection);
        return chosen;
    };
    SourceProbe& probe = *probe_;
    RunJob(
        [loaded, files, defaults, chooseAudio, &probe](JobHost& host) {
            LoadFilesInto(*loaded, defaults, host, probe, files, chooseAudio);
        },
        [this, loaded] {
            RowId last = MoveLoadedSources(*loaded, list_);
            if (last != kNoRow) {
                list_.SetCurrent(last);
                SelectListCurrent();
                tree_->expand(model_->IndexOf(last));
            }
        });
    return true;
}

void SplitterPage::StartSplit() {
    if (IsBusy())
        return;
    if (list_.Empty()) {
        AddFiles();
        return;
    }
    StoreNamingRule();
    settings::SplitDestinationFolder.Write(context_.settings, folderBox_->text().toStdString());
    auto options =
        std::make_shared<SplitJobOptions>(SplitJobOptionsFromSettings(context_.settings));
    options->outputFolder = folderBox_->text().toStdString();
    auto result = std::make_shared<SplitJobResult>();
    const SplitList& list = list_;
    RunJob(
        [&list, options, result](JobHost& host) {
            SplitJobOptions run = *options;
            run.writeCueSheet = CueExporter(host);
            FileTrackCutter cutter;
            SplitJob job(list, host, cutter, run);
            *result = job.StartSplit();
        },
        [this, options, result] {
            StoreSplitJobReplies(*options, *result, context_.settings);
            if (result->status == SplitJobStatus::Finished && !result->outputFolder.empty() &&
                !options->sameFolder) {
                folderBox_->setText(ToQString(result->outputFolder));
            }
            if (result->status == SplitJobStatus::NothingToSplit) {
                QMetaObject::invokeMethod(this, &SplitterPage::AddFiles, Qt::QueuedConnection);
            } else if (result->startNew) {
                list_.Clear();
                preview_->ShowNoSource();
                shownSource_.clear();
                QMetaObject::invokeMethod(this, &SplitterPage::AddFiles, Qt::QueuedConnection);
            }
        });
}

void SplitterPage::ScanForSilence(RowId source, const SilenceOptions& options) {
    auto scan = std::make_shared<std::optional<SilenceScan>>();
    SilenceScanSource what = SilenceScanSourceOf(list_, source);
    RunJob([what, options, scan](JobHost& host) { *scan = ScanSilence(what, options, host); },
           [this, source, scan] {
               if (!*scan || !list_.Contains(source))
                   return;
               if (ApplySilenceScan(list_, source, **scan)) {
                   list_.SetCurrent(source);
                   SelectListCurrent();
               }
           });
}

}  // namespace partita::gui
