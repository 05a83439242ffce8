#include "joiner_page.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "app/column_layout.h"
#include "app/setting_values.h"
#include "app/time_text.h"
#include "header_fit.h"
#include "job_runner.h"
#include "join/audio_file_inspector.h"
#include "join/merge_list_file.h"
#include "join/merge_row.h"
#include "join/merge_settings.h"
#include "joiner_page_text.h"
#include "merge_file_dialogs.h"
#include "merge_list_model.h"
#include "merge_list_view.h"
#include "options_dialog.h"
#include "owned_dialog.h"
#include "question_box.h"
#include "ui_text.h"
#include "user_messages.h"

namespace partita::gui {
namespace {

bool AskYesNo(QWidget* parent, const QString& question) {
    return RunOwnedDialog(
        new QuestionBox(question, QuestionBox::Buttons::YesNo, parent),
        [](QuestionBox& box, bool) { return box.Confirmed(); }, false);
}

void ShowOutcomeMessage(UserMessages& messages, QWidget* parent, const MergeAddOutcome& added) {
    if (added.message)
        messages.Show(parent, added.added ? UserMessages::Icon::Warning : UserMessages::Icon::Error,
                      *added.message);
}

}  // namespace

JoinerPage::JoinerPage(const PageContext& context, QWidget* parent)
    : Page(parent), settings_(context.settings), messages_(context.messages) {
    MergeJobOptions options = ReadMergeJobOptions(settings_);
    mergeMode_ = options.mode;
    sampleRate_ = options.outputSampleRate;
    channels_ = options.outputChannels;
    tags_ = options.tags;
    sort_ = ReadMergeListDefaults(settings_).sort;

    runner_ = new JobRunner(context, this, MergeJobBoxes(), this);
    connect(&runner_->Host(), &WindowJobHost::ProgressChanged, this, &JoinerPage::ShowProgress);
    connect(&runner_->Host(), &WindowJobHost::StatusChanged, this, &JoinerPage::ShowStatus);
    connect(runner_, &JobRunner::Started, this, &JoinerPage::MergeStarted);
    connect(runner_, &JobRunner::Finished, this, &JoinerPage::MergeFinished);

    BuildLayout();
    BuildCommands();
    RestoreColumns();
    UpdateTotals();
    UpdateSummary();
    UpdateCommands();
    ShowStatus(MessageText(Msg::MergeIdle));
    setFocusProxy(view_);
}

JoinerPage::~JoinerPage() {
    // The job ends before the list goes, and the view and model before the list they follow.
    delete runner_;
    delete view_;
    delete model_;
}

void JoinerPage::BuildLayout() {
    auto* layout = new QVBoxLayout(this);

    ColumnLayout defaults =
        ParseColumnLayout(settings::JoinerColumnList.Default()).value_or(ColumnLayout{});
    QStringList headers;
    for (const ColumnEntry& column : defaults)
        headers << ToQString(column.name);
    model_ = new MergeListModel(list_, headers, this);
    view_ = new MergeListView(this);
    view_->setObjectName(QStringLiteral("MergeList"));
    view_->setAccessibleName(Text(JoinerText::MergeList));
    view_->SetEmptyHint(MessageText(Msg::MergeListEmptyHint));
    view_->setModel(model_);
    view_->header()->setSortIndicatorShown(sort_.Sorts());
    if (sort_.Sorts())
        view_->header()->setSortIndicator(
            sort_.column, sort_.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    connect(view_->header(), &QHeaderView::sectionClicked, this, &JoinerPage::SortByColumn);
    connect(view_, &MergeListView::RowsDropped, this, &JoinerPage::MoveDropped);
    connect(view_, &MergeListView::FilesDropped, this, &JoinerPage::AddPaths);
    connect(view_, &QAbstractItemView::doubleClicked, this, &JoinerPage::PlaySelected);
    connect(view_, &QWidget::customContextMenuRequested, this, &JoinerPage::ShowContextMenu);

    auto makeButton = [this](const QString& text, const char* name) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    auto* top = new QHBoxLayout;
    auto* bottomRow = new QHBoxLayout;
    const struct {
        Command command;
        JoinerText label;
        const char* name;
        QHBoxLayout* row;
    } kButtons[] = {
        {kAdd, JoinerText::Add, "Add", top},
        {kRemove, JoinerText::Remove, "Remove", top},
        {kClear, JoinerText::Clear, "Clear", top},
        {kUp, JoinerText::MoveUp, "MoveUp", top},
        {kDown, JoinerText::MoveDown, "MoveDown", top},
        {kTop, JoinerText::MoveTop, "MoveTop", top},
        {kBottom, JoinerText::MoveBottom, "MoveBottom", top},
        {kPlay, JoinerText::Play, "Play", top},
        {kOpenList, JoinerText::OpenList, "OpenList", top},
        {kSaveList, JoinerText::SaveList, "SaveList", top},
        {kSilence, JoinerText::InsertSilence, "InsertSilence", bottomRow},
        {kPartial, JoinerText::PartialMerge, "PartialMerge", bottomRow},
    };
    for (const auto& b : kButtons) {
        QPushButton* button = makeButton(Text(b.label), b.name);
        b.row->addWidget(button);
        commandButtons_.emplace_back(button, b.command);
        if (b.command == kPlay)
            top->addStretch(1);
    }
    layout->addLayout(top);
    layout->addWidget(view_, 1);

    auto* totals = new QHBoxLayout;
    totalLength_ = new QLabel(this);
    totalLength_->setObjectName(QStringLiteral("TotalLength"));
    totalSize_ = new QLabel(this);
    totalSize_->setObjectName(QStringLiteral("TotalSize"));
    totals->addWidget(new QLabel(Text(JoinerText::TotalLength), this));
    totals->addWidget(totalLength_);
    totals->addSpacing(16);
    totals->addWidget(new QLabel(Text(JoinerText::TotalSize), this));
    totals->addWidget(totalSize_);
    totals->addStretch(1);
    totals->addLayout(bottomRow);
    layout->addLayout(totals);

    auto* output = new QGridLayout;
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setAccessibleName(Text(JoinerText::Summary));
    summary_->setWordWrap(true);
    summary_->setFrameShape(QFrame::StyledPanel);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mode_ = makeButton(Text(JoinerText::MergeModeButton), "MergeMode");
    id3_ = makeButton(Text(JoinerText::Id3), "Id3");
    output->addWidget(summary_, 0, 0, 2, 3);
    output->addWidget(mode_, 0, 3);
    output->addWidget(id3_, 1, 3);
    auto* folderLabel = new QLabel(Text(JoinerText::OutputFolder), this);
    outputFolder_ =
        new QLineEdit(ToQString(settings::MergeDestinationFolder.Read(settings_)), this);
    outputFolder_->setObjectName(QStringLiteral("OutputFolder"));
    outputFolder_->setAccessibleName(Text(JoinerText::OutputFolder));
    folderLabel->setBuddy(outputFolder_);
    connect(outputFolder_, &QLineEdit::editingFinished, this, &JoinerPage::StoreOutputFolder);
    browse_ = makeButton(Text(JoinerText::BrowseOutputFolder), "BrowseOutputFolder");
    browse_->setToolTip(MessageText(Msg::ChooseMergeOutputFolder));
    connect(browse_, &QPushButton::clicked, this, &JoinerPage::ChooseOutputFolder);
    output->addWidget(folderLabel, 2, 0);
    output->addWidget(outputFolder_, 2, 1, 1, 2);
    output->addWidget(browse_, 2, 3);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setAccessibleName(Text(JoinerText::Progress));
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setAccessibleName(Text(JoinerText::Status));
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    start_ = makeButton(MessageText(Msg::StartMergeLabel), "StartMerge");
    connect(start_, &QPushButton::clicked, this, &JoinerPage::StartOrStop);
    output->addWidget(progress_, 3, 0, 1, 2);
    output->addWidget(status_, 3, 2);
    output->addWidget(start_, 3, 3);
    output->setColumnStretch(1, 1);
    output->setColumnStretch(2, 1);
    layout->addLayout(output);
}

QAction* JoinerPage::MakeCommand(Command command, const QString& text, Msg tip,
                                 const QKeySequence& keys, void (JoinerPage::*run)()) {
    auto* action = new QAction(text, this);
    action->setToolTip(MessageText(tip));
    if (!keys.isEmpty()) {
        // The list's keys act only while the list has the focus.
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        view_->addAction(action);
    }
    connect(action, &QAction::triggered, this, run);
    commands_[command] = action;
    return action;
}

void JoinerPage::BuildCommands() {
    MakeCommand(kAdd, Text(JoinerText::MenuAdd), Msg::AddMergeFilesTip, {},
                &JoinerPage::AddWithDialog);
    MakeCommand(kRemove, Text(JoinerText::MenuRemove), Msg::RemoveMergeFilesTip,
                QKeySequence(Qt::Key_Delete), &JoinerPage::RemoveSelected);
    MakeCommand(kClear, Text(JoinerText::MenuClear), Msg::ClearMergeListTip,
                QKeySequence(Qt::SHIFT | Qt::Key_Delete), &JoinerPage::ClearList);
    MakeCommand(kUp, Text(JoinerText::MenuUp), Msg::MoveUpTip, QKeySequence(Qt::CTRL | Qt::Key_Up),
                &JoinerPage::MoveUp);
    MakeCommand(kDown, Text(JoinerText::MenuDown), Msg::MoveDownTip,
                QKeySequence(Qt::CTRL | Qt::Key_Down), &JoinerPage::MoveDown);
    MakeCommand(kTop, Text(JoinerText::MenuTop), Msg::MoveTopTip,
                QKeySequence(Qt::CTRL | Qt::Key_Home), &JoinerPage::MoveTop);
    MakeCommand(kBottom, Text(JoinerText::MenuBottom), Msg::MoveBottomTip,
                QKeySequence(Qt::CTRL | Qt::Key_End), &JoinerPage::MoveBottom);
    MakeCommand(kPlay, Text(JoinerText::MenuPlay), Msg::PlayMergeFileTip, QKeySequence(Qt::Key_F2),
                &JoinerPage::PlaySelected);
    MakeCommand(kSilence, Text(JoinerText::MenuSilence), Msg::InsertSilenceTip, {},
                &JoinerPage::InsertSilence);
    MakeCommand(kPartial, Text(JoinerText::MenuPartial), Msg::PartialMergeTip, {},
                &JoinerPage::PartialMerge);
    MakeCommand(kOpenList, Text(JoinerText::OpenList), Msg::OpenMergeListTip, {},
                &JoinerPage::OpenList);
    MakeCommand(kSaveList, Text(JoinerText::SaveList), Msg::SaveMergeListTip, {},
                &JoinerPage::SaveList);
    for (auto [button, command] : commandButtons_) {
        button->setToolTip(commands_[command]->toolTip());
        connect(button, &QPushButton::clicked, commands_[command], &QAction::trigger);
    }

    auto* modeMenu = new QMenu(this);
    const std::pair<JoinerText, MergeMode> kModes[] = {
        {JoinerText::ModeAuto, MergeMode::Auto},
        {JoinerText::ModeDirect, MergeMode::Direct},
        {JoinerText::ModeConvert, MergeMode::Convert}};
    for (auto [label, mode] : kModes) {
        QAction* action = modeMenu->addAction(Text(label));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, mode] { SetMergeMode(mode); });
        modeActions_.push_back(action);
    }
    modeMenu->addSeparator();
    connect(modeMenu->addAction(Text(JoinerText::ModeSettings)), &QAction::triggered, this,
            &JoinerPage::EditMergeMode);
    mode_->setMenu(modeMenu);

