#pragma once

#include "options_dialog.h"
#include "page.h"

class QLabel;

namespace partita::gui {

// The settings/about pane: what the program is, where its settings live, the summaries of the
// joiner's and the splitter's options and the button that opens the options dialog. The
// summaries are read again each time the pane is shown and after the dialog's OK.
class SettingsAboutPage : public Page {
    Q_OBJECT

  public:
    SettingsAboutPage(const PageContext& context, const QString& settingsLocation, QWidget* parent,
                      FolderPicker picker = PickFolderWithDialog);

    void RefreshSummaries();
    // Runs the options dialog; true when the user pressed OK.
    bool OpenOptions();

    QString JoinerSummaryText() const;
    QString SplitterSummaryText() const;

  signals:
    void HelpRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    SettingsStore& store_;
    FolderPicker picker_;
    QLabel* joinerSummary_;
    QLabel* splitterSummary_;
};

}  // namespace partita::gui
