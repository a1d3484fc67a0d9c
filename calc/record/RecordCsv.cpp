#include "calc/record/RecordCsv.h"

#include "calc/dose/NumberText.h"

#include <cstring>

CsvRowReader::Step CsvRowReader::fault(qsizetype line, const char *problem)
{
    m_errorLine = line;
    m_error = QLatin1String(problem);
    return Step::Fault;
}

CsvRowReader::Step CsvRowReader::read(QByteArrayView bytes, qsizetype from, qsizetype line,
                                      bool last)
{
    m_cells.clear();
    m_unquoted.clear();
    const char *const data = bytes.data();
    const qsizetype size = bytes.size();
    const qsizetype rowLine = line;
    qsizetype pos = from;
    for (;;) {
        if (pos < size && data[pos] == '"') {
            const qsizetype start = ++pos;
            bool doubled = false;
            for (;;) {
                const void *quote =
                    pos < size ? std::memchr(data + pos, '"', size_t(size - pos)) : nullptr;
                if (!quote)
                    return last ? fault(rowLine, "a quoted cell is not closed") : Step::Incomplete;
                const qsizetype at = static_cast<const char *>(quote) - data;
                for (qsizetype i = pos; i < at; ++i)
                    line += data[i] == '\n' ? 1 : 0;
                pos = at + 1;
                if (pos >= size && !last)
                    return Step::Incomplete; // a quote doubled or not: the next byte says
                if (pos < size && data[pos] == '"') {
                    doubled = true;
                    ++pos;
                    continue;
                }
                break;
            }
            const QByteArrayView cell(data + start, pos - 1 - start);
            if (doubled) {
                m_unquoted.append(cell.toByteArray().replace("\"\"", "\""));
                m_cells.append(QByteArrayView(m_unquoted.constLast()));
            } else {
                m_cells.append(cell);
            }
            if (pos < size && data[pos] != ',' && data[pos] != '\r' && data[pos] != '\n')
                return fault(line, "text follows a closing quote");
        } else {
            const qsizetype start = pos;
            while (pos < size && data[pos] != ',' && data[pos] != '\r' && data[pos] != '\n') {
                if (data[pos] == '"')
                    return fault(line, "a quote inside a cell that is not quoted");
                ++pos;
            }
            if (pos >= size && !last)
                return Step::Incomplete;
            m_cells.append(QByteArrayView(data + start, pos - start));
        }
        if (pos < size && data[pos] == ',') {
            ++pos;
            continue;
        }
        if (pos < size && data[pos] == '\r') {
            if (pos + 1 >= size && !last)
                return Step::Incomplete;
            if (pos + 1 >= size || data[pos + 1] != '\n')
                return fault(line, "a carriage return without a line feed");
            ++pos;
        }
        if (pos < size) {
            ++pos; // the line feed
            ++line;
        }
        break;
    }
    m_next = pos;
    m_nextLine = line;
    return Step::Row;
}

CsvRows readCsvRows(QByteArrayView bytes)
{
    CsvRows result;
    CsvRowReader reader;
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype line = 1;
    while (pos < bytes.size()) {
        if (reader.read(bytes, pos, line, true) != CsvRowReader::Step::Row) {
            result.rows.clear();
            result.errorLine = reader.errorLine();
            result.error = reader.error();
            return result;
        }
        CsvRow row;
        row.line = line;
        row.offset = pos;
        row.cells.reserve(reader.cells().size());
        for (const QByteArrayView cell : reader.cells())
            row.cells.append(cell.toByteArray());
        result.rows.append(row);
        pos = reader.next();
        line = reader.nextLine();
    }
    return result;
}

void appendCsvRow(QByteArray &text, const QList<QByteArray> &cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += ',';
        const QByteArray &cell = cells[i];
        if (cell.contains(',') || cell.contains('"') || cell.contains('\r') || cell.contains('\n'))
            text += '"' + QByteArray(cell).replace('"', "\"\"") + '"';
        else
            text += cell;
    }
    text += "\r\n";
}

QByteArray csvRow(const QList<QByteArray> &cells)
{
    QByteArray row;
    appendCsvRow(row, cells);
    return row;
}

bool readAsFormula(std::string_view cell)
{
    if (cell.empty() || std::string_view("=+-@\t\r").find(cell.front()) == std::string_view::npos)
        return false;
    return cell.front() != '-' || TextToSingle(cell).error == NumberTextError::NotANumber;
}

QList<QByteArray> spreadsheetSafe(QList<QByteArray> cells)
{
    for (QByteArray &cell : cells) {
        if (readAsFormula(std::string_view(cell.constData(), std::size_t(cell.size()))))
            cell.prepend('\'');
    }
    return cells;
}