    auto* tagMenu = new QMenu(Text(JoinerText::Id3Menu), this);
    connect(tagMenu->addAction(Text(JoinerText::Id3Edit)), &QAction::triggered, this,
            &JoinerPage::EditTags);
    connect(tagMenu->addAction(Text(JoinerText::Id3Copy)), &QAction::triggered, this,
            &JoinerPage::CopyTags);
    id3_->setMenu(tagMenu);
    id3_->setToolTip(MessageText(Msg::OutputTagTip));

    // Enter anywhere on the page starts the merge (or asks a running one to stop).
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, this, &JoinerPage::StartOrStop);
    }
}

bool JoinerPage::IsBusy() const {
    return runner_ && runner_->IsRunning();
}

bool JoinerPage::ApplyCommand(CommandAction action, const std::string& source) {
    if (action != CommandAction::Merge || source.empty())
        return false;
    AddPaths({ToQString(source)});
    return true;
}

// A merge list among the paths is loaded as a list, in its own order; the other files are added
// as one batch.
void JoinerPage::AddPaths(const QStringList& paths) {
    QStringList audio;
    for (const QString& path : paths) {
        QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("m3u") || suffix == QLatin1String("pls"))
            LoadList(path);
        else
            audio << path;
    }
    if (!audio.isEmpty())
        AddFiles(audio);
}

