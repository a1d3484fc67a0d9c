#include "forms/SessionText.h"

#include "calc/NumberText.h"
#include "forms/PlanText.h"

namespace {

// A level the model expects, or a difference from it: 4 decimals of g/100 ml, as the plan's peak
// is shown, or 4 significant digits in another unit.
QString modelLevel(double level, const LevelScale &scale, const QLocale &locale)
{
    return scale.isDefault() ? locale.toString(level, 'f', 4) : locale.toString(level, 'g', 4);
}

QString signedLevel(double difference, const LevelScale &scale, const QLocale &locale)
{
    const QString text = modelLevel(difference, scale, locale);
    return difference > 0 ? QLatin1Char('+') + text : text;
}

QString readingText(const LevelReading &reading, const SessionRecord &record, const QLocale &locale)
{
    return QStringLiteral("%1 %2 at %3")
        .arg(SingleToText(reading.level, locale), record.input.level.unitText(),
             clockText(record.startTime, reading.atMinute, locale));
}

} // namespace

QStringList SessionText::readingColumns(const LevelScale &level)
{
    return {QStringLiteral("No."), QStringLiteral("Time"),
            QStringLiteral("Reading (%1)").arg(level.unitText()), QStringLiteral("Expected"),
            QStringLiteral("Difference")};
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

SessionText describeSession(const SessionRecord &record, const SessionPlan &plan,
                            const QLocale &locale)
{
    const LevelScale &level = record.input.level;
    SessionText text;
    text.beverage = record.placebo
                        ? QStringLiteral("Placebo: %1 ml of the spirit floated on each portion, "
                                         "the rest mixer")
                              .arg(locale.toString(record.floatMl))
                        : QStringLiteral("Alcohol");
    for (const RecordedPortion &portion : record.portions)
        text.served << (portion.servedAtMinute
                            ? clockText(record.startTime, *portion.servedAtMinute, locale)
                            : QStringLiteral("not yet"));

    const bool curve = plan.ok() && !record.placebo;
    for (qsizetype i = 0; i < record.readings.size(); ++i) {
        const LevelReading &reading = record.readings[i];
        QStringList cells = {locale.toString(i + 1),
                             clockText(record.startTime, reading.atMinute, locale),
                             SingleToText(reading.level, locale), QStringLiteral("no curve"),
                             QStringLiteral("no curve")};
        if (curve) {
            const ExpectedAtReading expected = expectedAtReading(reading, plan, level);
            cells[3] = modelLevel(expected.expectedLevel, level, locale);
            cells[4] = signedLevel(expected.difference, level, locale);
        }
        text.readings << cells;
    }

    const ReadingsCourse course = readingsCourse(record.readings, level, record.plan.releaseLevel);
    text.observedPeak = course.peak ? QStringLiteral("Observed peak: ") +
                                          readingText(record.readings[*course.peak], record, locale)
                                    : QStringLiteral("Observed peak: no readings yet");
    text.descending =
        course.descendingShown
            ? QStringLiteral("Descending limb shown at %1")
                  .arg(clockText(record.startTime,
                                 record.readings[*course.descendingShown].atMinute, locale))
            : QStringLiteral("Descending limb not yet shown");
    if (course.releaseReached) {
        const LevelReading &reading = record.readings[*course.releaseReached];
        text.release = QStringLiteral("Release level reached at %1 (%2)")
                           .arg(clockText(record.startTime, reading.atMinute, locale),
                                SingleToText(reading.level, locale));
    } else {
        text.release = QStringLiteral("Not yet at the release level");
    }
    if (record.booster) {
        const RecordedBooster &booster = *record.booster;
        text.booster =
            QStringLiteral("Booster served at %1: %2 (target %3 %4 over %5 minutes)")
                .arg(clockText(record.startTime, booster.servedAtMinute, locale),
                     volumesText(booster.alcoholMl, booster.mixerMl, booster.totalMl, locale),
                     SingleToText(level.shownLevel(booster.targetBal), locale), level.unitText(),
                     SingleToText(booster.drinkingMinutes, locale));
    }
    return text;
}
