#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The session records a study names: files as given, and folders searched with their subfolders.
namespace StudyFiles {

// Why a path given or found is not read as a record.
enum class Skip {
    // A folder whose names cannot be listed (not readable, or not to be entered).
    FolderNotListed,
    // Named *.csv, but a named pipe, a socket, a device or a link to nothing: no record to read,
    // and a pipe would wait for a writer.
    NotARegularFile,
    // A name the file system holds in another encoding than UTF-8: it cannot be opened by name.
    NameNotUtf8,
    // A path longer than the system opens (4,096 bytes on Linux).
    PathTooLong,
    // A file already tabled under another name (a link to it, a folder given twice): each real
    // file, by its canonical path, is a record once.
    SameFile,
};

// What a walk tells of the paths it is given.
struct Walk {
    std::function<void(const QString &file)> record;
    std::function<void(const QString &folder)> emptyFolder;
    std::function<void(Skip why, const QString &path)> skipped;
};

// Calls `walk.record` with each record `paths` name, in their order. A path that is not a folder
// is a record as given, whatever its name (if it cannot be read, its reading says why). A folder
// gives the files named *.csv (in any letter case) in it and in its subfolders, in name order at
// every level (case-sensitive, by Unicode code units, so every run and every computer gives the
// same order), a subfolder's records where its name falls; hidden files and folders and links to
// folders are left out. Only one folder's names are held at a time, and of the records found a
// digest of their canonical paths. `walk.emptyFolder` is called for a folder given that holds no
// such file; `walk.skipped` for every path that is not read, and why.
void forEach(const QStringList &paths, const Walk &walk);

// Whether a path skipped for `why` is one that could not be listed or read.
bool unread(Skip why);

} // namespace StudyFiles
