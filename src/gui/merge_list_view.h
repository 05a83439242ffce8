#pragma once

#include <QStringList>
#include <QTreeView>
#include <vector>

namespace partita::gui {

// The merge list's view: whole rows, several at a time, a hint inside the empty list, rows
// dragged to a new place and audio or list files dropped from the desktop. It only reports the
// drops; the page changes the list.
class MergeListView : public QTreeView {
    Q_OBJECT

  public:
    explicit MergeListView(QWidget* parent = nullptr);

    void SetEmptyHint(const QString& hint) { emptyHint_ = hint; }
    // Rows that are selected, in list order.
    std::vector<std::size_t> SelectedRows() const;
    // Selects the rows first .. first + count - 1 only, makes the first current and shows it.
    void SelectRows(std::size_t first, std::size_t count);
    // Where a drop at `position` (viewport coordinates) puts a dragged block: the row under the
    // pointer, or the last row below the rows.
    std::size_t DropRow(const QPoint& position) const;

  signals:
    void RowsDropped(std::vector<std::size_t> rows, std::size_t target);
    void FilesDropped(QStringList paths);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    bool Accepts(const QMimeData* mime) const;

    QString emptyHint_;
};

}  // namespace partita::gui
