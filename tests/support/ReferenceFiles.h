#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

// The bytes of a reference record of tests/data (the test defines POURWISE_TEST_DATA), as named
// or changed: "how:file" is the reference file cut before its end row ("cut"), with a reading
// changed ("changed"), with the start of drinking corrected to 00:05 the next day instead of the
// release level's correction keeping it ("restarted", in v2-alcohol.csv; the end row no longer
// matches), with the participant 15 years older ("older", in a version-1 file a dose that differs
// from the recorded one), boosted from 0.07 to 0.08 ("boosted", in v2-alcohol.csv: the readings
// before the booster 0.07, 0.065 and 0.06, and 0.08 at 150 minutes after it; its end row made
// anew), with portion 3 not served ("unserved", in v1-alcohol.csv), a reading that is a
// terminal's escape sequence ("escape": no record), a blank line after the end row ("blank"), a
// protocol named as a spreadsheet's formula ("formula"; the end row no longer matches) or no
// record at all ("garbage"). Empty when the file cannot be read.
namespace ReferenceFiles {

// "v2-alcohol.csv" of "cut:v2-alcohol.csv"
inline QString fileOf(const QString &source)
{
    return source.section(QLatin1Char(':'), -1);
}

// The bytes of any file; empty when it cannot be read.
inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A version-2 record's bytes with its end row made anew for the rows before it.
inline QByteArray resealed(const QByteArray &bytes)
{
    const qsizetype end = bytes.lastIndexOf("\r\n,end,") + 2;
    const QByteArray rows = bytes.left(end);
    QByteArray endRow = bytes.mid(end).trimmed();
    endRow.truncate(endRow.lastIndexOf(',') + 1);
    return rows + endRow + QCryptographicHash::hash(rows, QCryptographicHash::Sha256).toHex() +
           "\r\n";
}

inline QByteArray bytes(const QString &source)
{
    const QString how =
        source.contains(QLatin1Char(':')) ? source.section(QLatin1Char(':'), 0, 0) : QString();
    QByteArray bytes = contentOf(QStringLiteral(POURWISE_TEST_DATA "/") + fileOf(source));
    if (bytes.isEmpty())
        return {};
    if (how == QLatin1String("cut"))
        bytes.truncate(bytes.lastIndexOf("\r\n,end,") + 2);
    else if (how == QLatin1String("changed"))
        bytes.replace(",0.057,", ",0.058,");
    else if (how == QLatin1String("restarted"))
        bytes.replace("2026-12-08T14:05,,,", "2026-12-09T00:05,,,");
    else if (how == QLatin1String("older"))
        bytes.replace(",160,,,25,", ",160,,,40,");
    else if (how == QLatin1String("escape"))
        bytes.replace(",0.057,", ",\x1b[2J\x1b]0;owned\x07,");
    else if (how == QLatin1String("blank"))
        bytes += "\r\n";
    else if (how == QLatin1String("formula"))
        bytes.replace(",Arm A,", ",=cmd|' /C calc'!A0,");
    else if (how == QLatin1String("boosted"))
        bytes =
            resealed(bytes.replace(",,,,70,,0.06,", ",,,,70,,0.07,")
                         .replace(",,,,85,,0.057,", ",,,,85,,0.065,")
                         .replace(",,,,100,,0.054,", ",,,,100,,0.06,")
                         .replace(",,,,130,,0.6,", ",,,,150,,0.6,")
                         .replace(",mistyped value,,130,,0.06,", ",mistyped value,,150,,0.08,"));
    else if (how == QLatin1String("unserved"))
        bytes.replace("portion,3,27,27,", "portion,3,27,,");
    else if (how == QLatin1String("garbage"))
        bytes = "not,a,record\n";
    return bytes;
}

// Makes a study's files in `folder`: "path=source" is the file `bytes(source)` gives, "path=" a
// file that is no record ("notes"); the folders on a path are made. False when one cannot be
// written.
inline bool makeFiles(const QDir &folder, const QStringList &layout)
{
    for (const QString &entry : layout) {
        const QString path = folder.filePath(entry.section(QLatin1Char('='), 0, 0));
        const QString source = entry.section(QLatin1Char('='), 1);
        const QByteArray content = source.isEmpty() ? QByteArray("notes\n") : bytes(source);
        QFile file(path);
        if (content.isEmpty() || !folder.mkpath(QFileInfo(path).path()) ||
            !file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
    }
    return true;
}

} // namespace ReferenceFiles
