#include "splitter_page.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/column_layout.h"
#include "app/setting_values.h"
#include "header_fit.h"
#include "job_runner.h"
#include "preview_panel.h"
#include "preview_sink.h"
#include "split/information_line.h"
#include "split/source_probe.h"
#include "split/split_list_commands.h"
#include "split/split_options.h"
#include "split_list_model.h"
#include "split_tree_view.h"
#include "splitter_page_text.h"
#include "ui_text.h"
#include "user_messages.h"
#include "window_job_host.h"

namespace partita::gui {
SplitterPage::SplitterPage(const PageContext& context, std::unique_ptr<PreviewSink> sink,
                           QWidget* parent)
    : Page(parent), context_(context) {
    SettingsStore& settings = context_.settings;
    settings::SplitMode.Read(settings);
    settings::SameFolderAsOriginal.Read(settings);
    probe_ = std::make_unique<FileSourceProbe>(SourceLoadDefaultsFromSettings(settings).codePage);
    runner_ = new JobRunner(context_, this, SplitJobBoxes(), this);
    model_ = new SplitListModel(list_, runner_->Host(), this);
    preview_ = new PreviewPanel(std::move(sink), settings, this);
    preview_->SetStepSizes(static_cast<int>(settings::TimeStepSize.Read(settings)),
                           static_cast<int>(settings::TimePageSize.Read(settings)));
    BuildLayout();
    BuildCommands();
    RestoreColumns();

    connect(runner_, &JobRunner::Started, this, &SplitterPage::JobStarted);
    connect(runner_, &JobRunner::Finished, this, &SplitterPage::JobFinished);
    connect(&runner_->Host(), &WindowJobHost::ProgressChanged, this,
            [this](quint64 position, quint64 range) {
                progress_->setRange(0, static_cast<int>(std::max<quint64>(range, 1)));
                progress_->setValue(static_cast<int>(std::min(position, range)));
            });
    connect(&runner_->Host(), &WindowJobHost::StatusChanged, this, [this](const QString& text) {
        statusLine_->setText(text);
        SetStatusText(text);
    });
    connect(tree_, &SplitTreeView::filesDropped, this, &SplitterPage::LoadPaths);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SplitterPage::CurrentChanged);
    connect(tree_, &QTreeView::doubleClicked, this, &SplitterPage::EditTags);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(model_, signal, this, &SplitterPage::ListChanged);
    }
    connect(model_, &QAbstractItemModel::dataChanged, this, &SplitterPage::ListChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &SplitterPage::ListChanged);
    connect(preview_, &PreviewPanel::insertPointRequested, this, &SplitterPage::InsertPoint);
    connect(preview_, &PreviewPanel::trackEdgeMoveRequested, this, &SplitterPage::MoveTrackEdge);
    connect(preview_, &PreviewPanel::selectionNeeded, this, [this] {
        context_.messages.Show(this, UserMessages::Icon::Information,
                               MessageText(Msg::NothingSelected));
    });

    statusLine_->setText(MessageText(Msg::SplitIdle));
    SetStatusText(MessageText(Msg::SplitIdle));
    UpdateCommands();
    UpdateInformation();
}

SplitterPage::~SplitterPage() {
    // The runner waits for a job still running; the list it reads must outlive it, and so must
    // the model and the view that follow it.
    delete runner_;
    runner_ = nullptr;
    disconnect(tree_->selectionModel(), nullptr, this, nullptr);
    disconnect(model_, nullptr, this, nullptr);
    delete tree_;
    delete model_;
}

