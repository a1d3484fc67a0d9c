#pragma once

#include <QString>

// What stands at `path` when it is neither missing nor a regular file (a link is followed), for
// messages: "a folder", "a named pipe", "a socket", "a device" or "something other than a file";
// empty for a regular file or nothing at all. Reading a named pipe or a device would wait for a
// writer for ever or never end, so files are judged by this before they are opened.
QString otherThanAFile(const QString &path);
