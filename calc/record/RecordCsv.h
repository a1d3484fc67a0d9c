#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <string_view>

// Reads an RFC 4180 file row by row, as its bytes come, without copying them: each cell is a
// view of the bytes given (a quoted cell with doubled quotes, of a copy of its own), which holds
// until the next row is read. Line ends are CRLF or LF; a byte order mark before the first row is
// the caller's to skip.
class CsvRowReader {
public:
    enum class Step {
        Row,        // cells() hold the row, which starts at line() and ends before next()
        Incomplete, // the row goes on beyond the bytes given: give it more and read it again
        Fault,      // the row is not RFC 4180: errorLine() and error() say where and why
    };

    // Reads the row that starts at `bytes[from]`, on line `line` (from 1). `last` says that no
    // byte follows `bytes`, so a row may end without its line end.
    Step read(QByteArrayView bytes, qsizetype from, qsizetype line, bool last);

    const QList<QByteArrayView> &cells() const { return m_cells; }
    // Where the next row starts: its offset in the bytes given and its line.
    qsizetype next() const { return m_next; }
    qsizetype nextLine() const { return m_nextLine; }
    qsizetype errorLine() const { return m_errorLine; }
    const QString &error() const { return m_error; }

private:
    Step fault(qsizetype line, const char *problem);

    QList<QByteArrayView> m_cells;
    QList<QByteArray> m_unquoted; // the cells whose doubled quotes were made single
    qsizetype m_next = 0;
    qsizetype m_nextLine = 1;
    qsizetype m_errorLine = 0;
    QString m_error;
};

// The rows of an RFC 4180 file held whole, each with the line it starts on (from 1) and the
// offset of its first byte; a byte order mark before the first row is skipped.
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
// The same, appended to `text`.
void appendCsvRow(QByteArray &text, const QList<QByteArray> &cells);

// Whether a spreadsheet would take `cell` for a formula: it starts with "=", "+", "-", "@", a tab
// or a carriage return, and is not a negative number, which is a number to a spreadsheet too.
bool readAsFormula(std::string_view cell);
// `cells` as a spreadsheet shows them as text: each that readAsFormula takes for a formula with
// "'" put before it.
QList<QByteArray> spreadsheetSafe(QList<QByteArray> cells);
