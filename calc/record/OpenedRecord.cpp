#include "calc/record/OpenedRecord.h"

#include "calc/record/RecordFaultTexts.h"
#include "calc/record/RecordFile.h"

QString OpenedRecord::notice() const
{
    return recordStatusToldAtOnce(status) ? statusMessage : QString();
}

OpenedRecord openRecord(const QString &path, const SessionProtocol &inUse, const QLocale &locale)
{
    return openRecord(RecordFile::open(path), path, inUse, locale);
}

OpenedRecord openRecord(RecordReading reading, const QString &path, const SessionProtocol &inUse,
                        const QLocale &locale)
{
    OpenedRecord opened;
    opened.stamp = reading.stamp;
    if (!reading.record) {
        opened.statusMessage = reading.error;
        opened.messages << reading.error;
        return opened;
    }
    const SessionSetup &setup = reading.record->setup;
    DoseOptions options;
    options.plan = setup.plan;
    const DoseReport dose = evaluateDose(setup.input, options);
    opened.status = recordStatus(reading, dose);
    opened.statusMessage = recordStatusMessage(opened.status, path, reading, dose, locale);

    if (reading.readOnly()) {
        opened.messages << reading.warning;
        opened.readOnlyReason = recordCheckReason(reading.check);
    } else if (RecordFile::markedReadOnly(path)) {
        opened.messages << recordReadOnlyFileMessage(path);
        opened.readOnlyReason = recordReadOnlyFileReason();
    } else if (reading.stamp.names > 1) {
        opened.messages << recordHardLinkedMessage(path, reading.stamp.names);
        opened.readOnlyReason = recordHardLinkedReason(reading.stamp.names);
    } else {
        opened.lockToBeTried = true;
    }
    if (reading.check == RecordCheck::Unverified)
        opened.messages << recordUnverifiedMessage(path);
    if (!recordedDoseMatches(setup, dose)) {
        opened.messages << recordStatusMessage(RecordStatus::DoseDiffers, path, reading, dose,
                                               locale);
        if (opened.readOnlyReason.isEmpty())
            opened.readOnlyReason = recordDoseDiffersReason();
    }

    // Judged by the limits of the protocol it names only when that is the very file open now.
    opened.limitsApply =
        inUse.protocol && !setup.protocolSha256.isEmpty() && setup.protocolSha256 == inUse.sha256;
    if (opened.limitsApply)
        opened.protocol = inUse.protocol;

    opened.entries = int(reading.record->entries.size()) + 1;
    for (const SessionEntry &entry : reading.record->entries) {
        if (entry.event == EntryEvent::Correction)
            ++opened.corrections;
        else if (entry.event == EntryEvent::Void)
            ++opened.voids;
    }
    opened.record = std::move(reading.record);
    return opened;
}
