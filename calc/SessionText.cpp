#include "calc/SessionText.h"

#include "calc/ClockText.h"
#include "calc/NumberText.h"
#include "calc/Plausibility.h"

#include <QDir>
#include <cmath>

namespace {

// Everything a session's words need: where its clock starts, its unit and the regional format.
struct Words {
    const SessionReport &report;
    const QLocale &locale;

    const LevelScale &scale() const { return report.setup.input.level; }
    QString clock(qint64 minute) const { return clockText(report.start.time(), minute, locale); }
    // A level as measured or typed, with its unit.
    QString level(float value) const
    {
        return SingleToText(value, locale) + QLatin1Char(' ') + scale().unitText();
    }
    // A level of the model, given in g/100 ml, with its unit.
    QString modelLevel(double bal) const
    {
        return expectedLevelText(scale().fromBal(bal), scale(), locale) + QLatin1Char(' ') +
               scale().unitText();
    }
    QString releaseLevel() const { return level(scale().shownLevel(report.releaseBal)); }
    QString moment(const QDateTime &at) const
    {
        const QDateTime local = at.toLocalTime();
        return locale.toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
               locale.toString(local.time(), hoursAndMinutesFormat(locale));
    }
};

QString changedNote(bool corrected, bool voided)
{
    QStringList notes;
    if (corrected)
        notes << QStringLiteral("corrected");
    if (voided)
        notes << QStringLiteral("voided");
    return notes.join(QStringLiteral("; "));
}

QString noteText(const ReadingLine &reading)
{
    QStringList notes;
    switch (reading.note) {
    case ReadingNote::Baseline:
        notes << QStringLiteral("baseline");
        break;
    case ReadingNote::MouthAlcohol:
        notes << QStringLiteral("may hold mouth alcohol");
        break;
    case ReadingNote::Booster:
        notes << QStringLiteral("after the booster");
        break;
    case ReadingNote::NotALevel:
        notes << QStringLiteral("not a level");
        break;
    case ReadingNote::Counts:
        break;
    }
    const QString changed = changedNote(reading.corrected, reading.voided);
    if (!changed.isEmpty())
        notes << changed;
    return notes.join(QStringLiteral("; "));
}

QStringList readingCells(const ReadingLine &reading, const Words &words)
{
    const auto orNoCurve = [&words](const std::optional<double> &value, auto text) {
        return value ? text(*value, words.scale(), words.locale) : QStringLiteral("no curve");
    };
    return {words.locale.toString(reading.entry),
            words.clock(reading.atMinute),
            SingleToText(reading.level, words.locale),
            orNoCurve(reading.expectedLevel, expectedLevelText),
            orNoCurve(reading.difference, differenceText),
            noteText(reading)};
}

QString servedText(const PortionLine &portion, const Words &words)
{
    const std::optional<ServedMark> served = portion.served();
    if (!served)
        return QStringLiteral("not yet");
    return words.clock(served->atMinute) +
           (served->corrected ? QStringLiteral(" (corrected)") : QString());
}

// The marks of a portion that were voided, each with the time it gave.
QString servedNote(const PortionLine &portion, const Words &words)
{
    QStringList notes;
    for (const ServedMark &mark : portion.marks) {
        if (mark.voided)
            notes << QStringLiteral("served at %1, voided").arg(words.clock(mark.atMinute));
    }
    return notes.join(QStringLiteral("; "));
}

QStringList boosterCells(const BoosterLine &booster, const Words &words)
{
    const auto ml = [&words](int value) { return words.locale.toString(value); };
    return {words.locale.toString(booster.entry),
            words.clock(booster.atMinute),
            SingleToText(booster.drinkingMinutes, words.locale),
            ml(booster.alcoholMl),
            ml(booster.mixerMl),
            ml(booster.totalMl),
            changedNote(booster.corrected, booster.voided)};
}

QString descendingText(const SessionReport &report, const Words &words)
{
    const ReadingsOutcome &outcome = report.outcome;
    if (report.placebo)
        return {};
    if (outcome.limbShown)
        return QStringLiteral("Descending limb shown at %1")
            .arg(words.clock(report.readings[*outcome.limbShown].atMinute));
    if (outcome.limbWithdrawnBy)
        return QStringLiteral("Descending limb withdrawn: the reading at %1 rose.")
            .arg(words.clock(report.readings[*outcome.limbWithdrawnBy].atMinute));
    return QStringLiteral("Descending limb not yet shown");
}

QStringList boosterCourseText(const BoosterCourse &course, const Words &words)
{
    QString release = QStringLiteral("Expected below %1 at %2")
                          .arg(words.releaseLevel(), words.clock(course.releaseAtMinute()));
    if (course.neverAboveRelease())
        release += QStringLiteral(" (never above it)");
    return {QStringLiteral("Expected peak after the booster: %1 at %2")
                .arg(words.modelLevel(course.peakBal()), words.clock(course.peakAtMinute())),
            release, QStringLiteral("Expected zero at %1").arg(words.clock(course.zeroAtMinute()))};
}

QString offerText(const BoosterOffer &offer, const Words &words)
{
    if (!offer.ok())
        return offer.refusal.message;
    const DosingState &s = offer.report.dose.state;
    return QStringLiteral("Booster estimate: %1, to raise the level by %2 over %3 minutes.")
        .arg(volumesText(s.AlcDose, s.MixDose, s.TotDose, words.locale),
             words.level(words.scale().shownLevel(offer.targetBal)),
             SingleToText(offer.drinkingMinutes, words.locale));
}

QStringList offerWarnings(const BoosterOffer &offer, const Words &words)
{
    QStringList warnings;
    if (!offer.ok())
        return warnings;
    for (const PlausibilityNotice &notice : offer.report.notices)
        warnings << QStringLiteral("WARNING: ") + PlausibilityNoticeText(notice, words.locale);
    const QStringList judged = offer.judgement.all();
    if (!judged.isEmpty())
        warnings << QStringLiteral("WARNING: With this booster: %1.")
                        .arg(judged.join(QStringLiteral("; ")));
    return warnings;
}

// The values an entry records, in words.
QString valuesText(const SessionEntry &entry, const EntryValues &values, const Words &words)
{
    switch (entry.event) {
    case EntryEvent::Plan:
        return QStringLiteral("the start of drinking %1 and the release level %2")
            .arg(words.moment(values.start.value_or(QDateTime())),
                 words.level(words.scale().shownLevel(values.releaseBal.value_or(0))));
    case EntryEvent::Reading:
        return QStringLiteral("the reading %1 at %2")
            .arg(words.level(values.level.value_or(0)), words.clock(values.atMinute.value_or(0)));
    case EntryEvent::Served:
        return QStringLiteral("portion %1 served at %2")
            .arg(words.locale.toString(entry.number),
                 words.clock(values.servedAtMinute.value_or(0)));
    case EntryEvent::Booster:
        return QStringLiteral("the booster served at %1 over %2 minutes")
            .arg(words.clock(values.servedAtMinute.value_or(0)),
                 SingleToText(values.drinkingMinutes.value_or(0), words.locale));
    case EntryEvent::Portion:
    case EntryEvent::Correction:
    case EntryEvent::Void:
        break;
    }
    return QStringLiteral("an entry that cannot change");
}

} // namespace

