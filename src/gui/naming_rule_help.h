#pragma once

#include <QMessageBox>

namespace partita::gui {

// The placeholder lists of the splitter: those of the naming rule (file names) and those of the
// tag fields of the list and the tag editor. A plain information box.
class NamingRuleHelp : public QMessageBox {
    Q_OBJECT

  public:
    enum class Topic { FileNames, TagFields };

    NamingRuleHelp(Topic topic, QWidget* parent);

    // Shows the box modally.
    static void Show(Topic topic, QWidget* parent);
};

}  // namespace partita::gui
