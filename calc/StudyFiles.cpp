#include "calc/StudyFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The records in `folder` and below it, in name order; how many there were.
qint64 forEachIn(const QDir &folder, const std::function<void(const QString &)> &record)
{
    qint64 found = 0;
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir()) {
            if (!entry.isSymLink())
                found += forEachIn(QDir(entry.filePath()), record);
        } else if (entry.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0) {
            record(entry.filePath());
            ++found;
        }
    }
    return found;
}

} // namespace

void StudyFiles::forEach(const QStringList &paths,
                         const std::function<void(const QString &file)> &record,
                         const std::function<void(const QString &folder)> &emptyFolder)
{
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir())
            record(path);
        else if (forEachIn(QDir(path), record) == 0)
            emptyFolder(path);
    }
}
