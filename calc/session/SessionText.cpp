#include "calc/session/SessionText.h"

#include "calc/dose/NumberText.h"
#include "calc/dose/Plausibility.h"
#include "calc/session/ClockText.h"
#include "calc/session/SessionEntries.h"

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

QString noteText(const ReadingLine &reading, const SessionReport &report)
{
    QStringList notes;
    if (reading.bandPosition == BandPosition::Below && report.atExpectedPeak(reading))
        notes << belowBandAtPeakText();
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
    if (reading.implausibleFallFrom)
        notes << SessionText::implausibleFallNote();
    const QString changed = changedNote(reading.corrected, reading.voided);
    if (!changed.isEmpty())
        notes << changed;
    return notes.join(QStringLiteral("; "));
}

QString bandPositionText(const ReadingLine &reading)
{
    if (!reading.band)
        return QStringLiteral("no curve");
    if (!reading.bandPosition)
        return QString();
    switch (*reading.bandPosition) {
    case BandPosition::Below:
        return QStringLiteral("below");
    case BandPosition::Within:
        return QStringLiteral("within");
    case BandPosition::Above:
        break;
    }
    return QStringLiteral("above");
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
            bandPositionText(reading),
            noteText(reading, words.report)};
}

// "80 % of participants like this one are expected below 0.02 g/100 ml between 17:31 and 21:35;
// only a reading releases a participant."
QString releaseBandText(const ReleaseBand &band, const Words &words)
{
    // The unit closes the sentence, so that its words read the same in every unit of levels.
    return QStringLiteral("%1 % of participants like this one are expected below %2 between %3 and "
                          "%4; only a reading releases a participant (levels in %5).")
        .arg(words.locale.toString(BandSpreads::Percent),
             SingleToText(words.scale().shownLevel(words.report.releaseBal), words.locale),
             words.clock(band.fromMinutes), words.clock(band.toMinutes), words.scale().unitText());
}

// "4:35–5:12 PM": two clock times, the second's AM or PM left off the first where both share it.
QString clockRangeText(qint64 from, qint64 to, const Words &words)
{
    QString first = words.clock(from);
    const QString second = words.clock(to);
    for (const QString &half : {words.locale.amText(), words.locale.pmText()}) {
        if (!half.isEmpty() && first.endsWith(half) && second.endsWith(half) &&
            first.size() > half.size() && first[first.size() - half.size() - 1].isSpace()) {
            first.chop(half.size());
            first = first.trimmed();
        }
    }
    return first + QStringLiteral("\u2013") + second;
}