QStringList SessionText::readingColumns(const LevelScale &level)
{
    const QString unit = level.unitText();
    return {QStringLiteral("Entry"),
            QStringLiteral("Time"),
            QStringLiteral("Reading (%1)").arg(unit),
            QStringLiteral("Expected (%1)").arg(unit),
            QStringLiteral("Difference (%1)").arg(unit),
            QStringLiteral("Note")};
}

QStringList SessionText::boosterColumns()
{
    return {QStringLiteral("Entry"),        QStringLiteral("Served at"),
            QStringLiteral("Period (min)"), QStringLiteral("Alcohol (ml)"),
            QStringLiteral("Mixer (ml)"),   QStringLiteral("Total (ml)"),
            QStringLiteral("Note")};
}

QString SessionText::boosterCaveat()
{
    return QStringLiteral("A booster estimate follows the dosing model: the same absorption and "
                          "elimination as the dose, from the latest reading. Measure again "
                          "before serving anything more.");
}

QString SessionText::placeboNote()
{
    return QStringLiteral("Placebo: no curve is expected.");
}

QString volumesText(float alcoholMl, float mixerMl, float totalMl, const QLocale &locale)
{
    return QStringLiteral("alcohol %1 ml, mixer %2 ml, total %3 ml")
        .arg(SingleToText(alcoholMl, locale), SingleToText(mixerMl, locale),
             SingleToText(totalMl, locale));
}