void SplitterPage::BuildLayout() {
    SettingsStore& settings = context_.settings;
    auto* layout = new QVBoxLayout(this);

    information_ = new QLabel(this);
    information_->setFrameShape(QFrame::StyledPanel);
    information_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    information_->setWordWrap(true);
    information_->setMinimumHeight(information_->fontMetrics().lineSpacing() * 3 + 8);
    information_->setAccessibleName(Text(SplitterText::InformationLine));
    layout->addWidget(information_);

    auto* commandRow = new QHBoxLayout;
    commandRow->setObjectName(QStringLiteral("commandRow"));
    layout->addLayout(commandRow);

    tree_ = new SplitTreeView(this);
    tree_->setModel(model_);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    tree_->setContextMenuPolicy(Qt::ActionsContextMenu);
    tree_->setAccessibleName(Text(SplitterText::TrackList));
    tree_->setToolTip(MessageText(Msg::EditTagsTip));
    tree_->SetEmptyText(MessageText(Msg::SplitListEmpty));
    tree_->header()->setSectionsMovable(true);
    layout->addWidget(tree_, 1);

    layout->addWidget(preview_);

    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel(Text(SplitterText::OutputFolder), this);
    folderBox_ = new QLineEdit(ToQString(settings::SplitDestinationFolder.Read(settings)), this);
    folderBox_->setObjectName(QStringLiteral("outputFolder"));
    folderBox_->setAccessibleName(Text(SplitterText::OutputFolder));
    folderLabel->setBuddy(folderBox_);
    folderButton_ = new QPushButton(Text(SplitterText::ChooseFolder), this);
    folderButton_->setAccessibleName(MessageText(Msg::ChooseSplitFolderTip));
    folderButton_->setToolTip(MessageText(Msg::ChooseSplitFolderTip));
    sameFolder_ = new QCheckBox(Text(SplitterText::SameFolder), this);
    sameFolder_->setChecked(settings::SameFolderAsOriginal.Read(settings) != 0);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(folderBox_, 1);
    folderRow->addWidget(folderButton_);
    folderRow->addWidget(sameFolder_);
    layout->addLayout(folderRow);
    connect(folderButton_, &QPushButton::clicked, this, &SplitterPage::ChooseOutputFolder);
    connect(sameFolder_, &QCheckBox::toggled, this, &SplitterPage::SameFolderToggled);
    connect(folderBox_, &QLineEdit::editingFinished, this, [this] {
        settings::SplitDestinationFolder.Write(context_.settings, folderBox_->text().toStdString());
    });

    auto* ruleRow = new QHBoxLayout;
    auto* ruleLabel = new QLabel(Text(SplitterText::NamingRule), this);
    ruleBox_ = new QLineEdit(ToQString(settings::SplitNamingRule.Read(settings)), this);
    ruleBox_->setObjectName(QStringLiteral("namingRule"));
    ruleBox_->setAccessibleName(Text(SplitterText::NamingRule));
    ruleLabel->setBuddy(ruleBox_);
    ruleHelp_ = new QPushButton(Text(SplitterText::NamingRuleHelpButton), this);
    ruleHelp_->setAccessibleName(MessageText(Msg::NamingRuleHelpTitle));
    ruleHelp_->setToolTip(MessageText(Msg::NamingRuleHelpTitle));
    modeButton_ = new QToolButton(this);
    modeButton_->setText(Text(SplitterText::SplitModeButton));
    modeButton_->setAccessibleName(Text(SplitterText::SplitModeButton));
    modeButton_->setToolTip(MessageText(Msg::SwitchModeTip));
    modeButton_->setPopupMode(QToolButton::InstantPopup);
    modeMenu_ = new QMenu(modeButton_);
    modeButton_->setMenu(modeMenu_);
    startButton_ = new QPushButton(MessageText(Msg::StartSplitLabel), this);
    startButton_->setObjectName(QStringLiteral("startButton"));
    startButton_->setAccessibleName(MessageText(Msg::StartSplitLabel).remove(QLatin1Char('&')));
    startButton_->setToolTip(MessageText(Msg::StartSplitTip));
    // The two small buttons only hold "..." and "?".
    for (QPushButton* small : {folderButton_, ruleHelp_})
        small->setMaximumWidth(small->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
    ruleRow->addWidget(ruleLabel);
    ruleRow->addWidget(ruleBox_, 1);
    ruleRow->addWidget(ruleHelp_);
    ruleRow->addWidget(modeButton_);
    ruleRow->addWidget(startButton_);
    layout->addLayout(ruleRow);
    connect(ruleHelp_, &QPushButton::clicked, this, &SplitterPage::ShowNamingRuleHelp);
    connect(startButton_, &QPushButton::clicked, this, &SplitterPage::StartOrStop);

    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setAccessibleName(Text(SplitterText::Progress));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    statusLine_ = new QLabel(this);
    statusLine_->setAccessibleName(Text(SplitterText::StatusLine));
    // A long status (the frame-mode tip) is cut at the window's edge instead of widening it.
    statusLine_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(statusLine_, 2);
    layout->addLayout(progressRow);

    SameFolderToggled(sameFolder_->isChecked());
    setFocusPolicy(Qt::StrongFocus);
}

QAction* SplitterPage::AddCommand(const QString& name, const QString& text, const QString& tip,
                                  const QKeySequence& key, void (SplitterPage::*slot)(),
                                  bool editing) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setToolTip(tip.isEmpty() ? text : tip);
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    }
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    tree_->addAction(action);
    if (editing)
        editing_ << action;
    return action;
}

