#pragma once

#include "calc/dose/ForecastBand.h"

#include <QList>
#include <optional>

// A forecast of one participant's own fall, learnt from their readings on the descending limb:
// their elimination rate and when they are expected below the release level, each with an 80 %
// interval that narrows as readings come in (docs/model.md). Levels are g/100 ml of blood, times
// hours after the start of drinking unless said otherwise. It never releases anyone: only a
// reading does; it says when a reading is worth taking.

namespace PersonalPrior {
// Elimination rates of healthy people, g/100 ml per hour: the mean of each sex, with
// BandSpreads::EliminationSd* as their standard deviations (Dettling et al., Alcohol 2007).
inline constexpr double EliminationMeanMale = 0.0159;
inline constexpr double EliminationMeanFemale = 0.0179;
// The standard deviation of one reading, g/100 ml, unless the protocol gives its device's.
inline constexpr double ReadingSd = 0.004;
// The forecast needs this many readings from the observed peak on, the last two of them falls.
inline constexpr int LeastReadings = 3;
} // namespace PersonalPrior

// What is known of an elimination rate before any reading: normal, with this mean and SD.
struct RatePrior {
    double mean = 0;
    double sd = 0;
};

// The published rates of the participant's sex (DosingState::Gender: 1 is male).
RatePrior eliminationPrior(std::int16_t gender);

struct TimedBal {
    double hours = 0;
    double bal = 0;
};

struct RateInterval {
    double low = 0;
    double high = 0;
};

// A straight fall y(t) = a - b t fitted to readings by Bayesian linear regression with a known
// reading noise: b normal by its prior, a flat. With X the rows (1, -t), the posterior's
// precision is L = X'X / sm^2 + diag(0, 1 / sb^2) and its mean L^-1 (X'y / sm^2 + (0, b0 / sb^2)),
// both in closed form; the covariance L^-1 is kept as the slope's variance and the readings'
// mean time, which give it without cancelling digits (docs/model.md derives them). Double
// precision, no random numbers: the same bits everywhere.
class PersonalFit {
public:
    PersonalFit() = default;
    // `readings` not empty; `readingSd` above 0.
    PersonalFit(const QList<TimedBal> &readings, const RatePrior &prior, double readingSd);

    double rate() const { return m_rate; } // the mean of b
    double rateSd() const;                 // the square root of (L^-1)bb
    // b's 80 % interval: the mean +/- EdgeZ SDs.
    RateInterval rateInterval() const;
    // The expected course m(t) = a - b t, and when it is at `bal` (for a rate above 0).
    double level(double hours) const;
    double hoursAt(double bal) const;
    // The course's 80 % band: m(t) +/- EdgeZ sqrt(x' L^-1 x), x = (1, -t); not held at 0.
    BandEdges band(double hours) const;

private:
    double m_rate = 0;
    double m_level = 0;         // the course at the readings' mean time
    double m_meanHours = 0;     // the readings' mean time
    double m_rateVariance = 0;  // (L^-1)bb
    double m_levelVariance = 0; // sm^2 / n, the course's variance at the mean time
};

// The forecast of a session's latest phase, as the session's report carries it.
struct PersonalForecast {
    int readings = 0;   // how many it learnt from
    int fromMinute = 0; // the observed peak of the phase, where it starts
    double rate = 0;    // g/100 ml per hour
    RateInterval rateInterval;
    // Whole minutes after the start, as the plan gives its times, none before fromMinute: when
    // the course is expected below the release level, and the first minutes at which the band's
    // lower edge, then its upper edge, is at or below it. None while the rate's interval reaches
    // down to 0, when no time is sure to come, and for a time beyond what a clock can show.
    std::optional<int> releaseAtMinute;
    std::optional<int> releaseFromMinute;
    std::optional<int> releaseToMinute;

    PersonalFit fit;
};

// One counting reading of the latest phase: minutes after the start, g/100 ml.
struct PhaseReading {
    int atMinute = 0;
    double bal = 0;
};

// The forecast learnt from `readings` (not empty), the first of them the peak it starts from.
PersonalForecast forecastFrom(const QList<PhaseReading> &readings, const RatePrior &prior,
                              double readingSd, double releaseBal);

// The forecast from `phase`, the counting readings of the latest phase in time order, once its
// descending limb is shown (`limbShown`): learnt from the readings from the phase's observed
// peak on, at least LeastReadings of them with the last two falls. None while it does not apply.
std::optional<PersonalForecast> personalForecast(const QList<PhaseReading> &phase, bool limbShown,
                                                 const RatePrior &prior, double readingSd,
                                                 double releaseBal);
