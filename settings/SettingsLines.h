#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The plain reading of a settings file that the store sets beside Qt's: its lines one by one,
// each judged on its own. Its rules are those of Qt's INI reader within a line: leading blanks
// are skipped, a line starting with ';' is a comment, a backslash takes the next character as it
// is, quotes hide '=' and ';', an unquoted ';' ends the line, and a key or a section name loses
// the white space around it, a value only its spaces and tabs. Where a line leaves a quote
// open or ends in a backslash, Qt's reader runs on into the next lines and swallows them into one
// value: such a line cannot stand on its own, and neither can a line that is not text.
namespace SettingsLines {

enum class LineKind {
    Blank, // or a comment
    Header,
    KeyValue,
    // Damaged lines, in the order a line's damage is named.
    NotText,
    UnclosedQuote,
    JoinedToNext,
    UnclosedHeader,
    NoEquals,
};

inline bool isDamaged(LineKind kind)
{
    return kind >= LineKind::NotText;
}

struct Line {
    int number = 0; // counted from 1, as an editor shows it
    QByteArray text;
    LineKind kind = LineKind::Blank;
    bool header = false; // starts with '[', damaged or not
    QByteArray name;     // a header's section, or the key before an unquoted '='
    QByteArray value;    // what follows that '=', comment left out
    // A line key=value damaged only by a quote left open or a backslash at its end, as it reads
    // standing alone: the quote closed at the line's end, the backslash left out. Empty for
    // every other line.
    QByteArray mended;
};

Line readLine(int number, QByteArrayView text);

// The reading of a whole file, split where Qt's reader splits it (at "\r\n", "\n" and "\r"),
// after a UTF-8 byte-order mark, which Qt skips too.
struct LineReading {
    QList<Line> damaged;          // anywhere in the file
    QList<Line> intact;           // lines key=value of the section, under a header naming it in any
                                  // letter case
    QList<Line> damagedInSection; // damaged lines of the section that name a key
    // The file as Qt is to read it: every damaged line mended, or blank where it cannot be, a
    // damaged header one of a section nobody reads, so that no line swallows the next and each
    // line keeps its section.
    QByteArray cleaned;
};

LineReading readLines(QByteArrayView bytes, const QString &section);

} // namespace SettingsLines
