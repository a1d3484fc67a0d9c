#include "settings/SettingsLines.h"

#include <algorithm>

namespace SettingsLines {

namespace {

// A value without the blanks around it, as Qt's reader takes it: spaces and tabs only, so that a
// vertical tab or a form feed stays part of the value.
QByteArray withoutBlanks(QByteArrayView text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.isEmpty() && blank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text.toByteArray();
}

} // namespace

Line readLine(int number, QByteArrayView text)
{
    Line line;
    line.number = number;
    line.text = text.toByteArray();
    qsizetype start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
        ++start;
    if (start == text.size() || text[start] == ';')
        return line;
    bool quoted = false;
    bool joined = false;
    qsizetype equals = -1;
    qsizetype end = start;
    for (; end < text.size(); ++end) {
        const char c = text[end];
        if (c == '\\') {
            joined = end + 1 == text.size();
            ++end;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == '=' && !quoted && equals < 0) {
            equals = end;
        } else if (c == ';' && !quoted) {
            break;
        }
    }
    const QByteArrayView read = text.first(std::min(end, text.size()));
    line.header = text[start] == '[';
    if (line.header) {
        const qsizetype close = read.indexOf(']', start);
        line.name =
            read.first(close < 0 ? read.size() : close).sliced(start + 1).trimmed().toByteArray();
        line.kind = close < 0 ? LineKind::UnclosedHeader : LineKind::Header;
    } else if (equals >= 0) {
        line.name = read.first(equals).sliced(start).trimmed().toByteArray();
        line.value = withoutBlanks(read.sliced(equals + 1));
        line.kind = LineKind::KeyValue;
    } else {
        line.kind = LineKind::NoEquals;
    }
    // A quote or a backslash at the end of a line is most often a slip of whoever edited it: the
    // rest of the line is the value they meant, as the rest of the line is all it can be.
    if (line.kind == LineKind::KeyValue && (joined || quoted))
        line.mended =
            line.text.first(line.text.size() - (joined ? 1 : 0)) + QByteArray(quoted ? "\"" : "");
    if (joined)
        line.kind = LineKind::JoinedToNext;
    if (quoted)
        line.kind = LineKind::UnclosedQuote;
    if (text.contains('\0') || !text.isValidUtf8()) {
        line.kind = LineKind::NotText;
        line.mended.clear();
    }
    return line;
}

LineReading readLines(QByteArrayView bytes, const QString &section)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    LineReading reading;
    bool inSection = false;
    int number = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const Line line = readLine(++number, bytes.sliced(start, end - start));
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n')
            ++end;
        start = end + 1;

        const bool damaged = isDamaged(line.kind);
        if (line.header)
            inSection =
                !damaged && QString::fromUtf8(line.name).compare(section, Qt::CaseInsensitive) == 0;
        if (damaged) {
            reading.damaged << line;
            if (inSection && !line.header && !line.name.isEmpty())
                reading.damagedInSection << line;
            // "%01" stands for a character no section name holds.
            reading.cleaned += line.header ? QByteArray("[%01]\n") : line.mended + '\n';
        } else {
            if (inSection && line.kind == LineKind::KeyValue)
                reading.intact << line;
            reading.cleaned += line.text + '\n';
        }
    }
    return reading;
}

} // namespace SettingsLines
