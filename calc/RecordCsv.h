#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The rows of an RFC 4180 file, each with the line it starts on (from 1). Line ends are CRLF or
// LF; a byte order mark before the first row is skipped.
struct CsvRow {
    qsizetype line = 0;
    QList<QByteArray> cells;
};

struct CsvRows {
    QList<CsvRow> rows;
    qsizetype errorLine = 0; // 0: read to the end
    QString error;           // what is wrong on errorLine
};

CsvRows readCsvRows(QByteArrayView bytes);
