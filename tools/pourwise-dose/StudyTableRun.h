#pragma once

#include "calc/study/StudyTables.h"
#include "tools/pourwise-dose/output/OutputBuffer.h"

#include <QStringList>
#include <cstdio>

// pourwise-dose --sessions, --readings or --achievement FILE...: the records FILE names (a
// folder's records with its subfolders', see StudyFiles) as one table on the output, written as
// each record is read, its cells guarded as `guard` says (--spreadsheet-safe). Why a record
// cannot be read, or is cut or changed, goes to `errors`, control characters escaped, and at the
// end what the table left out, one line per reason (StudyLeftOut).
namespace StudyTableRun {

// ExitStatus::AllComputed when every record could be read, else ExitStatus::SomeNotComputed (a
// record that cannot be read, a path that cannot be listed or read, or a folder given that holds
// none).
int run(StudyTableKind kind, const QStringList &paths, OutputBuffer &output, std::FILE *errors,
        const StudyCounting &counting = {}, StudyCellGuard guard = StudyCellGuard::Exact);

} // namespace StudyTableRun
