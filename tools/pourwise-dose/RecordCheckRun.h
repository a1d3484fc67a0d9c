#pragma once

#include "tools/pourwise-dose/output/OutputBuffer.h"

#include <QString>
#include <QStringList>
#include <cstdio>

// pourwise-dose --check-record FILE...: one line for each session record FILE names (a folder's
// records with its subfolders', found as a study's tables find them, see StudyFiles), its fields
// separated by tabs: the file as given, its status, the session code, the number of entries (the
// plan counted) and the number of corrections and voids. The status is the first that holds of
// unreadable, changed, cut, dose differs (the dose computed again from the plan's values differs
// from the recorded volumes), unverified (version 1) and ok; an unreadable record has "-" in the
// other fields. Why a record is unreadable, cut or changed goes to `errors`, and at the end the
// paths not read or already checked, one line per reason (StudyLeftOut).
namespace RecordCheckRun {

// ExitStatus::AllComputed when every record is ok, else ExitStatus::SomeNotComputed (a record
// not ok, a path that cannot be listed or read, or a folder that holds none).
int run(const QStringList &files, OutputBuffer &output, std::FILE *errors);

} // namespace RecordCheckRun
