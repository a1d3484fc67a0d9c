#include "calc/RecordFile.h"

#include "calc/FaultTexts.h"
#include "calc/FileKind.h"
#include "calc/RecordWriter.h"
#include "calc/SafeWrite.h"

#include <QFile>
#include <QFileInfo>

namespace {

RecordReading refused(const QString &path, const QString &problem)
{
    RecordReading reading;
    reading.error = recordFileMessage(path, problem);
    return reading;
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(path, file.errorString());
    // Read to the cap and a byte beyond it, however large the file has grown meanwhile.
    const QByteArray bytes = file.read(LargestFile + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(path, file.errorString());
    if (bytes.size() > LargestFile)
        return refused(path, tooLarge);
    return RecordReader::read(bytes, path);
}

QString RecordFile::save(const QString &path, const SessionRecord &record)
{
    const QString reason = SafeWrite::write(path, RecordWriter::text(record));
    return reason.isEmpty() ? QString() : recordSaveMessage(path, reason);
}

QString RecordFile::saveNew(const QString &path, const SessionRecord &record)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return recordExistsMessage(path);
    return save(path, record);
}
