#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

// One of a study's tables as the window shows it: the cells of its CSV text read back, so that
// what is shown is what Save as CSV... writes, cell for cell, in the order the records were read.
class StudyTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit StudyTableModel(QObject *parent = nullptr);

    // Starts again with the columns of `header` (the table's header row) and no rows.
    void reset(const QByteArray &header);
    // Appends the rows of `csv`, as StudyTable gives them.
    void append(const QByteArray &csv);
    // The column named `name`, as the header names it; -1 for none.
    int column(QByteArrayView name) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // The cell's text; numbers aligned to the right.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<QByteArray> m_columns;
    QList<QList<QByteArray>> m_rows;
};

// The number a cell writes ("0.054", "1e-05", "-3", "312.5"); none for a word, a date, a code
// or an empty cell. Cells write numbers with "." whatever the locale.
std::optional<double> studyCellNumber(QByteArrayView cell);
