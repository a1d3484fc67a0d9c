#include "calc/study/StudyRecord.h"

#include "calc/dose/NumberText.h"
#include "calc/record/OpenedRecord.h"
#include "calc/record/RecordFile.h"
#include "calc/session/SessionClock.h"

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
    return recordStatusToldAtOnce(status) ? message : QString();
}

const ReadingLine *StudyRecord::observedPeak() const
{
    if (!report || !report->outcome.observedPeak)
        return nullptr;
    return &report->readings[*report->outcome.observedPeak];
}

bool StudyRecord::boosted() const
{
    return report && report->booster();
}

const ReadingLine *StudyRecord::peakBeforeBooster() const
{
    const BoosterLine *booster = report ? report->booster() : nullptr;
    if (!booster)
        return nullptr;
    // Compared in g/100 ml, as the rules compare readings for the observed peak.
    QList<float> levels;
    QList<const ReadingLine *> before;
    for (const ReadingLine &reading : report->readings) {
        if (reading.counts() && reading.atMinute < booster->atMinute) {
            levels << report->setup.input.level.toBal(reading.level);
            before << &reading;
        }
    }
    const std::optional<qsizetype> highest = highestReading(levels);
    return highest ? before[*highest] : nullptr;
}

const ReadingLine *StudyRecord::dosePeak() const
{
    return boosted() ? peakBeforeBooster() : observedPeak();
}

float StudyRecord::targetLevel() const
{
    return report ? report->setup.input.given(DoseValue::BAL) : 0;
}

double StudyRecord::targetBal() const
{
    if (!report)
        return 0;
    const DoseInput &input = report->setup.input;
    return input.typedTarget ? input.level.balToShow(*input.typedTarget)
                             : TypedDouble(input.state.BAL);
}

std::optional<double> StudyRecord::bal(const ReadingLine *reading) const
{
    if (!reading)
        return std::nullopt;
    return report->setup.input.level.balToShow(reading->level);
}

std::optional<float> StudyRecord::peakVsTarget(const ReadingLine *peak) const
{
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

StudyRecord studyRecord(const QString &file, RecordReading reading)
{
    // Its words are the same wherever the tables are made.
    const OpenedRecord opened = openRecord(std::move(reading), file, {}, QLocale::c());
    StudyRecord study;
    study.file = file;
    study.status = opened.status;
    study.message = opened.statusMessage;
    study.corrections = opened.corrections;
    study.voids = opened.voids;
    if (opened.record)
        study.report = evaluateSession(*opened.record, studyMoment(*opened.record));
    return study;
}

StudyRecord readStudyRecord(const QString &file)
{
    return studyRecord(file, RecordFile::open(file));
}
