#include "tools/pourwise-dose/RecordCheckRun.h"

#include "calc/record/RecordFaultTexts.h"
#include "calc/dose/ControlCharacters.h"
#include "calc/dose/DoseEvaluation.h"
#include "calc/record/RecordFile.h"
#include "calc/record/RecordStatus.h"
#include "calc/study/StudyFiles.h"
#include "calc/study/StudyLeftOut.h"
#include "tools/pourwise-dose/ExitStatus.h"

#include <algorithm>

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
        const RecordReading reading = RecordFile::open(file);
        const DoseReport dose =
            reading.record ? evaluateDose(reading.record->setup.input) : DoseReport{};
        const RecordStatus status = recordStatus(reading, dose);
        const std::string_view word = recordStatusWord(status);
        QStringList fields{file, QString::fromLatin1(word.data(), qsizetype(word.size())),
                           QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")};
        if (const std::optional<SessionRecord> &record = reading.record) {
            const auto corrections = std::count_if(
                record->entries.cbegin(), record->entries.cend(), [](const SessionEntry &entry) {
                    return entry.event == EntryEvent::Correction || entry.event == EntryEvent::Void;
                });
            fields[2] = record->setup.sessionCode;
            fields[3] = QString::number(record->entries.size() + 1);
            fields[4] = QString::number(corrections);
        }
        // A terminal takes a control character in a file's name or text as its own command.
        for (QString &field : fields)
            field = escapedControlCharacters(field);
        output.put((fields.join(QLatin1Char('\t')) + QLatin1Char('\n')).toStdString());
        const QString why = reading.record ? reading.warning : reading.error;
        if (!why.isEmpty())
            report(errors, why);
        allOk = allOk && status == RecordStatus::Ok;
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