void JoinerPage::SetUrlOpener(std::function<bool(const QUrl&)> open) {
    openUrl_ = open;
    runner_->Host().SetUrlOpener(std::move(open));
}

// ---- Columns ------------------------------------------------------------------------------

// The stored layout names its columns in the order shown: each name is looked up among the
// default names of the current language; a layout whose names do not all match (another
// language) is taken in the list's own order.
void JoinerPage::RestoreColumns() {
    ColumnLayout stored = ReadColumnLayout(settings_, settings::JoinerColumnList);
    QHeaderView* header = view_->header();
    std::vector<int> logical;
    std::vector<bool> used(kMergeColumnCount, false);
    for (const ColumnEntry& entry : stored) {
        int found = -1;
        for (int column = 0; column < kMergeColumnCount && found < 0; ++column) {
            if (!used[column] && model_->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                                         .toString()
                                         .toStdString() == entry.name)
                found = column;
        }
        if (found < 0)
            break;
        used[found] = true;
        logical.push_back(found);
    }
    bool byName = logical.size() == stored.size();
    for (std::size_t visual = 0; visual < stored.size() && visual < kMergeColumnCount; ++visual) {
        int column = byName ? logical[visual] : static_cast<int>(visual);
        header->moveSection(header->visualIndex(column), static_cast<int>(visual));
        header->resizeSection(column, stored[visual].width);
    }
    // The default width of the silence column is narrower than its none text in most fonts.
    int noneWidth = view_->fontMetrics().horizontalAdvance(ToQString(SilenceText(0))) + 12;
    header->resizeSection(kMergeSilence, std::max(header->sectionSize(kMergeSilence), noneWidth));
    if (!settings_.Contains(settings::JoinerColumnList.section, settings::JoinerColumnList.name))
        WidenToHeaderTexts(header);
}

