#pragma once

#include <QString>
#include <QStringList>

// What a folder holds that Qt's listing leaves out without a word: names the file system keeps in
// bytes that are not UTF-8, which no QString can name again, so that Qt cannot open them.
namespace FolderNames {

// The names in `folder`, not hidden, that are not UTF-8 and could hold a record: folders, and
// names ending ".csv" in any letter case; each as Qt would show it (U+FFFD for the bytes it
// cannot read), in the order of their bytes. None where names are always Unicode (Windows).
QStringList notUtf8(const QString &folder);

} // namespace FolderNames
