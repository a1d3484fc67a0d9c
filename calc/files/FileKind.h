#pragma once

#include <QString>

// What stands at `path` when it is neither missing nor a regular file (a link is followed), for
// messages: "a folder", "a named pipe", "a socket", "a device" or "something other than a file";
// empty for a regular file or nothing at all. Reading a named pipe or a device would wait for a
// writer for ever or never end, so files are judged by this before they are opened.
QString otherThanAFile(const QString &path);

// Why no file (or folder) can be made at `path`, in the system's words ("No space left on
// device", "Permission denied"), for when the system did not say: what is in its place or its
// folder's, the room on the disk, and else the answer to an empty file made and removed at once.
QString whyNoFileCanBeMade(const QString &path);

// Why the folder `path` cannot be read, in the system's words ("Permission denied"); empty when
// it can.
QString folderUnreadable(const QString &path);
