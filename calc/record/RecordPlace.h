#pragma once

#include "calc/session/SessionRecord.h"

#include <QString>

// Where a new session's record is saved at its first entry: in the records folder (the one last
// used, else RecordPlace::FolderName in the user's documents), as "<code>-<yyyy-mm-dd>.csv", the
// date being that of the start of drinking as the record writes it.
namespace RecordPlace {

// The folder under the user's documents that holds records until the operator chooses another.
inline constexpr const char *FolderName = "Pourwise Records";

// "<session code>-<yyyy-mm-dd>" of the record's start (today's while it has none), the name its
// file and its printouts are given.
QString baseName(const SessionRecord &record);
QString baseName(const QString &code, const QDateTime &start);
// `folder`, or when none was used yet, FolderName in `documents`.
QString folderOr(const QString &folder, const QString &documents);
// The record's file in `folder`: baseName with ".csv".
QString pathIn(const QString &folder, const SessionRecord &record);
QString pathIn(const QString &folder, const QString &code, const QDateTime &start);
// The user's documents folder, as the system names it.
QString documentsLocation();

} // namespace RecordPlace
