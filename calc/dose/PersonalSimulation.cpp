#include "calc/dose/PersonalSimulation.h"

#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/DosingModel.h"
#include "calc/dose/PersonalForecast.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <random>

namespace {

using DosingModel::EliminationBalPerHour;
using DosingModel::MinutesPerHour;

constexpr float ReleaseBal = 0.02f;

// Standard normal numbers by Box and Muller's method over the 64-bit Mersenne twister, whose
// sequence the language fixes: the library's own normal distribution differs between libraries.
class Normal {
public:
    explicit Normal(std::uint64_t seed) : m_bits(seed) {}

    double next()
    {
        if (m_spare) {
            const double spare = *m_spare;
            m_spare.reset();
            return spare;
        }
        const double radius = std::sqrt(-2 * std::log(uniform()));
        const double angle = 2 * std::numbers::pi * uniform();
        m_spare = radius * std::sin(angle);
        return radius * std::cos(angle);
    }

private:
    // In (0, 1]: 53 random bits, never 0, whose logarithm is finite.
    double uniform() { return double((m_bits() >> 11) + 1) * 0x1p-53; }

    std::mt19937_64 m_bits;
    std::optional<double> m_spare;
};

// The sex's worked body at the default parameters: the man of 70 in, 160 lb and 25 years, a
// woman of 65 in, 130 lb and 25 years.
DoseReport workedBody(std::int16_t gender)
{
    DoseInput input;
    DosingState &s = input.state;
    const bool male = gender == Gender::Male;
    s.Gender = gender;
    s.Height = male ? 70 : 65;
    s.Weight = male ? 160 : 130;
    s.Age = 25;
    s.BAL = 0.08f;
    s.DD = 40;
    s.Proof = 200;
    s.Ratio = 6;
    return evaluateDose(input, {SessionPlanSettings{3, ReleaseBal}, std::nullopt});
}

// One simulated participant: their readings from the peak on and when they truly fall below the
// release level, in minutes after the start.
struct Participant {
    QList<PhaseReading> readings;
    double releaseMinute = 0;
};

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

SimulationFigures simulatePersonalForecast(std::int16_t gender, int participants,
                                           const QList<int> &readings, std::uint64_t seed)
{
    const DoseReport body = workedBody(gender);
    const SessionPlan &plan = *body.plan;
    const BandSpread spread = bandSpread(body.dose);
    const RatePrior prior = eliminationPrior(gender);
    const double noise = PersonalPrior::ReadingSd;
    const int mostReadings =
        readings.isEmpty() ? 0 : *std::max_element(readings.begin(), readings.end());
    // The alcohol absorbed by the peak, as a level; the participant's own spreads about it.
    const double absorbed = plan.peakBal + EliminationBalPerHour * plan.peakHours;
    Normal normal(seed);

    QList<Participant> simulated;
    while (simulated.size() < participants) {
        const double rate = prior.mean + prior.sd * normal.next();
        const double peak =
            absorbed * (1 + spread.bodyWater * normal.next() + spread.absorption * normal.next()) -
            rate * plan.peakHours;
        // A body that does not eliminate, or never rises above the release level, has no release
        // time to forecast.
        if (!(rate > 0) || !(peak > ReleaseBal))
            continue;
        Participant participant;
        participant.releaseMinute = (plan.peakHours + (peak - ReleaseBal) / rate) * MinutesPerHour;
        for (int i = 0; i < mostReadings; ++i) {
            const int minute =
                plan.peakAfterMinutes + i * PersonalSimulation::MinutesBetweenReadings;
            const double truth = peak - rate * (minute / double(MinutesPerHour) - plan.peakHours);
            participant.readings.append({minute, truth + noise * normal.next()});
        }
        simulated.append(participant);
    }

    SimulationFigures figures;
    figures.participants = participants;
    QList<double> planErrors;
    for (const Participant &participant : simulated)
        planErrors << std::abs(plan.releaseAfterMinutes - participant.releaseMinute);
    figures.planMedianError = median(planErrors);
    for (int count : readings) {
        ForecastFigures after;
        after.readings = count;
        QList<double> errors;
        QList<double> widths;
        int applies = 0;
        int covered = 0;
        for (const Participant &participant : simulated) {
            const QList<PhaseReading> first = participant.readings.mid(0, count);
            const qsizetype last = first.size() - 1;
            if (last >= 2 && first[last - 2].bal > first[last - 1].bal &&
                first[last - 1].bal > first[last].bal)
                ++applies;
            const PersonalForecast forecast = forecastFrom(first, prior, noise, ReleaseBal);
            if (!forecast.releaseAtMinute || !forecast.releaseFromMinute ||
                !forecast.releaseToMinute)
                continue;
            errors << std::abs(*forecast.releaseAtMinute - participant.releaseMinute);
            widths << double(*forecast.releaseToMinute - *forecast.releaseFromMinute);
            if (*forecast.releaseFromMinute <= participant.releaseMinute &&
                participant.releaseMinute <= *forecast.releaseToMinute)
                ++covered;
        }
        const double all = std::max(1, participants);
        after.applies = applies / all;
        after.coverage = covered / all;
        after.medianError = median(errors);
        after.medianWidth = median(widths);
        figures.after.append(after);
    }
    return figures;
}
