#include "calc/record/RecordFile.h"

#include "calc/files/DurableFile.h"
#include "calc/files/FileKind.h"
#include "calc/files/SafeWrite.h"
#include "calc/record/RecordColumns.h"
#include "calc/record/RecordCsv.h"
#include "calc/record/RecordFaultTexts.h"
#include "calc/record/RecordWriter.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A record is read in parts of this size, so that its bytes are never held whole.
constexpr qint64 PartBytes = qint64(1) << 20;
// More than any end row takes: its number and its digest among the empty cells.
constexpr qint64 EndRowBytes = 512;

RecordReading refused(const QString &path, const QString &problem)
{
    RecordReading reading;
    reading.error = recordFileMessage(path, problem);
    return reading;
}

// The line ends in the first `limit` bytes of `file`, read from its start; none when it cannot
// be read.
std::optional<qsizetype> linesOf(QFile &file, qint64 limit)
{
    qsizetype lines = 0;
    QByteArray part;
    for (qint64 read = 0; read <= limit;) {
        part = file.read(PartBytes);
        if (file.error() != QFileDevice::NoError)
            return std::nullopt;
        if (part.isEmpty())
            break;
        lines += part.count('\n');
        read += part.size();
    }
    return file.seek(0) ? std::optional(lines) : std::nullopt;
}

// The digest of the end row that closes `tail`, the last bytes of a file; empty when the file does
// not end in an end row.
QByteArray endDigestOf(const QByteArray &tail)
{
    const qsizetype lastEnd = tail.endsWith("\r\n") ? tail.size() - 2 : tail.size();
    const qsizetype start = tail.lastIndexOf('\n', lastEnd - 1) + 1;
    if (start <= 0)
        return {};
    CsvRowReader reader;
    if (reader.read(tail, start, 1, true) != CsvRowReader::Step::Row ||
        reader.cells().size() != qsizetype(RecordColumnCount) ||
        reader.cells()[qsizetype(RecordColumn::Event)] != "end")
        return {};
    return reader.cells()[qsizetype(RecordColumn::Sha256)].toByteArray();
}

QString readBackProblem(const QByteArray &readBack, const QString &path,
                        const SessionRecord &record)
{
    const RecordReading reading = RecordReader::read(readBack, path);
    if (!reading.record)
        return QStringLiteral("what was written does not read back as a session record (%1)")
            .arg(reading.error.mid(QStringLiteral("ERROR: ").size()).chopped(1));
    // Every record is written in the current version: a version-1 record reads back as its
    // entries, in version 2.
    if (reading.check != RecordCheck::Ok || !(reading.record->setup == record.setup) ||
        reading.record->entries != record.entries)
        return QStringLiteral("what was written does not read back as the same session record");
    return {};
}

} // namespace

RecordReading RecordFile::open(const QString &path)
{
    const QString other = otherThanAFile(path);
    if (!other.isEmpty())
        return refused(path, QStringLiteral("it is %1, not a regular file").arg(other));
    const QString tooLarge = QStringLiteral("it is larger than %1 MB, more than any session "
                                            "record")
                                 .arg(LargestFile >> 20);
    if (QFileInfo(path).size() > LargestFile)
        return refused(path, tooLarge);
    const RecordStamp before = stampOf(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(path, file.errorString());
    const std::optional<qsizetype> lines = linesOf(file, LargestFile);
    if (!lines)
        return refused(path, file.errorString());
    RecordReader reader(path);
    reader.reserve(*lines);
    // Read to the cap and a byte beyond it, however large the file has grown meanwhile.
    qint64 read = 0;
    for (;;) {
        const QByteArray part = file.read(std::min(PartBytes, LargestFile + 1 - read));
        if (file.error() != QFileDevice::NoError)
            return refused(path, file.errorString());
        if (part.isEmpty())
            break;
        read += part.size();
        if (read > LargestFile)
            return refused(path, tooLarge);
        reader.add(part);
    }
    RecordReading reading = reader.finish();
    reading.stamp.modified = before.modified;
    reading.stamp.names = before.names;
    return reading;
}

QString RecordFile::save(const QString &path, const SessionRecord &record, RecordStamp *stamp)
{
    const QByteArray bytes = RecordWriter::text(record);
    const QString reason = SafeWrite::write(path, bytes, [&](const QByteArray &readBack) {
        return readBackProblem(readBack, path, record);
    });
    if (!reason.isEmpty())
        return recordSaveMessage(path, reason);
    if (stamp) {
        const QFileInfo written(path);
        stamp->size = written.size();
        stamp->modified = written.lastModified();
        stamp->endDigest = endDigestOf(bytes.right(EndRowBytes));
        stamp->names = DurableFile::current().names(path);
    }
    return {};
}

QString RecordFile::saveNew(const QString &path, const SessionRecord &record, RecordStamp *stamp)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return recordExistsMessage(path);
    return save(path, record, stamp);
}

RecordStamp RecordFile::stampOf(const QString &path)
{
    RecordStamp stamp;
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    stamp.names = DurableFile::current().names(path);
    QFile file(path);
    if (info.isFile() && file.open(QIODevice::ReadOnly) &&
        file.seek(std::max<qint64>(0, stamp.size - EndRowBytes)))
        stamp.endDigest = endDigestOf(file.read(EndRowBytes));
    return stamp;
}

QString RecordFile::notAsStamped(const QString &path, const RecordStamp &stamp)
{
    const RecordStamp now = stampOf(path);
    if (now.size < 0)
        return recordGoneReason();
    if (markedReadOnly(path))
        return recordReadOnlyFileReason();
    if (now.names > 1)
        return recordHardLinkedReason(now.names);
    if (!(now == stamp))
        return recordChangedUnderReason();
    return {};
}

bool RecordFile::markedReadOnly(const QString &path)
{
    const QFileInfo info(path);
    // Marked: no one may write it, whatever this user (root, say) could do.
    constexpr QFile::Permissions Write = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.exists() && (!info.isWritable() || !(info.permissions() & Write));
}