void JoinerPage::SaveState() {
    ColumnLayout columns;
    QHeaderView* header = view_->header();
    for (int visual = 0; visual < header->count(); ++visual) {
        int column = header->logicalIndex(visual);
        columns.push_back(
            {model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString(),
             header->sectionSize(column)});
    }
    WriteColumnLayout(settings_, settings::JoinerColumnList, columns);
}

// ---- The list's commands ------------------------------------------------------------------

void JoinerPage::AddFiles(const QStringList& paths, bool resort) {
    if (IsBusy())
        return;
    MergeListDefaults defaults = ReadMergeListDefaults(settings_);
    AudioFileInspector inspector(defaults.legacyCodePage);
    std::vector<MergeAddOutcome> messages;
    const std::size_t first = list_.Size();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (const QString& path : paths) {
        QFileInfo file(path);
        settings::MergeSourceLastFolder.Write(
            settings_, QDir::toNativeSeparators(file.absolutePath()).toStdString());
        MergeAddOutcome added =
            list_.AddFile(file.absoluteFilePath().toStdString(), list_.Size(), inspector, defaults);
        if (added.message)
            messages.push_back(std::move(added));
    }
    QApplication::restoreOverrideCursor();
    for (const MergeAddOutcome& added : messages)
        ShowOutcomeMessage(messages_, this, added);
    FinishBatch(first, resort);
}

void JoinerPage::FinishBatch(std::size_t firstAdded, bool resort) {
    if (list_.Size() > firstAdded) {
        std::size_t row = firstAdded;
        if (resort && sort_.Sorts())
            row = list_.SortBy(sort_, firstAdded);
        view_->SelectRows(row, 1);
    }
    UpdateTotals();
    UpdateCommands();
}

