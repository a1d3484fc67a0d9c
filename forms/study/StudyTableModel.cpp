#include "forms/study/StudyTableModel.h"

#include "calc/record/RecordCsv.h"

#include <cmath>

StudyTableModel::StudyTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void StudyTableModel::reset(const QByteArray &header)
{
    beginResetModel();
    const CsvRows csv = readCsvRows(header);
    m_columns = csv.rows.isEmpty() ? QList<QByteArray>() : csv.rows.first().cells;
    m_rows.clear();
    endResetModel();
}

void StudyTableModel::append(const QByteArray &csv)
{
    const CsvRows read = readCsvRows(csv);
    if (read.rows.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + read.rows.size() - 1));
    for (const CsvRow &row : read.rows)
        m_rows << row.cells;
    endInsertRows();
}

int StudyTableModel::column(QByteArrayView name) const
{
    return int(m_columns.indexOf(name));
}

int StudyTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int StudyTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant StudyTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QByteArray cell = m_rows[index.row()].value(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: // a long problem reads whole in its tool tip
        return QString::fromUtf8(cell);
    case Qt::AccessibleTextRole: // a screen reader says an empty cell is one
        return cell.isEmpty() ? QStringLiteral("no value") : QString::fromUtf8(cell);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (studyCellNumber(cell) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant StudyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return QString::fromUtf8(m_columns.value(section));
}

std::optional<double> studyCellNumber(QByteArrayView cell)
{
    bool ok = false;
    const double number = cell.trimmed().isEmpty() ? 0 : cell.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}
