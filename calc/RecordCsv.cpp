#include "calc/RecordCsv.h"

namespace {

CsvRows failed(qsizetype line, const char *problem)
{
    CsvRows rows;
    rows.errorLine = line;
    rows.error = QLatin1String(problem);
    return rows;
}

} // namespace

CsvRows readCsvRows(QByteArrayView bytes)
{
    CsvRows result;
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype line = 1;
    const qsizetype size = bytes.size();
    while (pos < size) {
        CsvRow row;
        row.line = line;
        row.offset = pos;
        for (;;) {
            QByteArray cell;
            if (pos < size && bytes[pos] == '"') {
                ++pos;
                for (;;) {
                    if (pos >= size)
                        return failed(row.line, "a quoted cell is not closed");
                    const char c = bytes[pos++];
                    if (c == '"' && pos < size && bytes[pos] == '"') {
                        cell += '"';
                        ++pos;
                    } else if (c == '"') {
                        break;
                    } else {
                        line += c == '\n' ? 1 : 0;
                        cell += c;
                    }
                }
                if (pos < size && bytes[pos] != ',' && bytes[pos] != '\r' && bytes[pos] != '\n')
                    return failed(line, "text follows a closing quote");
            } else {
                while (pos < size && bytes[pos] != ',' && bytes[pos] != '\r' &&
                       bytes[pos] != '\n') {
                    if (bytes[pos] == '"')
                        return failed(line, "a quote inside a cell that is not quoted");
                    cell += bytes[pos++];
                }
            }
            row.cells.append(cell);
            if (pos < size && bytes[pos] == ',') {
                ++pos;
                continue;
            }
            if (pos < size && bytes[pos] == '\r') {
                if (pos + 1 >= size || bytes[pos + 1] != '\n')
                    return failed(line, "a carriage return without a line feed");
                ++pos;
            }
            if (pos < size) {
                ++pos; // the line feed
                ++line;
            }
            break;
        }
        result.rows.append(row);
    }
    return result;
}

QByteArray csvRow(const QList<QByteArray> &cells)
{
    QByteArray row;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            row += ',';
        const QByteArray &cell = cells[i];
        if (cell.contains(',') || cell.contains('"') || cell.contains('\r') || cell.contains('\n'))
            row += '"' + QByteArray(cell).replace('"', "\"\"") + '"';
        else
            row += cell;
    }
    return row + "\r\n";
}
