#pragma once

#include <QList>
#include <cstdint>

// How well the personal forecast does, on participants simulated as the model describes them
// (docs/model.md): each of the sex's worked body at the default parameters, with a true
// elimination rate drawn from the sex's published rates, a true peak that spreads about the
// plan's as the band's body water and absorption spread it, reached at the plan's peak time, and
// readings every 15 minutes from then on with the reading noise. The forecast learns from the
// first few readings. The same seed gives the same participants on every computer.

namespace PersonalSimulation {
inline constexpr int MinutesBetweenReadings = 15;
inline constexpr std::uint64_t Seed = 20070601;
} // namespace PersonalSimulation

// The figures after a number of readings, over every participant simulated.
struct ForecastFigures {
    int readings = 0;
    double applies = 0;     // the share with the last two of these readings falls, as the
                            // session's rule asks before it shows the forecast
    double coverage = 0;    // the share whose true release time lies within the 80 % band
    double medianError = 0; // minutes between the expected and the true release time
    double medianWidth = 0; // minutes from the band's first to its last minute
};

struct SimulationFigures {
    int participants = 0;
    double planMedianError = 0; // minutes between the plan's release time and the true one
    QList<ForecastFigures> after;
};

// `participants` of the sex `gender` (DosingState::Gender: 1 is male), the forecast learning from
// the first of `readings` readings each, with a release level of 0.02 g/100 ml.
SimulationFigures simulatePersonalForecast(std::int16_t gender, int participants,
                                           const QList<int> &readings = {3, 5, 8},
                                           std::uint64_t seed = PersonalSimulation::Seed);