QString expectedLevelText(double level, const LevelScale &scale, const QLocale &locale)
{
    return scale.isDefault() ? locale.toString(level, 'f', 4) : locale.toString(level, 'g', 4);
}

QString differenceText(double difference, const LevelScale &scale, const QLocale &locale)
{
    const QString size = expectedLevelText(std::abs(difference), scale, locale);
    if (size == expectedLevelText(0, scale, locale))
        return size;
    return (difference > 0 ? locale.positiveSign() : locale.negativeSign()) + size;
}

SessionText describeSession(const SessionReport &report, const QLocale &locale)
{
    const Words words{report, locale};
    SessionText text;
    text.beverage = report.placebo
                        ? QStringLiteral("Placebo: %1 ml of the spirit floated on each portion, "
                                         "the rest mixer")
                              .arg(locale.toString(report.setup.floatMl))
                        : QStringLiteral("Alcohol");
    for (const PortionLine &portion : report.portions) {
        text.served << servedText(portion, words);
        text.servedNotes << servedNote(portion, words);
    }
    for (const ReadingLine &reading : report.readings)
        text.readings << readingCells(reading, words);

    const ReadingsOutcome &outcome = report.outcome;
    text.observedPeak = outcome.observedPeak
                            ? QStringLiteral("Observed peak: %1 at %2")
                                  .arg(words.level(report.readings[*outcome.observedPeak].level),
                                       words.clock(report.readings[*outcome.observedPeak].atMinute))
                            : QStringLiteral("Observed peak: none yet");
    text.descending = descendingText(report, words);
    if (outcome.release) {
        const ReadingLine &reading = report.readings[*outcome.release];
        text.release = QStringLiteral("Release level reached at %1 (%2)")
                           .arg(words.clock(reading.atMinute), SingleToText(reading.level, locale));
    } else {
        text.release = QStringLiteral("Not yet at the release level");
    }

    for (const BoosterLine &booster : report.boosters)
        text.boosters << boosterCells(booster, words);
    if (const BoosterLine *booster = report.booster()) {
        text.booster = QStringLiteral("Booster served at %1: %2 (target %3 over %4 minutes)")
                           .arg(words.clock(booster->atMinute),
                                volumesText(float(booster->alcoholMl), float(booster->mixerMl),
                                            float(booster->totalMl), locale),
                                words.level(words.scale().shownLevel(booster->targetBal)),
                                SingleToText(booster->drinkingMinutes, locale));
        if (booster->corrected)
            text.booster += QStringLiteral(" (corrected)");
        if (booster->course)
            text.boosterCourse = boosterCourseText(*booster->course, words);
    }
    if (report.offer) {
        text.offer = offerText(*report.offer, words);
        text.offerWarnings = offerWarnings(*report.offer, words);
    }
    for (const EntryChange &change : report.history)
        text.history << changeText(change, report, locale);
    return text;
}

