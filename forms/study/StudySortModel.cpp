#include "forms/study/StudySortModel.h"

#include "forms/study/StudyTableModel.h"

StudySortModel::StudySortModel(QObject *parent) : QSortFilterProxyModel(parent)
{
    // Rows come in while the records are read; each goes where the sort puts it.
    setDynamicSortFilter(true);
}

bool StudySortModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    // The proxy sorts descending by asking lessThan the other way round.
    const QString leftCell = left.data().toString();
    const QString rightCell = right.data().toString();
    return sortOrder() == Qt::AscendingOrder ? cellBefore(leftCell, rightCell, Qt::AscendingOrder)
                                             : cellBefore(rightCell, leftCell, Qt::DescendingOrder);
}

bool StudySortModel::cellBefore(const QString &left, const QString &right, Qt::SortOrder order)
{
    const bool ascending = order == Qt::AscendingOrder;
    // An empty cell is last either way.
    if (left.isEmpty() != right.isEmpty())
        return right.isEmpty();
    const std::optional<double> leftNumber = studyCellNumber(left.toUtf8());
    const std::optional<double> rightNumber = studyCellNumber(right.toUtf8());
    if (leftNumber && rightNumber)
        return ascending ? *leftNumber < *rightNumber : *rightNumber < *leftNumber;
    if (leftNumber.has_value() != rightNumber.has_value())
        return ascending == leftNumber.has_value();
    const int compared = left.compare(right, Qt::CaseInsensitive);
    return ascending ? compared < 0 : compared > 0;
}
