#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "app/action_command_line.h"

namespace partita {
class SettingsStore;
}

namespace partita::gui {

class UserMessages;

// What every pane is given: the settings store and the message boxes.
struct PageContext {
    SettingsStore& settings;
    UserMessages& messages;
};

// One pane of the main window. The window asks its pages whether a job runs before it closes,
// hands them the start-up command line and shows the visible page's status text in its status
// bar.
class Page : public QWidget {
    Q_OBJECT

  public:
    explicit Page(QWidget* parent = nullptr) : QWidget(parent) {}

    // True while a split or merge runs on this page; the window refuses to close then.
    virtual bool IsBusy() const { return false; }
    // The command line of the start, given once after every page exists. A page that takes the
    // command (it adds the source to its list) returns true and is shown. Nothing starts by
    // itself: the user still starts the job.
    virtual bool ApplyCommand(CommandAction action, const std::string& source) {
        (void)action;
        (void)source;
        return false;
    }
    // False when the machine has no audio output: the page turns its preview controls off.
    virtual void SetPreviewAvailable(bool available) { (void)available; }
    // The window is closing: store column layouts and whatever else the page keeps.
    virtual void SaveState() {}

    const QString& StatusText() const { return statusText_; }

  signals:
    void StatusTextChanged(const QString& text);

  protected:
    void SetStatusText(const QString& text) {
        if (text == statusText_)
            return;
        statusText_ = text;
        emit StatusTextChanged(text);
    }

  private:
    QString statusText_;
};

// Makes one working page; the window owns what it returns.
using PageMaker = std::function<Page*(const PageContext&, QWidget* parent)>;

// The splitter and joiner pages of the program.
Page* CreateSplitPage(const PageContext& context, QWidget* parent);
Page* CreateJoinerPage(const PageContext& context, QWidget* parent);

}  // namespace partita::gui