QString protocolLine(const SessionSetup &setup, bool limitsChecked)
{
    if (setup.protocolName.isEmpty())
        return limitsChecked ? QStringLiteral("Protocol: none; the limits set in this run are "
                                              "checked")
                             : QStringLiteral("Protocol: none");
    if (limitsChecked)
        return QStringLiteral("Protocol: ") + setup.protocolName;
    return QStringLiteral("Recorded under the protocol \"%1\"; its limits are not checked now. "
                          "Open that protocol's file to check them.")
        .arg(setup.protocolName);
}

QString recordVersionQuestion(const QString &file)
{
    return QStringLiteral("%1 was written by an earlier version of Pourwise. To add this entry "
                          "it is saved in the current version of the record, which that version "
                          "cannot open. Go on?")
        .arg(QDir::toNativeSeparators(file));
}

QString entryValuesText(const EntryInForce &entry, const SessionReport &report,
                        const QLocale &locale)
{
    return valuesText(entry.entry, entry.values, Words{report, locale});
}

QString changeText(const EntryChange &change, const SessionReport &report, const QLocale &locale)
{
    const Words words{report, locale};
    const SessionEntry &made = change.change;
    QString text = QStringLiteral("Entry %1, %2 (%3): entry %4")
                       .arg(locale.toString(made.entry), words.moment(made.enteredAt),
                            made.operatorInitials, locale.toString(made.corrects));
    if (change.target.entry.entry != 0)
        text += QStringLiteral(", %1,").arg(
            valuesText(change.target.entry, change.target.values, words));
    if (made.event == EntryEvent::Void)
        text += QStringLiteral(" voided");
    else
        text += QStringLiteral(" corrected to %1")
                    .arg(valuesText(change.target.entry,
                                    change.applied ? change.after : made.values, words));
    text += QStringLiteral(". Reason: ") + made.reason;
    if (!made.reason.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    if (!change.applied)
        text += QStringLiteral(" Not applied: that entry cannot be changed so.");
    return text;
}

namespace {

// "0.6 g/100 ml" and "7 times the expected peak (0.0807 g/100 ml)".
struct HighReading {
    QString reading;
    QString comparison;
};

HighReading highReading(float level, double expectedBal, bool placebo, const LevelScale &scale,
                        const QLocale &locale)
{
    const double times = std::round(double(scale.toBal(level)) / expectedBal);
    return {SingleToText(level, locale) + QLatin1Char(' ') + scale.unitText(),
            QStringLiteral("%1 times the %2 (%3 %4)")
                .arg(locale.toString(times, 'f', 0),
                     placebo ? QStringLiteral("target") : QStringLiteral("expected peak"),
                     expectedLevelText(scale.fromBal(expectedBal), scale, locale),
                     scale.unitText())};
}

} // namespace

QString highReadingQuestion(float level, double expectedBal, bool placebo, const LevelScale &scale,
                            const QLocale &locale)
{
    const HighReading high = highReading(level, expectedBal, placebo, scale, locale);
    return QStringLiteral("Record a reading of %1? It is %2.").arg(high.reading, high.comparison);
}

QString highReadingWarning(const QString &time, float level, double expectedBal, bool placebo,
                           const LevelScale &scale, const QLocale &locale)
{
    const HighReading high = highReading(level, expectedBal, placebo, scale, locale);
    return QStringLiteral("WARNING: The reading of %1 at %2 is %3: it may be a slip.")
        .arg(high.reading, time, high.comparison);
}

QString sameMinuteQuestion(const QString &clock, float otherLevel, const LevelScale &scale,
                           const QLocale &locale)
{
    return QStringLiteral("Record another reading at %1? A reading of %2 %3 is already recorded "
                          "at that minute.")
        .arg(clock, SingleToText(otherLevel, locale), scale.unitText());
}

QString boosterQuestion(const QStringList &warnings)
{
    return QStringLiteral("WARNING: With this booster: %1. Record it as served?")
        .arg(warnings.join(QStringLiteral("; ")));
}
