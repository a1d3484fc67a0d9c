#pragma once

#include "calc/study/AchievementTable.h"
#include "calc/study/StudyLeftOut.h"
#include "calc/study/StudyRecord.h"

#include <QByteArray>
#include <QList>

// A study's records as tables (docs/study.md): the sessions, one row per record; the readings,
// one row per reading not voided; the achievement, one row per group and one for all. Every
// value is the one in force, every correction applied. Levels are in the record's lab unit
// (level_unit names it) unless a column says g/100 ml; the achievement's are all in g/100 ml.
//
// The tables are UTF-8 CSV as RFC 4180 writes it (csvRow: CRLF line ends, a cell holding a
// comma, a quote or a line end quoted) with a header row, so the command line and the window
// write the very same bytes.

enum class StudyTableKind { Sessions, Readings, Achievement };

// A record's row of the sessions table, in the order of SessionColumns. A record that cannot be
// read has its file, status and problem, and nothing else.
QList<QByteArray> sessionCells(const StudyRecord &record);

// A record's rows of the readings table, each in the order of ReadingColumns: every reading not
// voided, in time order; none for a record that cannot be read.
QList<QList<QByteArray>> readingCells(const StudyRecord &record);

// How a table's cells are written: exactly as the records give them, or spreadsheet-safe, every
// cell a spreadsheet would take for a formula with "'" before it (readAsFormula): a protocol
// named "=cmd|..." stays text.
enum class StudyCellGuard { Exact, SpreadsheetSafe };

// One table made record by record, so that a study of any size is written while it is read.
// It keeps what it leaves out, and why (StudyLeftOut): the achievement the records `counting`
// does not count, the readings table those that cannot be read, every table the paths skipped.
class StudyTable {
public:
    explicit StudyTable(StudyTableKind kind, const StudyCounting &counting = {},
                        StudyCellGuard guard = StudyCellGuard::Exact)
        : m_kind(kind), m_counting(counting), m_guard(guard)
    {
    }

    QByteArray header() const;
    // The rows `record` gives at once: its session's, or its readings'. The achievement counts it
    // (as `counting` says) and gives nothing until finish().
    QByteArray add(const StudyRecord &record);
    // A path the study's files skipped (StudyFiles::Walk::skipped).
    void skip(StudyFiles::Skip why, const QString &path) { m_leftOut.add(why, path); }
    // The rows given at the end: the achievement's; nothing for the other tables.
    QByteArray finish() const;
    const StudyLeftOut &leftOut() const { return m_leftOut; }

private:
    QByteArray written(const QList<QByteArray> &cells) const;

    StudyTableKind m_kind;
    StudyCounting m_counting;
    StudyCellGuard m_guard = StudyCellGuard::Exact;
    AchievementTable m_achievement;
    StudyLeftOut m_leftOut;
};
