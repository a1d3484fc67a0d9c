#include "calc/dose/ForecastBand.h"

#include "calc/dose/DosingModel.h"
#include "calc/dose/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace BandSpreads;
using DosingModel::EliminationBalPerHour;

// The edges fall after the peak only while the elimination outruns the spread of its rate; the
// release band's crossings rely on it.
static_assert(EliminationBalPerHour > EdgeZ * std::max(EliminationSdMale, EliminationSdFemale));

// The plan's course: served from the start, elimination counted from it.
BandCourse planCourse(const SessionPlan &plan)
{
    return {plan.peakBal, 0, plan.peakHours, 0, plan.peakBal};
}

// A level the model expects, as the plan writes it.
QString modelLevelText(double bal, const LevelScale &level, const QLocale &locale)
{
    return level.isDefault() ? locale.toString(bal, 'f', 4)
                             : locale.toString(double(float(level.fromBal(bal))), 'g', 4);
}

// A level the operator chose, as typed.
QString chosenLevelText(float bal, const LevelScale &level, const QLocale &locale)
{
    return SingleToText(level.shownLevel(bal), locale) + QLatin1Char(' ') + level.unitText();
}

} // namespace

double BandSpread::sigma(double absorbedBal, double eliminatingHours) const
{
    const double a = absorbedBal;
    const double t = std::max(0.0, eliminatingHours);
    const double variance =
        (a * bodyWater) * (a * bodyWater) + (a * absorption) * (a * absorption) +
        (a * breathRatio) * (a * breathRatio) + (eliminationSd * t) * (eliminationSd * t);
    return std::sqrt(variance);
}

BandSpread bandSpread(const CalculatedDose &dose)
{
    const bool male = dose.state.Gender == Gender::Male;
    BandSpread spread;
    spread.bodyWater = (male ? BodyWaterErrorMaleLitres : BodyWaterErrorFemaleLitres) /
                       double(dose.intermediates.bodyWater);
    spread.breathRatio = dose.level.breath() ? BreathRatioSpread : 0;
    spread.eliminationSd = male ? EliminationSdMale : EliminationSdFemale;
    return spread;
}

ForecastBand::ForecastBand(const BandSpread &spread, const BandCourse &course)
    : m_spread(spread), m_course(course)
{
}

ForecastBand ForecastBand::ofPlan(const CalculatedDose &dose, const SessionPlan &plan)
{
    return {bandSpread(dose), planCourse(plan)};
}

double ForecastBand::absorbed(double hours) const
{
    const double total = m_course.doseBal + EliminationBalPerHour * m_course.absorptionHours;
    const double since = hours - m_course.servedHours;
    if (since <= 0)
        return 0;
    if (since >= m_course.absorptionHours)
        return total;
    return total * (since / m_course.absorptionHours);
}

double ForecastBand::sigma(double hours) const
{
    return m_spread.sigma(absorbed(hours), hours - m_course.eliminationFromHours);
}

BandEdges ForecastBand::around(double courseLevel, double hours) const
{
    const double half = EdgeZ * sigma(hours);
    return {std::max(0.0, courseLevel - half), std::max(0.0, courseLevel + half)};
}

BandEdges ForecastBand::peak() const
{
    return around(m_course.peakLevel, m_course.peakHours());
}

// After the peak the course is M - beta u and the variance K + s^2 u^2, u the hours since
// elimination began to vary. An edge meets the level L where (D - beta u)^2 = z^2 (K + s^2 u^2),
// D = M - L: a quadratic whose smaller root is the lower edge's crossing and whose larger is the
// upper edge's. Both edges fall all the time, so a crossing before the peak means the edge is
// below L there already.
std::optional<ReleaseBand> ForecastBand::release(double releaseBal) const
{
    const double beta = EliminationBalPerHour;
    const double s = m_spread.eliminationSd;
    const double peakHours = m_course.peakHours();
    const double spreadAtPeak = m_spread.sigma(absorbed(peakHours), 0);
    const double k = spreadAtPeak * spreadAtPeak;
    const double d =
        m_course.peakLevel + beta * (peakHours - m_course.eliminationFromHours) - releaseBal;
    const double a = beta * beta - EdgeZ * EdgeZ * s * s;
    const double root = EdgeZ * std::sqrt(d * d * s * s + a * k);
    const double lowerCrossing = m_course.eliminationFromHours + (d * beta - root) / a;
    const double upperCrossing = m_course.eliminationFromHours + (d * beta + root) / a;
    // Checked before the peak's time is put in, which would hide a crossing that is not a number.
    if (!std::isfinite(lowerCrossing) || !std::isfinite(upperCrossing))
        return std::nullopt;
    ReleaseBand band;
    band.fromHours = std::max(peakHours, lowerCrossing);
    band.toHours = std::max(peakHours, upperCrossing);
    const double fromMinutes = band.fromHours * DosingModel::MinutesPerHour;
    const double toMinutes = band.toHours * DosingModel::MinutesPerHour;
    if (!minutesFitAClock(fromMinutes) || !minutesFitAClock(toMinutes))
        return std::nullopt;
    band.fromMinutes = wholeMinutes(fromMinutes);
    band.toMinutes = wholeMinutes(toMinutes);
    return band;
}

std::optional<PlanBand> planBand(const CalculatedDose &dose, const SessionPlan &plan,
                                 float releaseBal)
{
    const ForecastBand band = ForecastBand::ofPlan(dose, plan);
    const std::optional<ReleaseBand> release = band.release(releaseBal);
    if (!release)
        return std::nullopt;
    return PlanBand{band.peak(), *release};
}

QString peakBandSentence(const BandEdges &peak, const LevelScale &level, const QLocale &locale)
{
    return QStringLiteral("%1 % of participants like this one peak between %2 and %3 %4.")
        .arg(locale.toString(Percent), modelLevelText(peak.low, level, locale),
             modelLevelText(peak.high, level, locale), level.unitText());
}

QString releaseBandSentence(const SessionPlan &plan, const ReleaseBand &band, float releaseBal,
                            const LevelScale &level, const QLocale &locale)
{
    const QString release = chosenLevelText(releaseBal, level, locale);
    const QString percent = locale.toString(Percent);
    const QString spread =
        plan.releaseHours > 0
            ? QStringLiteral("Expected below %1 after %2 minutes, %3 % between %4 and %5 minutes "
                             "after the start.")
                  .arg(release, locale.toString(plan.releaseAfterMinutes), percent,
                       locale.toString(band.fromMinutes), locale.toString(band.toMinutes))
            : QStringLiteral("Expected never above %1, %2 % below it by %3 minutes after the "
                             "start.")
                  .arg(release, percent, locale.toString(band.toMinutes));
    return spread + QStringLiteral(" Only a reading releases a participant.");
}

BandPosition bandPosition(double readingBal, const BandEdges &edges)
{
    if (readingBal < edges.low)
        return BandPosition::Below;
    if (readingBal > edges.high)
        return BandPosition::Above;
    return BandPosition::Within;
}

QString belowBandAtPeakText()
{
    return QStringLiteral("below what %1 % of participants reach: food, slower absorption or a "
                          "low dose are possible.")
        .arg(Percent);
}
