#include "calc/record/RecordStatus.h"

#include "calc/dose/DoseFaultTexts.h"
#include "calc/record/RecordFaultTexts.h"
#include "calc/session/SessionText.h"

std::string_view recordStatusWord(RecordStatus status)
{
    switch (status) {
    case RecordStatus::Unreadable:
        return "unreadable";
    case RecordStatus::Changed:
        return "changed";
    case RecordStatus::Cut:
        return "cut";
    case RecordStatus::DoseDiffers:
        return "dose differs";
    case RecordStatus::Unverified:
        return "unverified";
    case RecordStatus::Ok:
        break;
    }
    return "ok";
}

bool recordStatusToldAtOnce(RecordStatus status)
{
    return status == RecordStatus::Unreadable || status == RecordStatus::Cut ||
           status == RecordStatus::Changed;
}

RecordStatus recordStatus(const RecordReading &reading, const DoseReport &dose)
{
    if (!reading.record)
        return RecordStatus::Unreadable;
    if (reading.check == RecordCheck::Changed)
        return RecordStatus::Changed;
    if (reading.check == RecordCheck::Cut)
        return RecordStatus::Cut;
    if (!recordedDoseMatches(reading.record->setup, dose))
        return RecordStatus::DoseDiffers;
    if (reading.check == RecordCheck::Unverified)
        return RecordStatus::Unverified;
    return RecordStatus::Ok;
}

QString recordStatusMessage(RecordStatus status, const QString &file, const RecordReading &reading,
                            const DoseReport &dose, const QLocale &locale)
{
    switch (status) {
    case RecordStatus::Unreadable:
        return reading.error;
    case RecordStatus::Changed:
    case RecordStatus::Cut:
        return reading.warning;
    case RecordStatus::DoseDiffers: {
        const SessionSetup &setup = reading.record->setup;
        const DosingState &s = dose.dose.state;
        return recordDoseDiffersMessage(
            file,
            dose.ok() ? volumesText(s.AlcDose, s.MixDose, s.TotDose, locale)
                      : QString::fromStdString(doseFaultText(dose.outcome).brief),
            volumesText(setup.alcoholMl, setup.mixerMl, setup.totalMl, locale));
    }
    case RecordStatus::Unverified:
        return recordUnverifiedMessage(file);
    case RecordStatus::Ok:
        break;
    }
    return {};
}
