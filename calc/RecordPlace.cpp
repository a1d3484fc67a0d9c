#include "calc/RecordPlace.h"

#include <QDir>
#include <QStandardPaths>

namespace RecordPlace {

QString baseName(const SessionRecord &record)
{
    const QDate date =
        record.setup.start.isValid() ? record.setup.start.date() : QDate::currentDate();
    return record.setup.sessionCode + QLatin1Char('-') + date.toString(Qt::ISODate);
}

QString folderOr(const QString &folder, const QString &documents)
{
    if (!folder.isEmpty())
        return folder;
    return QDir(documents).filePath(QLatin1String(FolderName));
}

QString pathIn(const QString &folder, const SessionRecord &record)
{
    return QDir(folder).filePath(baseName(record) + QStringLiteral(".csv"));
}

QString documentsLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace RecordPlace