void SplitterPage::BuildCommands() {
    using T = SplitterText;
    auto* commandRow = findChild<QHBoxLayout*>(QStringLiteral("commandRow"));
    auto button = [&](QAction* action) {
        auto* tool = new QToolButton(this);
        tool->setDefaultAction(action);
        tool->setAccessibleName(action->text());
        tool->setFocusPolicy(Qt::TabFocus);
        commandRow->addWidget(tool);
        return tool;
    };
    const QKeySequence none;

    button(AddCommand("addFiles", Text(T::AddFiles), MessageText(Msg::AddSplitFilesTip),
                      QKeySequence(Qt::ALT | Qt::Key_A), &SplitterPage::AddFiles, true));
    button(AddCommand("insertPoint", Text(T::InsertPoint), MessageText(Msg::InsertPointTip),
                      QKeySequence(Qt::ALT | Qt::Key_I), &SplitterPage::InsertPoint, true));
    needTrack_ << AddCommand("trackStart", Text(T::TrackStart), MessageText(Msg::TrackStartTip),
                             QKeySequence(Qt::CTRL | Qt::Key_Home), &SplitterPage::SetTrackStart,
                             true);
    button(needTrack_.back());
    needTrack_ << AddCommand("trackEnd", Text(T::TrackEnd), MessageText(Msg::TrackEndTip),
                             QKeySequence(Qt::CTRL | Qt::Key_End), &SplitterPage::SetTrackEnd,
                             true);
    button(needTrack_.back());
    needTrack_ << AddCommand("trackTimes", Text(T::TrackTimes), MessageText(Msg::TrackTimesTip),
                             QKeySequence(Qt::CTRL | Qt::Key_L), &SplitterPage::EditTrackTimes,
                             true);
    button(needTrack_.back());
    needTrack_ << AddCommand(
        "goToTrackStart", Text(T::GoToTrackStart), MessageText(Msg::GoToTrackStartTip),
        QKeySequence(Qt::SHIFT | Qt::Key_Home), &SplitterPage::GoToTrackStart, false);
    needTrack_ << AddCommand(
        "goToTrackEnd", Text(T::GoToTrackEnd), MessageText(Msg::GoToTrackEndTip),
        QKeySequence(Qt::SHIFT | Qt::Key_End), &SplitterPage::GoToTrackEnd, false);
    button(AddCommand("newGroup", Text(T::NewGroup), MessageText(Msg::NewGroupTip),
                      QKeySequence(Qt::ALT | Qt::Key_G), &SplitterPage::NewGroup, true));
    button(AddCommand("moveToGroup", Text(T::MoveToGroup), MessageText(Msg::MoveToGroupTip),
                      QKeySequence(Qt::ALT | Qt::Key_M), &SplitterPage::MoveToGroup, true));
    QToolButton* special =
        button(AddCommand("specialSplit", Text(T::SpecialSplit), MessageText(Msg::SpecialSplitTip),
                          none, &SplitterPage::SpecialSplit, true));
    AddCommand("setOverlaps", Text(T::Overlaps), MessageText(Msg::SpecialSplitTip), none,
               &SplitterPage::SetOverlaps, true);
    button(AddCommand("silenceSplit", Text(T::SilenceSplit), QString(), none,
                      &SplitterPage::SilenceSplit, true));
    // Chapters sit in the menu of the special split button: the row has no room for another.
    auto* specialMenu = new QMenu(special);
    specialMenu->addAction(AddCommand("splitAtChapters", Text(T::SplitAtChapters), QString(), none,
                                      &SplitterPage::SplitAtChapters, true));
    special->setMenu(specialMenu);
    special->setPopupMode(QToolButton::MenuButtonPopup);
    button(AddCommand("saveCue", Text(T::SaveCue), MessageText(Msg::SaveCueTip), none,
                      &SplitterPage::SaveCue, true));
    button(AddCommand("openCue", Text(T::OpenCue), MessageText(Msg::OpenCueTip), none,
                      &SplitterPage::OpenCue, true));
    commandRow->addStretch(1);

    // List commands: only while the list has the focus.
    auto listOnly = [this](QAction* action) {
        removeAction(action);
        action->setShortcutContext(Qt::WidgetShortcut);
    };
    listOnly(AddCommand("editTags", Text(T::EditTags), MessageText(Msg::EditTagsTip),
                        QKeySequence(Qt::Key_Return), &SplitterPage::EditTags, true));
    listOnly(AddCommand("removeSelected", Text(T::Remove), MessageText(Msg::RemoveSelectedTip),
                        QKeySequence(Qt::Key_Delete), &SplitterPage::RemoveSelected, true));
    listOnly(AddCommand("clearTracks", Text(T::ClearTracks), MessageText(Msg::ClearTracksTip),
                        QKeySequence(Qt::SHIFT | Qt::Key_Delete), &SplitterPage::ClearTracks,
                        true));
    AddCommand("clearAll", Text(T::ClearAll), QString(), none, &SplitterPage::ClearAll, true);
    AddCommand("toggleSelection", Text(T::ToggleSelection), MessageText(Msg::ToggleSelectionTip),
               none, &SplitterPage::ToggleSelection, true);
    AddCommand("expandAll", Text(T::ExpandAll), MessageText(Msg::ExpandGroupsTip),
               QKeySequence(Qt::ShiftModifier | Qt::KeypadModifier | Qt::Key_Plus),
               &SplitterPage::ExpandAll, false);
    AddCommand("collapseAll", Text(T::CollapseAll), MessageText(Msg::CollapseGroupsTip),
               QKeySequence(Qt::ShiftModifier | Qt::KeypadModifier | Qt::Key_Minus),
               &SplitterPage::CollapseAll, false);
    AddCommand("timeSteps", Text(T::TimeSteps), MessageText(Msg::TimeStepTitle), none,
               &SplitterPage::EditTimeSteps, true);
    AddCommand("chooseFolder", Text(T::OutputFolder), MessageText(Msg::ChooseSplitFolderTip),
               QKeySequence(Qt::ALT | Qt::Key_D), &SplitterPage::ChooseOutputFolder, true);
    AddCommand("switchMode", Text(T::SplitModeButton), MessageText(Msg::SwitchModeTip),
               QKeySequence(Qt::ALT | Qt::Key_O), &SplitterPage::ShowModeMenu, true);

    constexpr std::pair<SplitMode, Msg> kModes[] = {{SplitMode::Auto, Msg::SplitModeAuto},
                                                    {SplitMode::Fast, Msg::SplitModeFast},
                                                    {SplitMode::Frame, Msg::SplitModeFrame}};
    for (auto [mode, text] : kModes) {
        QAction* action = modeMenu_->addAction(MessageText(text));
        action->setObjectName(QStringLiteral("mode%1").arg(static_cast<int>(mode)));
        connect(action, &QAction::triggered, this, [this, mode] { SwitchMode(mode); });
    }

    // The preview's keys work page-wide and sit in the context menu as well.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    tree_->addAction(separator);
    for (QAction* action : preview_->Actions()) {
        addAction(action);
        tree_->addAction(action);
    }
}

