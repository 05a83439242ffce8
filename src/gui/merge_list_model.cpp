#include "merge_list_model.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <algorithm>
#include <iterator>

#include "mpeg/frame_header.h"

namespace partita::gui {
namespace {

bool IsNumberColumn(int column) {
    return column == kMergeSilence || column == kMergeSampleRate || column == kMergeFileSize;
}

}  // namespace

MergeListModel::MergeListModel(MergeList& list, QStringList headers, QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      headers_(std::move(headers)),
      rows_(static_cast<int>(list.Size())) {
    list_.SetObserver(this);
}

MergeListModel::~MergeListModel() {
    list_.SetObserver(nullptr);
}

int MergeListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int MergeListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kMergeColumnCount;
}

QVariant MergeListModel::data(const QModelIndex& index, int role) const {
    // Between a removal and its announcement the view may count more rows than the list holds.
    if (!index.isValid() || index.row() >= rows_ ||
        static_cast<std::size_t>(index.row()) >= list_.Size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole) {
        if (role == Qt::ToolTipRole && index.column() != kMergeFileName)
            return {};
        const MergeRow& row = list_.Row(static_cast<std::size_t>(index.row()));
        if (role == Qt::ToolTipRole)
            return QString::fromStdString(row.Path());
        std::string text = row.Text(index.column());
        if (index.column() == kMergeChannels) {
            // The list keeps the channel names of its files; the view shows them in the
            // language of the window.
            auto* found =
                std::find(std::begin(kChannelModeNames), std::end(kChannelModeNames), text);
            if (found != std::end(kChannelModeNames))
                text = ModeText(static_cast<int>(found - std::begin(kChannelModeNames)));
        }
        return QString::fromStdString(text);
    }
    if (role == Qt::TextAlignmentRole && IsNumberColumn(index.column()))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant MergeListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headers_.size())
        return headers_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags MergeListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid())
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList MergeListModel::mimeTypes() const {
    return {QString::fromLatin1(kRowsMimeType)};
}

QMimeData* MergeListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    for (int row : rows)
        out << qint32(row);
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kRowsMimeType), bytes);
    return data;
}

std::vector<std::size_t> MergeListModel::DraggedRows(const QMimeData* data) {
    std::vector<std::size_t> rows;
    if (!data || !data->hasFormat(QString::fromLatin1(kRowsMimeType)))
        return rows;
    QByteArray bytes = data->data(QString::fromLatin1(kRowsMimeType));
    QDataStream in(bytes);
    while (!in.atEnd()) {
        qint32 row = -1;
        in >> row;
        if (in.status() != QDataStream::Ok)
            break;
        if (row >= 0)
            rows.push_back(static_cast<std::size_t>(row));
    }
    return rows;
}

void MergeListModel::RowsAboutToBeRemoved(int first, int count) {
    beginRemoveRows({}, first, first + count - 1);
}

void MergeListModel::RowsRemoved(int first, int count) {
    (void)first;
    rows_ -= count;
    endRemoveRows();
}

void MergeListModel::RowsInserted(int first, int count) {
    beginInsertRows({}, first, first + count - 1);
    rows_ += count;
    endInsertRows();
}

void MergeListModel::RowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, kMergeColumnCount - 1));
}

void MergeListModel::ListReset() {
    beginResetModel();
    rows_ = static_cast<int>(list_.Size());
    endResetModel();
}

}  // namespace partita::gui
