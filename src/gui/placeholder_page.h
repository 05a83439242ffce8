#pragma once

#include "page.h"

class QLabel;

namespace partita::gui {

// A working pane that shows its heading and the source the command line named; the splitter
// and joiner panes start from it.
class PlaceholderPage : public Page {
    Q_OBJECT

  public:
    PlaceholderPage(const QString& heading, const QString& description, CommandAction takes,
                    QWidget* parent);

    bool ApplyCommand(CommandAction action, const std::string& source) override;
    void SetPreviewAvailable(bool available) override { previewAvailable_ = available; }

    bool PreviewAvailable() const { return previewAvailable_; }
    const std::string& CommandSource() const { return commandSource_; }

  private:
    CommandAction takes_;
    std::string commandSource_;
    bool previewAvailable_ = true;
    QLabel* sourceLabel_;
};

}  // namespace partita::gui
