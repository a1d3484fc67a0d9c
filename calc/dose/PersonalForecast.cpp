#include "calc/dose/PersonalForecast.h"

#include "calc/dose/DosingModel.h"
#include "calc/dose/DosingState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using BandSpreads::EdgeZ;
using DosingModel::MinutesPerHour;

double hoursOf(double minutes)
{
    return minutes / MinutesPerHour;
}

// The first whole minute from `from` on at which `edge` is at or below `level`: `from` when it
// is there already, else found by bisection between `from` and a minute at which it is, sought
// a doubling span at a time. Right for an edge that, once it has come down to the level after
// `from`, stays there: the band's lower edge, which is concave, and its upper edge, which is
// convex and falls without end while the rate's interval lies above 0. None beyond what a clock
// can show.
template <typename Edge>
std::optional<int> firstMinuteAtOrBelow(const Edge &edge, double level, int from)
{
    const auto atOrBelow = [&](qint64 minute) { return edge(hoursOf(double(minute))) <= level; };
    if (atOrBelow(from))
        return from;
    constexpr qint64 Latest = std::numeric_limits<int>::max();
    qint64 above = from;
    qint64 below = 0;
    for (qint64 span = qint64(MinutesPerHour);; span *= 2) {
        below = std::min(qint64(from) + span, Latest);
        if (atOrBelow(below))
            break;
        if (below == Latest)
            return std::nullopt;
    }
    while (below - above > 1) {
        const qint64 middle = above + (below - above) / 2;
        (atOrBelow(middle) ? below : above) = middle;
    }
    return int(below);
}

} // namespace

RatePrior eliminationPrior(std::int16_t gender)
{
    using namespace PersonalPrior;
    using namespace BandSpreads;
    return gender == Gender::Male ? RatePrior{EliminationMeanMale, EliminationSdMale}
                                  : RatePrior{EliminationMeanFemale, EliminationSdFemale};
}

// With t0 the readings' mean time, the posterior of b is normal with the variance
// 1 / (Scc / sm^2 + 1 / sb^2) and the mean that variance times (b0 / sb^2 - Scy / sm^2), where
// Scc = sum (t - t0)^2 and Scy = sum (t - t0)(y - y0); given b, a is y0 + b t0 with the variance
// sm^2 / n. These are L^-1 and its mean written out: (L^-1)bb the variance of b, (L^-1)ab = t0
// (L^-1)bb and (L^-1)aa = sm^2 / n + t0^2 (L^-1)bb, so that x' L^-1 x = sm^2 / n + (t - t0)^2
// (L^-1)bb, which never cancels to below 0.
PersonalFit::PersonalFit(const QList<TimedBal> &readings, const RatePrior &prior, double readingSd)
{
    const double n = double(readings.size());
    double sumHours = 0;
    double sumBal = 0;
    for (const TimedBal &reading : readings) {
        sumHours += reading.hours;
        sumBal += reading.bal;
    }
    m_meanHours = sumHours / n;
    const double meanBal = sumBal / n;
    double scc = 0;
    double scy = 0;
    for (const TimedBal &reading : readings) {
        const double dt = reading.hours - m_meanHours;
        scc += dt * dt;
        scy += dt * (reading.bal - meanBal);
    }
    const double noise = readingSd * readingSd;
    const double priorVariance = prior.sd * prior.sd;
    m_rateVariance = 1 / (scc / noise + 1 / priorVariance);
    m_rate = m_rateVariance * (prior.mean / priorVariance - scy / noise);
    m_level = meanBal;
    m_levelVariance = noise / n;
}

double PersonalFit::rateSd() const
{
    return std::sqrt(m_rateVariance);
}

RateInterval PersonalFit::rateInterval() const
{
    const double half = EdgeZ * rateSd();
    return {m_rate - half, m_rate + half};
}

double PersonalFit::level(double hours) const
{
    return m_level - m_rate * (hours - m_meanHours);
}

double PersonalFit::hoursAt(double bal) const
{
    return m_meanHours + (m_level - bal) / m_rate;
}

BandEdges PersonalFit::band(double hours) const
{
    const double dt = hours - m_meanHours;
    const double half = EdgeZ * std::sqrt(m_levelVariance + dt * dt * m_rateVariance);
    const double course = level(hours);
    return {course - half, course + half};
}

PersonalForecast forecastFrom(const QList<PhaseReading> &readings, const RatePrior &prior,
                              double readingSd, double releaseBal)
{
    QList<TimedBal> timed;
    for (const PhaseReading &reading : readings)
        timed.append({hoursOf(reading.atMinute), reading.bal});
    PersonalForecast forecast;
    forecast.readings = int(readings.size());
    forecast.fromMinute = readings.constFirst().atMinute;
    forecast.fit = PersonalFit(timed, prior, readingSd);
    forecast.rate = forecast.fit.rate();
    forecast.rateInterval = forecast.fit.rateInterval();
    if (!(forecast.rateInterval.low > 0))
        return forecast;

    const PersonalFit &fit = forecast.fit;
    const double crossing =
        std::max(double(forecast.fromMinute), fit.hoursAt(releaseBal) * MinutesPerHour);
    if (minutesFitAClock(crossing))
        forecast.releaseAtMinute = wholeMinutes(crossing);
    forecast.releaseFromMinute = firstMinuteAtOrBelow(
        [&fit](double hours) { return fit.band(hours).low; }, releaseBal, forecast.fromMinute);
    forecast.releaseToMinute = firstMinuteAtOrBelow(
        [&fit](double hours) { return fit.band(hours).high; }, releaseBal, forecast.fromMinute);
    return forecast;
}

std::optional<PersonalForecast> personalForecast(const QList<PhaseReading> &phase, bool limbShown,
                                                 const RatePrior &prior, double readingSd,
                                                 double releaseBal)
{
    if (!limbShown || phase.isEmpty())
        return std::nullopt;
    qsizetype peak = 0;
    for (qsizetype i = 1; i < phase.size(); ++i) {
        if (phase[i].bal > phase[peak].bal)
            peak = i;
    }
    const qsizetype last = phase.size() - 1;
    if (phase.size() - peak < PersonalPrior::LeastReadings ||
        !(phase[last - 2].bal > phase[last - 1].bal && phase[last - 1].bal > phase[last].bal))
        return std::nullopt;
    return forecastFrom(phase.mid(peak), prior, readingSd, releaseBal);
}
