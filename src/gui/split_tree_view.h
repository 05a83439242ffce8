#pragma once

#include <QStringList>
#include <QTreeView>

namespace partita::gui {

// The tree of the split list: shows a hint while the list is empty and takes dropped files,
// handing their paths to the page.
class SplitTreeView : public QTreeView {
    Q_OBJECT

  public:
    explicit SplitTreeView(QWidget* parent = nullptr);

    void SetEmptyText(const QString& text);
    // While false, drops are refused (a split runs).
    void SetDropsAccepted(bool accepted) { dropsAccepted_ = accepted; }

  signals:
    void filesDropped(const QStringList& paths);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QString emptyText_;
    bool dropsAccepted_ = true;
};

}  // namespace partita::gui
