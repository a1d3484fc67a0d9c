#include "calc/files/FolderNames.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool couldHoldRecords(DIR *folder, const dirent *entry, const QByteArray &name)
{
    if (name.toLower().endsWith(".csv"))
        return true;
    if (entry->d_type == DT_DIR)
        return true;
    struct stat status;
    // A name whose kind the listing does not give is looked at; one that cannot be is told of.
    return entry->d_type == DT_UNKNOWN &&
           (fstatat(dirfd(folder), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            S_ISDIR(status.st_mode));
}

} // namespace

QStringList FolderNames::notUtf8(const QString &folder)
{
    DIR *listing = opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return {};
    QList<QByteArray> found;
    while (const dirent *entry = readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name.startsWith('.') || QFile::encodeName(QFile::decodeName(name)) == name)
            continue;
        if (couldHoldRecords(listing, entry, name))
            found << name;
    }
    closedir(listing);
    std::sort(found.begin(), found.end());
    QStringList names;
    for (const QByteArray &name : found)
        names << QFile::decodeName(name);
    return names;
}
