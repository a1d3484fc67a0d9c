#include "tools/pourwise-dose/StudyTableRun.h"

#include "calc/record/RecordFaultTexts.h"
#include "calc/dose/ControlCharacters.h"
#include "calc/study/StudyFiles.h"
#include "tools/pourwise-dose/ExitStatus.h"

namespace {

void put(OutputBuffer &output, const QByteArray &bytes)
{
    output.put(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

// A terminal takes a control character a file slipped into a message as its own command.
void report(std::FILE *errors, const QString &message)
{
    std::fprintf(errors, "%s\n", escapedControlCharacters(message).toUtf8().constData());
}

} // namespace

int StudyTableRun::run(StudyTableKind kind, const QStringList &paths, OutputBuffer &output,
                       std::FILE *errors, const StudyCounting &counting, StudyCellGuard guard)
{
    StudyTable table(kind, counting, guard);
    bool allRead = true;
    put(output, table.header());
    StudyFiles::forEach(paths,
                        {.record =
                             [&](const QString &file) {
                                 const StudyRecord record = readStudyRecord(file);
                                 put(output, table.add(record));
                                 if (const QString notice = record.notice(); !notice.isEmpty())
                                     report(errors, notice);
                                 allRead = allRead && record.status != RecordStatus::Unreadable;
                             },
                         .emptyFolder =
                             [&](const QString &folder) {
                                 report(errors, studyFolderEmptyMessage(folder));
                                 allRead = false;
                             },
                         .skipped =
                             [&](StudyFiles::Skip why, const QString &path) {
                                 table.skip(why, path);
                                 allRead = allRead && !StudyFiles::unread(why);
                             }});
    put(output, table.finish());
    for (const QString &warning : table.leftOut().warnings())
        report(errors, warning);
    return allRead ? ExitStatus::AllComputed : ExitStatus::SomeNotComputed;
}
