#include "tools/pourwise-dose/RecordCheckRun.h"

#include "calc/record/RecordFaultTexts.h"
#include "calc/dose/ControlCharacters.h"
#include "calc/record/OpenedRecord.h"
#include "calc/study/StudyFiles.h"
#include "calc/study/StudyLeftOut.h"
#include "tools/pourwise-dose/ExitStatus.h"

namespace {

// A terminal takes a control character a file slipped into a message as its own command.
void report(std::FILE *errors, const QString &message)
{
    std::fprintf(errors, "%s\n", escapedControlCharacters(message).toUtf8().constData());
}

} // namespace

int RecordCheckRun::run(const QStringList &files, OutputBuffer &output, std::FILE *errors)
{
    bool allOk = true;
    StudyLeftOut leftOut;
    const auto check = [&](const QString &file) {
        const OpenedRecord opened = openRecord(file);
        const std::string_view word = recordStatusWord(opened.status);
        QStringList fields{file, QString::fromLatin1(word.data(), qsizetype(word.size())),
                           QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
        if (opened.record) {
            fields[2] = opened.record->setup.sessionCode;
            fields[3] = QString::number(opened.entries);
            fields[4] = QString::number(opened.corrections + opened.voids);
        }
        // A terminal takes a control character in a file's name or text as its own command.
        for (QString &field : fields)
            field = escapedControlCharacters(field);
        output.put((fields.join(QLatin1Char('\t')) + QLatin1Char('\n')).toStdString());
        if (const QString why = opened.notice(); !why.isEmpty())
            report(errors, why);
        allOk = allOk && opened.status == RecordStatus::Ok;
    };
    StudyFiles::forEach(files, {.record = check,
                                .emptyFolder =
                                    [&](const QString &folder) {
                                        report(errors, studyFolderEmptyMessage(folder));
                                        allOk = false;
                                    },
                                .skipped =
                                    [&](StudyFiles::Skip why, const QString &path) {
                                        leftOut.add(why, path);
                                        allOk = allOk && !StudyFiles::unread(why);
                                    }});
    for (const QString &warning : leftOut.warnings())
        report(errors, warning);
    return allOk ? ExitStatus::AllComputed : ExitStatus::SomeNotComputed;
}
