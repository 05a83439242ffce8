#include "merge_list_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <algorithm>

#include "merge_list_model.h"

namespace partita::gui {

MergeListView::MergeListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    // Drops land on the viewport, the widget under the pointer.
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(true);
    header()->setStretchLastSection(false);
}

std::vector<std::size_t> MergeListView::SelectedRows() const {
    std::vector<std::size_t> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(static_cast<std::size_t>(index.row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void MergeListView::SelectRows(std::size_t first, std::size_t count) {
    if (!model() || !selectionModel())
        return;
    int rowCount = model()->rowCount();
    if (rowCount == 0 || count == 0) {
        selectionModel()->clearSelection();
        return;
    }
    int top = std::min(static_cast<int>(first), rowCount - 1);
    int bottom = std::min(top + static_cast<int>(count) - 1, rowCount - 1);
    QItemSelection selection(model()->index(top, 0),
                             model()->index(bottom, model()->columnCount() - 1));
    selectionModel()->setCurrentIndex(model()->index(top, 0), QItemSelectionModel::NoUpdate);
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    scrollTo(model()->index(top, 0));
}

std::size_t MergeListView::DropRow(const QPoint& position) const {
    QModelIndex under = indexAt(position);
    if (under.isValid())
        return static_cast<std::size_t>(under.row());
    int rows = model() ? model()->rowCount() : 0;
    return rows > 0 ? static_cast<std::size_t>(rows - 1) : 0;
}

void MergeListView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (emptyHint_.isEmpty() || (model() && model()->rowCount() > 0))
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    QRect area = viewport()->rect().adjusted(16, 16, -16, -16);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, emptyHint_);
}

bool MergeListView::Accepts(const QMimeData* mime) const {
    if (!mime)
        return false;
    if (mime->hasFormat(QString::fromLatin1(MergeListModel::kRowsMimeType)))
        return dragEnabled();
    return mime->hasUrls();
}

void MergeListView::dragEnterEvent(QDragEnterEvent* event) {
    if (!Accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    QTreeView::dragEnterEvent(event);
    event->acceptProposedAction();
}

void MergeListView::dragMoveEvent(QDragMoveEvent* event) {
    if (!Accepts(event->mimeData())) {
        event->ignore();
        return;
    }
    QTreeView::dragMoveEvent(event);
    event->accept();
}

// A drop never lets the view remove rows itself: the page moves the rows in the list, and the
// drag reports a copy, so the view leaves its model alone.
void MergeListView::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (!Accepts(mime)) {
        event->ignore();
        return;
    }
    std::vector<std::size_t> rows = MergeListModel::DraggedRows(mime);
    if (!rows.empty()) {
        emit RowsDropped(rows, DropRow(event->position().toPoint()));
    } else {
        QStringList paths;
        for (const QUrl& url : mime->urls()) {
            if (url.isLocalFile())
                paths << url.toLocalFile();
        }
        if (!paths.isEmpty())
            emit FilesDropped(paths);
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

}  // namespace partita::gui
