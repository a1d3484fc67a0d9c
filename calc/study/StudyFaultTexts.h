#pragma once

#include <QString>
#include <QStringList>

// What a study's tables and picture leave out or could not save, each worded in one place.

// file is as it was before.
QString studyFileSaveMessage(const QString &file, const QString &reason);
// A study's picture is saved as PNG or PDF, by the name's ending.
QString studyPictureNameMessage(const QString &file);
// The study's picture that could not be drawn into `file`, which is left as it was.
QString studyPictureNotDrawnMessage(const QString &file);
// What a study's table leaves out, one reason each, the paths in the order met: records it does
// not count ("WARNING: 2 records not counted: unverified (version 1): a.csv, b.csv"), paths it
// cannot read, and the names of files it has tabled under another name.
QString studyRecordsNotCountedMessage(const QString &why, const QStringList &files);
QString studyPathsNotReadMessage(const QString &why, const QStringList &paths);
QString studySameFilesMessage(const QStringList &paths);
// What the printer did not take.
enum class Printout { SessionPlan, ObserverSheet, StudyPicture };
QString notPrintedMessage(Printout printout);
