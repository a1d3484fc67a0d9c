#pragma once

#include <QSortFilterProxyModel>

// A study's table sorted by a column as an analyst expects it. Ascending, numbers go by their value
// ("9" before "10", "1e-05" before "0.001") and before any text, which sorts without regard to
// letter case; descending is the same order reversed. An empty cell (no value) is last whichever
// way the column is sorted. Rows that compare equal keep the order the records were read in, and
// sorting by no column (-1) gives that order back.
class StudySortModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit StudySortModel(QObject *parent = nullptr);

    // Whether the row with the cell `left` goes before the one with `right`, sorted in `order`;
    // false for cells that sort alike.
    static bool cellBefore(const QString &left, const QString &right, Qt::SortOrder order);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
};
