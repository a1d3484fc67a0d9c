#include "calc/StudyRecord.h"

#include "calc/RecordFile.h"
#include "calc/SessionClock.h"

#include <algorithm>

QString StudyRecord::problem() const
{
    for (const QLatin1String prefix : {QLatin1String("ERROR: "), QLatin1String("WARNING: ")}) {
        if (message.startsWith(prefix))
            return message.mid(prefix.size());
    }
    return message;
}

QString StudyRecord::notice() const
{
    const bool told = status == RecordStatus::Unreadable || status == RecordStatus::Cut ||
                      status == RecordStatus::Changed;
    return told ? message : QString();
}

const ReadingLine *StudyRecord::observedPeak() const
{
    if (!report || !report->outcome.observedPeak)
        return nullptr;
    return &report->readings[*report->outcome.observedPeak];
}

float StudyRecord::targetLevel() const
{
    return report ? report->setup.input.given(DoseValue::BAL) : 0;
}

float StudyRecord::targetBal() const
{
    return report ? report->dose.dose.state.BAL : 0;
}

std::optional<float> StudyRecord::observedPeakBal() const
{
    const ReadingLine *peak = observedPeak();
    if (!peak)
        return std::nullopt;
    return report->setup.input.level.toBal(peak->level);
}

std::optional<float> StudyRecord::peakVsTarget() const
{
    const ReadingLine *peak = observedPeak();
    if (!peak || report->placebo || !(targetLevel() > 0))
        return std::nullopt;
    return peak->level / targetLevel();
}

QDateTime studyMoment(const SessionRecord &record)
{
    int latest = 0;
    for (const SessionEntry &entry : record.entries) {
        const EntryValues &values = entry.values;
        for (const std::optional<int> &minute : {values.atMinute, values.servedAtMinute})
            latest = std::max(latest, minute.value_or(latest));
        if (entry.event == EntryEvent::Portion)
            latest = std::max(latest, entry.plannedAtMinute);
    }
    return SessionClock::momentAt(record.setup.start, latest);
}

StudyRecord studyRecord(const QString &file, const RecordReading &reading)
{
    StudyRecord study;
    study.file = file;
    DoseReport dose;
    if (reading.record) {
        study.report = evaluateSession(*reading.record, studyMoment(*reading.record));
        dose = study.report->dose;
        for (const EntryChange &change : study.report->history)
            ++(change.change.event == EntryEvent::Void ? study.voids : study.corrections);
    }
    study.status = recordStatus(reading, dose);
    study.message = recordStatusMessage(study.status, file, reading, dose, QLocale::c());
    return study;
}

StudyRecord readStudyRecord(const QString &file)
{
    return studyRecord(file, RecordFile::open(file));
}
