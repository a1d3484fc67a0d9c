#include "calc/files/SafeWrite.h"

#include "calc/files/DiskRoom.h"
#include "calc/files/DurableFile.h"
#include "calc/files/FileKind.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int TemporaryLetters = 6;
// A save takes well under a second; a temporary file this old is left over from one cut short.
constexpr int LeftOverAfterSeconds = 60;

// A name for the temporary file of a save of `target`; isTemporaryName knows it again.
QString temporaryName(const QString &target)
{
    static const QLatin1String letters("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    const QString fileName = QFileInfo(target).fileName();
    for (;;) {
        QString suffix;
        for (int i = 0; i < TemporaryLetters; ++i)
            suffix += letters[QRandomGenerator::global()->bounded(int(letters.size()))];
        const QString name = fileName + QLatin1Char('.') + suffix;
        if (SafeWrite::isTemporaryName(name, fileName))
            return QFileInfo(target).absolutePath() + QLatin1Char('/') + name;
    }
}

} // namespace

bool SafeWrite::isTemporaryName(const QString &name, const QString &fileName)
{
    static const QRegularExpression random(QStringLiteral("^[A-Za-z]{6}$"));
    static const QRegularExpression chosen(QStringLiteral("^([a-z]+|[A-Z]+|[A-Z][a-z]+)$"));
    if (!name.startsWith(fileName + QLatin1Char('.')))
        return false;
    const QString suffix = name.sliced(fileName.size() + 1);
    return random.match(suffix).hasMatch() && !chosen.match(suffix).hasMatch();
}

void SafeWrite::removeTemporaries(const QString &path, int minimumAgeSeconds)
{
    const QFileInfo file(path);
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-minimumAgeSeconds);
    for (const QFileInfo &entry :
         file.dir().entryInfoList({file.fileName() + QStringLiteral(".??????")},
                                  QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (isTemporaryName(entry.fileName(), file.fileName()) &&
            (minimumAgeSeconds <= 0 || entry.lastModified().toUTC() <= before))
            QFile::remove(entry.absoluteFilePath());
    }
}

QString SafeWrite::write(const QString &path, const QByteArray &bytes, const ReadBackCheck &check)
{
    // A link stays a link: its file is replaced.
    const QFileInfo link(path);
    const QString target = !link.isSymLink() ? link.absoluteFilePath()
                           : link.exists()   ? link.canonicalFilePath()
                                             : link.symLinkTarget();
    const QString other = otherThanAFile(target);
    if (!other.isEmpty())
        return QStringLiteral("it is %1, not a regular file").arg(other);
    if (const std::optional<qint64> free = tooLittleRoom(target, {bytes.size()}))
        return QStringLiteral("%1 (only %2 bytes are free)")
            .arg(DurableFile::reasonOf(ENOSPC))
            .arg(*free);

    DurableFile &files = DurableFile::current();
    QString temporary;
    QString reason;
    bool nameTaken = true;
    for (int attempt = 0; nameTaken && attempt < 100; ++attempt) {
        temporary = temporaryName(target);
        reason = files.create(temporary, bytes, target, nameTaken);
    }
    if (!reason.isEmpty())
        return reason;
    // What the disk holds now, not what the system said it took.
    const std::optional<QByteArray> readBack = files.read(temporary);
    if (!readBack || *readBack != bytes)
        reason = QStringLiteral("what was written did not read back the same");
    else if (check)
        reason = check(*readBack);
    if (reason.isEmpty())
        reason = files.replace(temporary, target);
    if (!reason.isEmpty()) {
        files.remove(temporary);
        return reason;
    }
    removeTemporaries(target, LeftOverAfterSeconds);
    return {};
}