void JoinerPage::AddWithDialog() {
    QString folder = ToQString(settings::MergeSourceFolderMode.Read(settings_) == 1
                                   ? settings::MergeSourceLastFolder.Read(settings_)
                                   : settings::MergeSourceFolder.Read(settings_));
    QStringList chosen = PickMergeSourceFiles(this, folder);
    if (!chosen.isEmpty())
        AddFiles(chosen);
}

std::vector<std::size_t> JoinerPage::SelectionOrTell() {
    std::vector<std::size_t> rows = view_->SelectedRows();
    if (rows.empty() && !list_.Empty())
        messages_.Show(this, UserMessages::Icon::Information, Msg::SelectFileFirst);
    return rows;
}

void JoinerPage::RemoveSelected() {
    std::vector<std::size_t> rows = SelectionOrTell();
    if (rows.empty())
        return;
    std::size_t next = list_.RemoveRows(rows);
    if (!list_.Empty())
        view_->SelectRows(next, 1);
    UpdateTotals();
    UpdateCommands();
}

void JoinerPage::ClearList() {
    if (list_.Empty() || !AskYesNo(this, MessageText(Msg::ConfirmClearMergeList)))
        return;
    list_.Clear();
    UpdateTotals();
    UpdateCommands();
}

void JoinerPage::Move(MergeMove move) {
    std::vector<std::size_t> rows = SelectionOrTell();
    if (rows.empty())
        return;
    std::size_t first = list_.MoveRows(rows, move);
    if (first != MergeList::kNoRow)
        view_->SelectRows(first, rows.size());
}

void JoinerPage::MoveDropped(const std::vector<std::size_t>& rows, std::size_t target) {
    if (IsBusy())
        return;
    std::size_t first = list_.MoveRows(rows, target);
    if (first != MergeList::kNoRow)
        view_->SelectRows(first, rows.size());
}

void JoinerPage::PlaySelected() {
    std::vector<std::size_t> rows = SelectionOrTell();
    if (rows.empty())
        return;
    QUrl url = QUrl::fromLocalFile(ToQString(list_.Row(rows.front()).Path()));
    if (openUrl_)
        openUrl_(url);
    else
        QDesktopServices::openUrl(url);
}

