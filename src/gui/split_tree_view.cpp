#include "split_tree_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace partita::gui {
namespace {

QStringList LocalPaths(const QMimeData* mime) {
    QStringList paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

}  // namespace

SplitTreeView::SplitTreeView(QWidget* parent) : QTreeView(parent) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DropOnly);
}

void SplitTreeView::SetEmptyText(const QString& text) {
    emptyText_ = text;
    viewport()->update();
}

void SplitTreeView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!model() || model()->rowCount() != 0 || emptyText_.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(12, 12, -12, -12),
                     Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
}

void SplitTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (dropsAccepted_ && !LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SplitTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (dropsAccepted_ && !LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SplitTreeView::dropEvent(QDropEvent* event) {
    QStringList paths = LocalPaths(event->mimeData());
    if (!dropsAccepted_ || paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

}  // namespace partita::gui
