#pragma once

#include <QAbstractItemModel>

#include "split/split_list.h"

namespace partita {
class JobHost;
}

namespace partita::gui {

// The split list as a Qt tree model: groups, their sources and the sources' tracks, thirteen
// columns of cell texts, a check box in the first column. It follows the list through the list's
// observer, so every change made by a list operation reaches the views. Edited cells go through
// the list's own rules, telling the user (through `host`) why a boundary was refused.
class SplitListModel : public QAbstractItemModel, private SplitListObserver {
    Q_OBJECT

  public:
    SplitListModel(SplitList& list, JobHost& host, QObject* parent = nullptr);
    ~SplitListModel() override;

    // While a job reads the list nothing may change it: no check box or cell is editable.
    void SetLocked(bool locked);
    void SetHeaders(const QStringList& headers);

    QModelIndex IndexOf(RowId row, int column = 0) const;
    RowId RowOf(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    void RowsAboutToBeRemoved(RowId parent, int first, int count) override;
    void RowsRemoved(RowId parent, int first, int count) override;
    void RowsInserted(RowId parent, int first, int count) override;
    void RowChanged(RowId row) override;
    void ListReset() override;

    SplitList& list_;
    JobHost& host_;
    QStringList headers_;
    bool locked_ = false;
};

}  // namespace partita::gui
