#include "tools/pourwise-dose/RecordCheckRun.h"

#include "calc/DoseEvaluation.h"
#include "calc/RecordFile.h"
#include "tools/pourwise-dose/ExitStatus.h"

#include <algorithm>

namespace {

// A record's status as its line words it.
QString statusOf(const RecordReading &reading)
{
    if (!reading.record)
        return QStringLiteral("unreadable");
    if (reading.check == RecordCheck::Changed)
        return QStringLiteral("changed");
    if (reading.check == RecordCheck::Cut)
        return QStringLiteral("cut");
    const SessionSetup &setup = reading.record->setup;
    if (!recordedDoseMatches(setup, evaluateDose(setup.input)))
        return QStringLiteral("dose differs");
    if (reading.check == RecordCheck::Unverified)
        return QStringLiteral("unverified");
    return QStringLiteral("ok");
}

} // namespace

int RecordCheckRun::run(const QStringList &files, OutputBuffer &output, std::FILE *errors)
{
    bool allOk = true;
    for (const QString &file : files) {
        const RecordReading reading = RecordFile::open(file);
        const QString status = statusOf(reading);
        QStringList fields{file, status, QStringLiteral("-"), QStringLiteral("-"),
                           QStringLiteral("-")};
        if (const std::optional<SessionRecord> &record = reading.record) {
            const auto corrections = std::count_if(
                record->entries.cbegin(), record->entries.cend(), [](const SessionEntry &entry) {
                    return entry.event == EntryEvent::Correction || entry.event == EntryEvent::Void;
                });
            fields[2] = record->setup.sessionCode;
            fields[3] = QString::number(record->entries.size() + 1);
            fields[4] = QString::number(corrections);
        }
        output.put((fields.join(QLatin1Char('\t')) + QLatin1Char('\n')).toStdString());
        const QString why = reading.record ? reading.warning : reading.error;
        if (!why.isEmpty())
            std::fprintf(errors, "%s\n", why.toUtf8().constData());
        allOk = allOk && status == QLatin1String("ok");
    }
    return allOk ? ExitStatus::AllComputed : ExitStatus::SomeNotComputed;
}