QAction* SplitterPage::Command(const QString& name) const {
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void SplitterPage::RestoreColumns() {
    ColumnLayout defaults =
        ParseColumnLayout(MessageText(Msg::SplitterColumnsDefault).toStdString())
            .value_or(ColumnLayout{});
    ColumnLayout stored = ReadColumnLayout(context_.settings, settings::SplitterColumnList);
    QStringList headers;
    for (int column = 0; column < kSplitColumnCount; ++column) {
        headers << (column < static_cast<int>(defaults.size()) ? ToQString(defaults[column].name)
                                                               : QString());
    }
    model_->SetHeaders(headers);
    QHeaderView* header = tree_->header();
    for (int visual = 0; visual < static_cast<int>(stored.size()); ++visual) {
        // A stored entry names its column; one of another language keeps its place.
        int logical = visual;
        for (int column = 0; column < static_cast<int>(defaults.size()); ++column) {
            if (defaults[column].name == stored[visual].name)
                logical = column;
        }
        if (logical >= kSplitColumnCount)
            continue;
        header->moveSection(header->visualIndex(logical), visual);
        if (stored[visual].width <= 0)
            header->hideSection(logical);
        else
            header->resizeSection(logical, stored[visual].width);
    }
    if (!context_.settings.Contains(settings::SplitterColumnList.section,
                                    settings::SplitterColumnList.name))
        WidenToHeaderTexts(header);
}

void SplitterPage::SaveState() {
    QHeaderView* header = tree_->header();
    ColumnLayout columns;
    for (int visual = 0; visual < kSplitColumnCount; ++visual) {
        int logical = header->logicalIndex(visual);
        columns.push_back({model_->headerData(logical, Qt::Horizontal).toString().toStdString(),
                           header->isSectionHidden(logical) ? 0 : header->sectionSize(logical)});
    }
    WriteColumnLayout(context_.settings, settings::SplitterColumnList, columns);
    settings::SplitDestinationFolder.Write(context_.settings, folderBox_->text().toStdString());
    StoreNamingRule();
}

bool SplitterPage::IsBusy() const {
    return runner_ && runner_->IsRunning();
}

bool SplitterPage::ApplyCommand(CommandAction action, const std::string& source) {
    if (action != CommandAction::Split || source.empty())
        return false;
    LoadPaths({ToQString(source)});
    return true;
}

void SplitterPage::SetPreviewAvailable(bool available) {
    preview_->SetPreviewAvailable(available);
}

void SplitterPage::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the page.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    // Enter starts the split unless the time box or the list has the focus (they take it for
    // inserting a point and editing tags).
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        startButton_->isEnabled()) {
        QWidget* focus = focusWidget();
        const bool timeBox =
            focus && (focus == preview_->TimeBox() || preview_->TimeBox()->isAncestorOf(focus));
        if (!timeBox && focus != tree_) {
            event->accept();
            StartOrStop();
            return;
        }
    }
    Page::keyPressEvent(event);
}

