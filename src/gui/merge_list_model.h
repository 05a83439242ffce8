#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "join/merge_list.h"

namespace partita::gui {

// The merge list as a table of its 17 column texts. It follows the list through the list's
// observer, keeping its own row count so that Qt hears of every insertion before the rows exist
// for it. Rows are dragged as their numbers (kRowsMimeType); the view moves them.
class MergeListModel : public QAbstractTableModel, public MergeListObserver {
    Q_OBJECT

  public:
    static constexpr const char* kRowsMimeType = "application/x-partita-merge-rows";

    MergeListModel(MergeList& list, QStringList headers, QObject* parent = nullptr);
    ~MergeListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

    // The rows a drag of this model carries, in list order; empty for other data.
    static std::vector<std::size_t> DraggedRows(const QMimeData* data);

    void RowsAboutToBeRemoved(int first, int count) override;
    void RowsRemoved(int first, int count) override;
    void RowsInserted(int first, int count) override;
    void RowChanged(int row) override;
    void ListReset() override;

  private:
    MergeList& list_;
    QStringList headers_;
    int rows_ = 0;
};

}  // namespace partita::gui