void JoinerPage::SortByColumn(int column) {
    if (IsBusy())
        return;
    sort_ = NextSortOrder(sort_, column);
    StoreMergeSortOrder(sort_, settings_);
    QModelIndex current = view_->currentIndex();
    std::size_t follow =
        current.isValid() ? static_cast<std::size_t>(current.row()) : MergeList::kNoRow;
    std::size_t row = list_.SortBy(sort_, follow);
    view_->header()->setSortIndicatorShown(true);
    view_->header()->setSortIndicator(sort_.column,
                                      sort_.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (row != MergeList::kNoRow)
        view_->SelectRows(row, 1);
}

void JoinerPage::OpenList() {
    QString chosen =
        PickMergeListToOpen(this, ToQString(settings::MergeSourceLastFolder.Read(settings_)));
    if (!chosen.isEmpty())
        LoadList(chosen);
}

void JoinerPage::LoadList(const QString& path) {
    if (IsBusy())
        return;
    MergeListDefaults defaults = ReadMergeListDefaults(settings_);
    AudioFileInspector inspector(defaults.legacyCodePage);
    MergeListLoad load;
    load.firstRow = list_.Size();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Status status = LoadMergeList(list_, path.toStdString(), inspector, defaults, &load);
    QApplication::restoreOverrideCursor();
    if (!status.ok())
        messages_.Show(this, UserMessages::Icon::Error, status.message);
    for (const MergeAddOutcome& added : load.messages)
        ShowOutcomeMessage(messages_, this, added);
    FinishBatch(load.firstRow, false);
}

void JoinerPage::SaveList() {
    if (list_.Empty())
        return;
    const QString path =
        PickMergeListToSave(this, ToQString(settings::MergeSourceLastFolder.Read(settings_)));
    if (path.isEmpty())
        return;
    Status saved = SaveMergeList(list_, path.toStdString(), [this](const UserMessage& question) {
        return AskYesNo(this, MessageText(question));
    });
    // A No to replacing an existing file keeps it without a word.
    if (!saved.ok() && saved.code != ErrorCode::Stopped)
        messages_.Show(this, UserMessages::Icon::Error, saved.message);
}

void JoinerPage::ShowContextMenu(const QPoint& position) {
    QMenu menu(Text(JoinerText::ListMenu), this);
    menu.setObjectName(QStringLiteral("MergeListMenu"));
    const bool selected = !view_->SelectedRows().empty();
    const bool busy = IsBusy();
    auto add = [&](Command command, bool needsSelection) {
        QAction* source = commands_[command];
        QString text = source->text();
        if (!source->shortcut().isEmpty())
            text += '\t' + source->shortcut().toString(QKeySequence::NativeText);
        QAction* entry = menu.addAction(text, source, &QAction::trigger);
        entry->setEnabled(!busy && (selected || !needsSelection));
    };
    add(kAdd, false);
    add(kRemove, true);
    add(kClear, true);
    menu.addSeparator();
    add(kUp, true);
    add(kDown, true);
    add(kTop, true);
    add(kBottom, true);
    menu.addSeparator();
    add(kPlay, true);
    add(kSilence, false);
    add(kPartial, false);
    menu.addSeparator();
    QMenu* modes = menu.addMenu(Text(JoinerText::DefaultModeMenu));
    modes->setEnabled(!busy);
    for (QAction* action : modeActions_)
        modes->addAction(action);
    menu.addAction(Text(JoinerText::MoreSettings), this, &JoinerPage::ShowOptions);
    menu.exec(view_->viewport()->mapToGlobal(position));
}

// ---- The page's fields --------------------------------------------------------------------

void JoinerPage::UpdateTotals() {
    totalLength_->setText(ToQString(FormatTime(list_.TotalLengthMs(), kTimeHourMinSec)));
    totalSize_->setText(ToQString(FormatTotalSize(list_.TotalSize())));
}

void JoinerPage::UpdateSummary() {
    QString mode;
    switch (mergeMode_) {
        case MergeMode::Auto:
            mode = Text(JoinerText::SummaryAuto);
            break;
        case MergeMode::Direct:
            mode = Text(JoinerText::SummaryDirect);
            break;
        case MergeMode::Convert: {
            QString rate = sampleRate_ > 0 ? Text(JoinerText::RateHz).arg(sampleRate_)
                                           : Text(JoinerText::RateAuto);
            QString channels = channels_ == 1   ? Text(JoinerText::Mono)
                               : channels_ == 2 ? Text(JoinerText::Stereo)
                                                : Text(JoinerText::ChannelsAuto);
            mode = Text(JoinerText::SummaryConvert).arg(rate, channels);
            break;
        }
    }
    auto yesNo = [](bool on) { return Text(on ? UiText::Yes : UiText::No); };
    QString tag =
        !tags_.writeId3v1 && !tags_.writeId3v2
            ? Text(JoinerText::TagsDisabled)
            : Text(JoinerText::TagSummary)
                  .arg(ToQString(tags_.title), ToQString(tags_.artist), ToQString(tags_.album),
                       yesNo(tags_.writeId3v1), yesNo(tags_.writeId3v2));
    summary_->setText(Text(JoinerText::SummaryFormat).arg(mode, tag));
    for (std::size_t i = 0; i < modeActions_.size(); ++i)
        modeActions_[i]->setChecked(static_cast<int>(mergeMode_) == static_cast<int>(i));
}

// While a merge runs nothing of the list or the output changes; the Start button stops it.
void JoinerPage::UpdateCommands() {
    const bool idle = !IsBusy();
    for (QAction* action : commands_) {
        if (action)
            action->setEnabled(idle);
    }
    for (auto [button, command] : commandButtons_)
        button->setEnabled(idle);
    for (QWidget* control : std::initializer_list<QWidget*>{mode_, id3_, browse_, outputFolder_})
        control->setEnabled(idle);
    view_->setDragEnabled(idle);
    view_->header()->setSectionsClickable(idle);
}

}  // namespace partita::gui
