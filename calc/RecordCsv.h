#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The rows of an RFC 4180 file, each with the line it starts on (from 1) and the offset of its
// first byte. Line ends are CRLF or LF; a byte order mark before the first row is skipped.
struct CsvRow {
    qsizetype line = 0;
    qsizetype offset = 0;
    QList<QByteArray> cells;
};

struct CsvRows {
    QList<CsvRow> rows;
    qsizetype errorLine = 0; // 0: read to the end
    QString error;           // what is wrong on errorLine
};

CsvRows readCsvRows(QByteArrayView bytes);

// One row as RFC 4180 writes it, with a CRLF line end: a cell holding a comma, a quote or a line
// end is quoted, its quotes doubled.
QByteArray csvRow(const QList<QByteArray> &cells);
