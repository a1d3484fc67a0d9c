#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The session records a study names: files as given, and folders searched with their subfolders.
namespace StudyFiles {

// Calls `record` with each record `paths` name, in their order. A path that is not a folder is a
// record as given, whatever its name (if it cannot be read, its reading says why). A folder gives
// the files named *.csv (in any letter case) in it and in its subfolders, in name order at every
// level (case-sensitive, by Unicode code units, so every run and every computer gives the same
// order), a subfolder's records where its name falls; hidden files and folders and links to
// folders are left out. Only one folder's names are held at a time. `emptyFolder` is called for
// a folder given that holds no such file.
void forEach(const QStringList &paths, const std::function<void(const QString &file)> &record,
             const std::function<void(const QString &folder)> &emptyFolder);

} // namespace StudyFiles
