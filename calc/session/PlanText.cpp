#include "calc/session/PlanText.h"

#include "calc/dose/DoseValues.h"
#include "calc/dose/NumberText.h"
#include "calc/session/ClockText.h"
#include "calc/session/SessionText.h"

namespace {

QString number(float value, const QLocale &locale)
{
    return SingleToText(value, locale);
}

QString millilitres(int value, const QLocale &locale)
{
    return SingleToText(float(value), locale);
}

} // namespace

QString peakText(double peakBal, const LevelScale &level, const QLocale &locale)
{
    const QString bal = locale.toString(peakBal, 'f', 4) + QStringLiteral(" g/100 ml");
    if (level.isDefault())
        return bal;
    const QString inUnit = locale.toString(double(float(level.fromBal(peakBal))), 'g', 4) +
                           QLatin1Char(' ') + level.unitText();
    if (!level.breath())
        return inUnit;
    return inUnit + QStringLiteral(" (BAL %1 at %2)").arg(bal, level.ratioText(locale));
}

QString levelsSentence(const LevelScale &level, const QLocale &locale)
{
    QString text = QStringLiteral("Levels in %1").arg(QString::fromUtf8(level.info().caption));
    if (level.breath())
        text += QStringLiteral(", read at a blood/breath ratio of %1").arg(level.ratioText(locale));
    return text + QLatin1Char('.');
}

QStringList PlanText::portionColumns(bool placebo)
{
    return {QStringLiteral("Portion"), QStringLiteral("Serve at"),
            placebo ? QStringLiteral("Float (ml)") : QStringLiteral("Alcohol (ml)"),
            QStringLiteral("Mixer (ml)"), QStringLiteral("Total (ml)")};
}

QString PlanText::caveat()
{
    return QStringLiteral("This is the dosing model's expectation, not a measurement: individual "
                          "curves differ. Measure breath alcohol before releasing the "
                          "participant.");
}

PlanText describePlan(const SessionReport &report, const QLocale &locale)
{
    const CalculatedDose &dose = report.dose.dose;
    const QTime start = report.start.time();
    const float releaseLevel = report.releaseBal;
    const int portions = report.setup.plan.portions;
    const DosingState &s = dose.state;
    PlanText text;
    // The participant, then the dosing parameters: "Male, height 70 in, weight 160 lb, age 25
    // years. Target BAL 0.08 g/100 ml, drinking period 40 minutes, ...". Height and weight as
    // the operator gave them: in metric units the calculation's own centimetres and kilograms,
    // which are the typed values.
    const bool metric = dose.units == BodyUnits::CentimetresKilograms;
    QStringList participant{s.Gender == Gender::Male ? QStringLiteral("Male")
                                                     : QStringLiteral("Female")};
    QStringList parameters;
    for (const DoseValueInfo &info : DoseValues) {
        if (!info.field)
            continue;
        float value = s.*info.field;
        if (metric && info.value == DoseValue::Height)
            value = dose.intermediates.heightCm;
        else if (metric && info.value == DoseValue::Weight)
            value = dose.intermediates.weightKg;
        else if (isLevel(info.value))
            value = dose.targetLevel;
        (indexOf(info.value) < FirstDosingParameter ? participant : parameters)
            << valuePhrase(info.value, value, {dose.units, dose.level}, locale);
    }
    parameters.first()[0] = parameters.first()[0].toUpper();
    text.doseInputs = participant.join(QStringLiteral(", ")) + QStringLiteral(". ") +
                      parameters.join(QStringLiteral(", ")) + QLatin1Char('.');
    text.doseVolumes =
        QStringLiteral("Dose: alcohol %1 ml, mixer %2 ml, total %3 ml.")
            .arg(number(s.AlcDose, locale), number(s.MixDose, locale), number(s.TotDose, locale));
    const LevelScale &level = dose.level;
    const QString release =
        number(level.shownLevel(releaseLevel), locale) + QLatin1Char(' ') + level.unitText();
    text.choices =
        QStringLiteral("Start of drinking %1, %2 %3, release level %4.")
            .arg(locale.toString(start, hoursAndMinutesFormat(locale)), locale.toString(portions),
                 portions == 1 ? QStringLiteral("portion") : QStringLiteral("portions"), release);
    if (!level.isDefault())
        text.levels = levelsSentence(level, locale);
    for (const PortionLine &line : report.portions) {
        const ServedPortion &portion = line.portion;
        text.portionRows.append(
            {locale.toString(portion.number), clockText(start, portion.atMinute, locale),
             millilitres(portion.alcoholMl, locale), millilitres(portion.mixerMl, locale),
             millilitres(portion.totalMl, locale)});
    }
    if (!report.expected)
        return text;

    // After a booster its times are in force, never the plan's.
    const std::optional<ExpectedTimes> times = report.timesInForce();
    if (!times) {
        text.releaseLine = SessionText::noTimesAfterBooster();
        return text;
    }
    text.peakLine = QStringLiteral("Expected peak %1: %2 at %3")
                        .arg(level.levelName(), peakText(times->peakBal, level, locale),
                             clockText(start, times->peakAtMinute, locale));
    text.releaseLine = QStringLiteral("Expected below %1 at %2")
                           .arg(release, clockText(start, times->releaseAtMinute, locale));
    if (times->neverAboveRelease)
        text.releaseLine += QStringLiteral(" (never above it)");
    text.zeroLine =
        QStringLiteral("Expected zero at %1").arg(clockText(start, times->zeroAtMinute, locale));
    return text;
}

QStringList protocolLines(const DoseReport &report, const std::optional<Protocol> &protocol,
                          const QLocale &locale)
{
    QStringList lines;
    if (!protocol)
        return lines;
    const QString differences = protocolDifferencesText(report.differences, *protocol, locale);
    if (!differences.isEmpty())
        lines << differences;
    for (const LimitBreach &breach : report.breaches)
        lines << limitBreachText(breach, *protocol, locale);
    return lines;
}
