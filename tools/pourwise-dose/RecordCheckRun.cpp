#include "tools/pourwise-dose/RecordCheckRun.h"

#include "calc/ControlCharacters.h"
#include "calc/DoseEvaluation.h"
#include "calc/RecordFile.h"
#include "calc/RecordStatus.h"
#include "tools/pourwise-dose/ExitStatus.h"

#include <algorithm>

int RecordCheckRun::run(const QStringList &files, OutputBuffer &output, std::FILE *errors)
{
    bool allOk = true;
    for (const QString &file : files) {
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
            std::fprintf(errors, "%s\n", escapedControlCharacters(why).toUtf8().constData());
        allOk = allOk && status == RecordStatus::Ok;
    }
    return allOk ? ExitStatus::AllComputed : ExitStatus::SomeNotComputed;
}