// --- State ---------------------------------------------------------------------------------

RowId SplitterPage::CurrentRow() const {
    return model_->RowOf(tree_->currentIndex());
}

RowId SplitterPage::CurrentTrack() const {
    RowId row = CurrentRow();
    return row != kNoRow && list_.Kind(row) == SplitNodeKind::Track ? row : kNoRow;
}

void SplitterPage::SelectListCurrent() {
    QModelIndex index = model_->IndexOf(list_.Current());
    if (!index.isValid())
        return;
    tree_->expand(index.parent().parent());
    tree_->expand(index.parent());
    tree_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    tree_->scrollTo(index);
}

void SplitterPage::CurrentChanged() {
    list_.SetCurrent(CurrentRow());
    UpdateCommands();
    UpdateInformation();
    UpdatePreview();
}

void SplitterPage::ListChanged() {
    // One operation may change many rows (a sheet's tracks, a silence scan): the page follows
    // once they are all made.
    if (refreshPending_)
        return;
    refreshPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshPending_ = false;
            // Rows a list operation made current are shown so; the tree follows the list.
            if (list_.Current() != CurrentRow() && list_.Contains(list_.Current()))
                SelectListCurrent();
            UpdateCommands();
            UpdateInformation();
            UpdatePreview();
        },
        Qt::QueuedConnection);
}

