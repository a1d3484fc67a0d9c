#include "calc/record/RecordPlace.h"

#include <QDir>
#include <QStandardPaths>

namespace RecordPlace {

QString baseName(const SessionRecord &record)
{
    return baseName(record.setup.sessionCode, record.setup.start);
}

QString baseName(const QString &code, const QDateTime &start)
{
    const QDate date = start.isValid() ? start.date() : QDate::currentDate();
    return code + QLatin1Char('-') + date.toString(Qt::ISODate);
}

QString folderOr(const QString &folder, const QString &documents)
{
    if (!folder.isEmpty())
        return folder;
    return QDir(documents).filePath(QLatin1String(FolderName));
}

QString pathIn(const QString &folder, const SessionRecord &record)
{
    return pathIn(folder, record.setup.sessionCode, record.setup.start);
}

QString pathIn(const QString &folder, const QString &code, const QDateTime &start)
{
    return QDir(folder).filePath(baseName(code, start) + QStringLiteral(".csv"));
}

QString documentsLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace RecordPlace