// "Personal forecast from 5 readings: falling 0.0172 g/100 ml per hour (80 %: 0.0151–0.0193);
// below 0.02 at 4:52 PM (80 %: 4:35–5:12 PM)."
QString personalText(const PersonalForecast &forecast, const Words &words)
{
    const QLocale &locale = words.locale;
    const auto rate = [&locale](double value) { return locale.toString(value, 'f', 4); };
    const QString percent = locale.toString(BandSpreads::Percent);
    const QString release = SingleToText(words.scale().shownLevel(words.report.releaseBal), locale);
    QString text =
        QStringLiteral("Personal forecast from %1 readings: falling %2 g/100 ml per hour "
                       "(%3 %: %4%5%6); ")
            .arg(locale.toString(forecast.readings), rate(forecast.rate), percent,
                 rate(forecast.rateInterval.low), QStringLiteral("\u2013"),
                 rate(forecast.rateInterval.high));
    if (forecast.releaseAtMinute && forecast.releaseFromMinute && forecast.releaseToMinute)
        return text + QStringLiteral("below %1 at %2 (%3 %: %4).")
                          .arg(release, words.clock(*forecast.releaseAtMinute), percent,
                               clockRangeText(*forecast.releaseFromMinute,
                                              *forecast.releaseToMinute, words));
    return text + QStringLiteral("too slow a fall yet to say when it is below %1.").arg(release);
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

// "once", "twice", "3 times"
QString timesText(qsizetype count, const QLocale &locale)
{
    if (count == 1)
        return QStringLiteral("once");
    if (count == 2)
        return QStringLiteral("twice");
    return QStringLiteral("%1 times").arg(locale.toString(count));
}

// The second to the last of ReleaseLimits::MaximumReadings.
QString ordinalText(qsizetype number, const QLocale &locale)
{
    static const QStringList ordinals{QStringLiteral("second"), QStringLiteral("third"),
                                      QStringLiteral("fourth"), QStringLiteral("fifth")};
    return ordinals.value(number - 2, locale.toString(number));
}

// The release reading, or why there is none yet.
QString releaseText(const SessionReport &report, const Words &words)
{
    const ReadingsOutcome &outcome = report.outcome;
    const auto reading = [&report](qsizetype index) -> const ReadingLine & {
        return report.readings[index];
    };
    if (outcome.release)
        return QStringLiteral("Release level reached at %1 (%2)")
            .arg(words.clock(reading(*outcome.release).atMinute),
                 SingleToText(reading(*outcome.release).level, words.locale));
    if (outcome.releaseFellImplausibly)
        return QStringLiteral("Not yet released: the reading at %1 fell faster than a body "
                              "eliminates; take another reading.")
            .arg(words.clock(reading(*outcome.releaseFellImplausibly).atMinute));
    if (outcome.releaseConfirming.isEmpty() || !outcome.releaseNextFromMinute)
        return QStringLiteral("Not yet at the release level");
    QStringList reached;
    for (const qsizetype index : outcome.releaseConfirming)
        reached << QStringLiteral("%1 at %2")
                       .arg(SingleToText(reading(index).level, words.locale),
                            words.clock(reading(index).atMinute));
    const qsizetype count = outcome.releaseConfirming.size();
    const qsizetype more = report.release.confirmingReadings - count;
    const QString level = SingleToText(words.scale().shownLevel(report.releaseBal), words.locale);
    const QString from = words.clock(*outcome.releaseNextFromMinute);
    QString text = QStringLiteral("Release level reached %1 (%2); ")
                       .arg(timesText(count, words.locale), reached.join(QStringLiteral(", ")));
    if (more == 1)
        return text +
               QStringLiteral("a %1 reading at or below %2 from %3 releases the participant.")
                   .arg(ordinalText(count + 1, words.locale), level, from);
    return text + QStringLiteral("%1 more readings at or below %2, the next from %3 and each at "
                                 "least %4 minutes after the one before, release the participant.")
                      .arg(words.locale.toString(more), level, from,
                           words.locale.toString(report.release.minutesApart));
}

// "from an estimated 0.061 g/100 ml now (0.064 at 15:40)": where a booster starts, `when`.
QString boosterFromText(double fromBal, const ReadingLine &reading, const QString &when,
                        const Words &words)
{
    return QStringLiteral("from an estimated %1 %2 (%3 at %4)")
        .arg(words.level(words.scale().shownLevel(float(fromBal))), when,
             SingleToText(reading.level, words.locale), words.clock(reading.atMinute));
}

// "Planned before the booster: peak 0.0807 g/100 ml at 15:15, below 0.02 g/100 ml at 19:18, zero
// at 20:38."
QString plannedBeforeBoosterText(const SessionPlan &plan, const Words &words)
{
    const ExpectedTimes times = planTimes(plan);
    const QString release =
        times.neverAboveRelease
            ? QStringLiteral("never above %1").arg(words.releaseLevel())
            : QStringLiteral("below %1 at %2")
                  .arg(words.releaseLevel(), words.clock(times.releaseAtMinute));
    return QStringLiteral("Planned before the booster: peak %1 at %2, %3, zero at %4.")
        .arg(words.modelLevel(times.peakBal), words.clock(times.peakAtMinute), release,
             words.clock(times.zeroAtMinute));
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

// "With the booster, 80 % of participants like this one peak between 0.0715 and 0.0887 g/100
// ml."
QString boosterPeakBandText(const BandEdges &band, const Words &words)
{
    QString sentence = peakBandSentence(band, words.scale(), words.locale);
    sentence[0] = sentence[0].toLower();
    return QStringLiteral("With the booster, ") + sentence;
}

QString offerText(const BoosterOffer &offer, const Words &words)
{
    if (!offer.ok())
        return offer.refusal.message;
    const DosingState &s = offer.report.dose.state;
    return QStringLiteral("Booster estimate: %1, to raise the level by %2 over %3 minutes, %4.")
        .arg(volumesText(s.AlcDose, s.MixDose, s.TotDose, words.locale),
             words.modelLevel(offer.targetBal), SingleToText(offer.drinkingMinutes, words.locale),
             boosterFromText(offer.fromBal, words.report.readings[*offer.fromReading],
                             QStringLiteral("now"), words));
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
            QStringLiteral("%1 % band").arg(BandSpreads::Percent),
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
                          "elimination as the dose, from the latest reading carried to the "
                          "booster's time. Measure again before serving anything more.");
}

QString SessionText::placeboNote()
{
    return QStringLiteral("Placebo: no curve is expected.");
}

QString SessionText::noTimesAfterBooster()
{
    return QStringLiteral("The times expected after the booster cannot be computed from the "
                          "record.");
}

QString SessionText::implausibleFallNote()
{
    return QStringLiteral("fell faster than a body eliminates");
}

QString SessionText::bandNote()
{
    return QStringLiteral("The band assumes drinking as planned on an empty stomach; food lowers "
                          "and delays the peak.");
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
    text.release = releaseText(report, words);
    if (const std::optional<BandEdges> peak = report.peakBandInForce())
        text.peakBand = peakBandSentence(*peak, words.scale(), locale);
    if (const std::optional<ReleaseBand> release = report.releaseBandInForce())
        text.releaseBand = releaseBandText(*release, words);
    if (report.personal)
        text.personal = personalText(*report.personal, words);

    for (const BoosterLine &booster : report.boosters)
        text.boosters << boosterCells(booster, words);
    if (const BoosterLine *booster = report.booster()) {
        text.booster = QStringLiteral("Booster served at %1: %2 (target %3 over %4 minutes)")
                           .arg(words.clock(booster->atMinute),
                                volumesText(float(booster->alcoholMl), float(booster->mixerMl),
                                            float(booster->totalMl), locale),
                                words.modelLevel(booster->targetBal),
                                SingleToText(booster->drinkingMinutes, locale));
        if (booster->course && booster->fromReading)
            text.booster +=
                QStringLiteral(", ") + boosterFromText(booster->course->fromBal,
                                                       report.readings[*booster->fromReading],
                                                       QStringLiteral("then"), words);
        if (booster->corrected)
            text.booster += QStringLiteral(" (corrected)");
        if (booster->course)
            text.boosterCourse = boosterCourseText(*booster->course, words);
        if (report.band && report.band->boosterPeak)
            text.boosterCourse << boosterPeakBandText(*report.band->boosterPeak, words);
        if (report.expected)
            text.plannedBeforeBooster = plannedBeforeBoosterText(report.expected->plan, words);
    }
    if (report.offer) {
        text.offer = offerText(*report.offer, words);
        text.offerWarnings = offerWarnings(*report.offer, words);
        if (report.offer->peakBand)
            text.offerPeakBand = boosterPeakBandText(*report.offer->peakBand, words);
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

QString entryValuesText(const EntryInForce &entry, const SessionReport &report,
                        const QLocale &locale)
{
    return valuesText(entry.entry, entry.values, Words{report, locale});
}

QStringList historyColumns()
{
    return {QStringLiteral("Entry"), QStringLiteral("Entered"),    QStringLiteral("Operator"),
            QStringLiteral("Event"), QStringLiteral("As entered"), QStringLiteral("Now")};
}

namespace {

// A planned portion as it was poured, and when a version-1 file marked it served.
QString portionText(const SessionEntry &entry, const Words &words)
{
    QString text = QStringLiteral("portion %1: %2, to serve at %3")
                       .arg(words.locale.toString(entry.number),
                            volumesText(float(entry.alcoholMl), float(entry.mixerMl),
                                        float(entry.totalMl), words.locale),
                            words.clock(entry.plannedAtMinute));
    if (entry.values.servedAtMinute)
        text += QStringLiteral(", served at %1").arg(words.clock(*entry.values.servedAtMinute));
    return text;
}

QString reasonText(const QString &reason)
{
    return QStringLiteral("Reason: ") + reason +
           (reason.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral("."));
}

// What a correction or a void did to the entry it names; with `before`, the entry's values as
// they were before it.
QString changeDone(const EntryChange &change, const Words &words, bool before = false)
{
    const SessionEntry &made = change.change;
    QString text = QStringLiteral("entry %1").arg(words.locale.toString(made.corrects));
    if (before && change.target.entry.entry != 0)
        text += QStringLiteral(", %1,").arg(
            valuesText(change.target.entry, change.target.values, words));
    if (made.event == EntryEvent::Void)
        text += QStringLiteral(" voided");
    else
        text += QStringLiteral(" corrected to %1")
                    .arg(valuesText(change.target.entry,
                                    change.applied ? change.after : made.values, words));
    text += QStringLiteral(". ") + reasonText(made.reason);
    if (!change.applied)
        text += QStringLiteral(" Not applied: that entry cannot be changed so.");
    return text;
}

// The event as the file's event column names it.
QString eventName(EntryEvent event)
{
    const std::string_view name = entryEventName(event);
    return QLatin1StringView(name.data(), qsizetype(name.size()));
}

QString enteredText(const QDateTime &at, const Words &words)
{
    return at.isValid() ? words.moment(at) : QStringLiteral("not recorded");
}

} // namespace

QList<QStringList> describeHistory(const SessionRecord &record, const SessionReport &report,
                                   const QLocale &locale)
{
    const Words words{report, locale};
    const SessionEntries entries(record);
    QHash<int, const EntryChange *> changes;
    for (const EntryChange &change : entries.changes())
        changes.insert(change.change.entry, &change);
    QList<const SessionEntry *> rows;
    SessionEntry setup = entries.setup().entry;
    rows << &setup;
    for (const SessionEntry &entry : record.entries)
        rows << &entry;

    QList<QStringList> history;
    for (const SessionEntry *entry : rows) {
        QString asEntered;
        QString now;
        if (const EntryChange *change = changes.value(entry->entry)) {
            asEntered = changeDone(*change, words);
        } else if (entry->event == EntryEvent::Portion) {
            asEntered = portionText(*entry, words);
            now = QStringLiteral("as entered");
        } else {
            asEntered = valuesText(*entry, entry->values, words);
            const EntryInForce *inForce = entries.find(entry->entry);
            if (inForce && inForce->voided())
                now = QStringLiteral("voided by entry %1").arg(locale.toString(inForce->voidedBy));
            else if (inForce && inForce->corrected())
                now = QStringLiteral("%1 (corrected by entry %2)")
                          .arg(valuesText(*entry, inForce->values, words),
                               locale.toString(inForce->correctedBy));
            else
                now = QStringLiteral("as entered");
        }
        history.append({locale.toString(entry->entry), enteredText(entry->enteredAt, words),
                        entry->operatorInitials.isEmpty() ? QStringLiteral("not recorded")
                                                          : entry->operatorInitials,
                        eventName(entry->event), asEntered, now});
    }
    return history;
}

QString changeText(const EntryChange &change, const SessionReport &report, const QLocale &locale)
{
    const Words words{report, locale};
    const SessionEntry &made = change.change;
    return QStringLiteral("Entry %1, %2 (%3): ")
               .arg(locale.toString(made.entry), words.moment(made.enteredAt),
                    made.operatorInitials) +
           changeDone(change, words, true);
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

namespace {

// The decimals that give the fastest fall two significant digits in the lab's unit.
int fallDecimals(const LevelScale &scale)
{
    const double fastest = scale.fromBal(SessionRules::FastestFallBalPerHour);
    return std::max(0, 1 - int(std::floor(std::log10(fastest))));
}

// "0.062 below the reading at 12:20 PM, a fall of 0.248 per hour; no body eliminates faster than
// 0.040 per hour"
QString fallText(const SessionReport &report, int minute, float level, const ReadingLine &before,
                 const QString &beforeTime, const QLocale &locale)
{
    const LevelScale &scale = report.setup.input.level;
    const int decimals = fallDecimals(scale);
    const auto number = [&](double value) { return locale.toString(value, 'f', decimals); };
    const double perHour =
        fallPerHour({before.atMinute, scale.toBal(before.level)}, {minute, scale.toBal(level)});
    const QString rate =
        std::isfinite(perHour)
            ? QStringLiteral("a fall of %1 per hour").arg(number(scale.fromBal(perHour)))
            : QStringLiteral("in the same minute");
    return QStringLiteral("%1 below the reading at %2, %3; no body eliminates faster than %4 per "
                          "hour")
        .arg(number(double(before.level) - double(level)), beforeTime, rate,
             number(scale.fromBal(SessionRules::FastestFallBalPerHour)));
}

} // namespace

QString implausibleFallQuestion(const SessionReport &report, int minute, float level,
                                const ReadingLine &before, const QLocale &locale)
{
    const Words words{report, locale};
    return QStringLiteral("Record a reading of %1? It is %2.")
        .arg(words.level(level),
             fallText(report, minute, level, before, words.clock(before.atMinute), locale));
}

QString implausibleFallWarning(const SessionReport &report, const ReadingLine &reading,
                               const QLocale &locale)
{
    const Words words{report, locale};
    const ReadingLine &before = report.readings[*reading.implausibleFallFrom];
    return QStringLiteral("WARNING: The reading of %1 at minute %2 is %3: it may be a slip.")
        .arg(words.level(reading.level), locale.toString(reading.atMinute),
             fallText(report, reading.atMinute, reading.level, before,
                      QStringLiteral("minute %1").arg(locale.toString(before.atMinute)), locale));
}

QString boosterQuestion(const QStringList &warnings)
{
    return QStringLiteral("WARNING: With this booster: %1. Record it as served?")
        .arg(warnings.join(QStringLiteral("; ")));
}
