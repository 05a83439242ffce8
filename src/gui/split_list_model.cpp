#include "split_list_model.h"

#include "split/split_list_commands.h"
#include "ui_text.h"

namespace partita::gui {

SplitListModel::SplitListModel(SplitList& list, JobHost& host, QObject* parent)
    : QAbstractItemModel(parent), list_(list), host_(host) {
    list_.SetObserver(this);
}

SplitListModel::~SplitListModel() {
    list_.SetObserver(nullptr);
}

void SplitListModel::SetLocked(bool locked) {
    // Views read the flags of a cell when they paint or edit it.
    locked_ = locked;
}

void SplitListModel::SetHeaders(const QStringList& headers) {
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, kSplitColumnCount - 1);
}

QModelIndex SplitListModel::IndexOf(RowId row, int column) const {
    if (row == kNoRow || !list_.Contains(row))
        return {};
    return createIndex(list_.TrackIndex(row), column, static_cast<quintptr>(row));
}

RowId SplitListModel::RowOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<RowId>(index.internalId()) : kNoRow;
}

QModelIndex SplitListModel::index(int row, int column, const QModelIndex& parent) const {
    if (column < 0 || column >= kSplitColumnCount || row < 0)
        return {};
    const std::vector<RowId>& children = list_.Children(RowOf(parent));
    if (row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, column, static_cast<quintptr>(children[row]));
}

QModelIndex SplitListModel::parent(const QModelIndex& child) const {
    RowId row = RowOf(child);
    if (row == kNoRow || !list_.Contains(row))
        return {};
    return IndexOf(list_.Parent(row));
}

int SplitListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    RowId row = RowOf(parent);
    if (row != kNoRow && list_.Kind(row) == SplitNodeKind::Track)
        return 0;
    return static_cast<int>(list_.Children(row).size());
}

int SplitListModel::columnCount(const QModelIndex& parent) const {
    (void)parent;
    return kSplitColumnCount;
}

QVariant SplitListModel::data(const QModelIndex& index, int role) const {
    RowId row = RowOf(index);
    if (row == kNoRow)
        return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::AccessibleTextRole:
            return ToQString(list_.CellText(row, index.column()));
        case Qt::CheckStateRole:
            if (index.column() != kColTrack)
                return {};
            return list_.Row(row).checked ? Qt::Checked : Qt::Unchecked;
        default:
            return {};
    }
}

bool SplitListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    RowId row = RowOf(index);
    if (row == kNoRow || locked_)
        return false;
    if (role == Qt::CheckStateRole && index.column() == kColTrack) {
        list_.SetChecked(row, value.toInt() == Qt::Checked);
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    return EditCellTelling(list_, host_, row, index.column(), value.toString().toStdString());
}

Qt::ItemFlags SplitListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (locked_)
        return flags;
    if (index.column() == kColTrack)
        flags |= Qt::ItemIsUserCheckable;
    RowId row = RowOf(index);
    SplitNodeKind kind = list_.Kind(row);
    const bool fixed = index.column() == kColPath || index.column() == kColMode ||
                       (kind == SplitNodeKind::Source &&
                        (index.column() == kColTrack || index.column() == kColLength)) ||
                       (kind == SplitNodeKind::Group && index.column() != kColTrack);
    if (!fixed)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant SplitListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers_.size())
        return {};
    return headers_[section];
}

void SplitListModel::RowsAboutToBeRemoved(RowId parent, int first, int count) {
    beginRemoveRows(IndexOf(parent), first, first + count - 1);
}

void SplitListModel::RowsRemoved(RowId parent, int first, int count) {
    (void)parent;
    (void)first;
    (void)count;
    endRemoveRows();
}

void SplitListModel::RowsInserted(RowId parent, int first, int count) {
    // The list tells of insertions once they are made; the rows before `first` are where they
    // were, so the model's bookkeeping of persistent indexes shifts the right ones.
    beginInsertRows(IndexOf(parent), first, first + count - 1);
    endInsertRows();
}

void SplitListModel::RowChanged(RowId row) {
    emit dataChanged(IndexOf(row, 0), IndexOf(row, kSplitColumnCount - 1));
}

void SplitListModel::ListReset() {
    beginResetModel();
    endResetModel();
}

}  // namespace partita::gui