void SplitterPage::UpdateCommands() {
    const bool busy = IsBusy();
    for (QAction* action : editing_)
        action->setEnabled(!busy);
    const bool track = CurrentTrack() != kNoRow;
    for (QAction* action : needTrack_)
        action->setEnabled(track && (!busy || !editing_.contains(action)));
    for (const char* name :
         {"removeSelected", "clearTracks", "moveToGroup", "saveCue", "specialSplit", "silenceSplit",
          "splitAtChapters", "toggleSelection", "editTags"}) {
        if (QAction* action = Command(QString::fromLatin1(name)))
            action->setEnabled(!busy && CurrentRow() != kNoRow);
    }
    if (QAction* action = Command(QStringLiteral("clearAll")))
        action->setEnabled(!busy && !list_.Empty());
    modeButton_->setEnabled(!busy);
    folderBox_->setEnabled(!busy && !sameFolder_->isChecked());
    folderButton_->setEnabled(!busy && !sameFolder_->isChecked());
    sameFolder_->setEnabled(!busy);
    ruleBox_->setEnabled(!busy);
    tree_->SetDropsAccepted(!busy);
    model_->SetLocked(busy);
    // Start becomes Stop while a split runs; other jobs (loading, a scan) stop from it too.
    startButton_->setText(MessageText(busy ? Msg::StopSplitLabel : Msg::StartSplitLabel));
    startButton_->setAccessibleName(startButton_->text().remove(QLatin1Char('&')));
}

void SplitterPage::UpdateInformation() {
    information_->setText(ToQString(InformationLine(list_, CurrentRow()))
                              .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void SplitterPage::UpdatePreview() {
    RowId source = list_.SourceOf(CurrentRow());
    if (source == kNoRow) {
        if (!shownSource_.empty())
            preview_->ShowNoSource();
        shownSource_.clear();
        return;
    }
    const SplitRow& row = list_.Row(source);
    std::string path = list_.SourcePath(source);
    if (path != shownSource_) {
        preview_->ShowSource(path, row.durationMs, FrameModeInForce(row.format, row.mode));
        shownSource_ = path;
    }
    std::vector<TimeRange> tracks;
    for (RowId track : list_.Children(source)) {
        TrackTimes times = list_.GetTrackTimes(track, false);
        tracks.push_back({times.start, times.end});
    }
    preview_->SetTracks(std::move(tracks));
    RowId track = CurrentTrack();
    if (track == kNoRow) {
        preview_->SetSelectedTrack(std::nullopt, std::nullopt);
        return;
    }
    TrackTimes span = list_.GetTrackTimes(track, true, row.durationMs);
    preview_->SetSelectedTrack(list_.TrackIndex(track), TrackSpan{span.start, span.end});
}

void SplitterPage::ShowModeMenu() {
    if (!IsBusy())
        modeButton_->showMenu();
}

void SplitterPage::SameFolderToggled(bool on) {
    settings::SameFolderAsOriginal.Write(context_.settings, on ? 1 : 0);
    folderBox_->setEnabled(!on && !IsBusy());
    folderButton_->setEnabled(!on && !IsBusy());
}

void SplitterPage::StoreNamingRule() {
    settings::SplitNamingRule.Write(context_.settings, ruleBox_->text().toStdString());
}

Page* CreateSplitPage(const PageContext& context, QWidget* parent) {
    return new SplitterPage(context, MakeDeviceSink(), parent);
}

}  // namespace partita::gui
