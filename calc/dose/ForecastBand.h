#pragma once

#include "calc/dose/LevelUnits.h"
#include "calc/dose/SessionPlan.h"

#include <QLocale>
#include <QString>
#include <optional>

// How far participants like this one spread about the model's course, from published spreads
// (docs/model.md gives the sources). Levels are g/100 ml of blood, times hours.
namespace BandSpreads {
// Standard error of Watson's body water, litres.
inline constexpr double BodyWaterErrorMaleLitres = 3.76;
inline constexpr double BodyWaterErrorFemaleLitres = 3.60;
// Standard deviation of the elimination rate between people, g/100 ml per hour.
inline constexpr double EliminationSdMale = 0.0029;
inline constexpr double EliminationSdFemale = 0.0030;
// Relative spread of absorption: what the peaks' spread leaves beyond body water and elimination.
inline constexpr double Absorption = 0.15;
// Relative spread of a person's blood/breath ratio, for breath units.
inline constexpr double BreathRatioSpread = 0.05;
// The band holds this share of participants: a normal distribution's mean +/- EdgeZ SD.
inline constexpr int Percent = 80;
inline constexpr double EdgeZ = 1.2816;
} // namespace BandSpreads

// One participant's spreads: relative ones scale the alcohol absorbed, the elimination's grows
// with the hours of elimination.
struct BandSpread {
    double bodyWater = 0; // the body water's standard error over the participant's own
    double absorption = BandSpreads::Absorption;
    double breathRatio = 0;   // for breath units, else 0
    double eliminationSd = 0; // g/100 ml per hour

    // The standard deviation of a level with `absorbedBal` of alcohol absorbed and elimination
    // running for `eliminatingHours`.
    double sigma(double absorbedBal, double eliminatingHours) const;
};

// The spreads of the participant of `dose` (its gender and body water), in its unit of levels.
BandSpread bandSpread(const CalculatedDose &dose);

// The edges of the band at one time, neither below 0.
struct BandEdges {
    double low = 0;
    double high = 0;

    bool operator==(const BandEdges &) const = default;
};

// When the edges fall below the release level, from the course's peak on: the lower edge first.
struct ReleaseBand {
    double fromHours = 0;
    double toHours = 0;
    int fromMinutes = 0; // whole minutes as the plan gives its times
    int toMinutes = 0;
};

// A course that absorbs a dose at a steady rate and then falls by the model's elimination: the
// session plan's, or a booster's, which starts from a reading.
struct BandCourse {
    double doseBal = 0;              // the dose's own expected peak: the plan's, the booster's
    double servedHours = 0;          // when its drinking starts: 0, or when the booster is served
    double absorptionHours = 0;      // its drinking period plus half an hour
    double eliminationFromHours = 0; // 0, or the time of the reading a booster starts from
    double peakLevel = 0; // the course at its peak: the plan's peak, the booster's course

    double peakHours() const { return servedHours + absorptionHours; }
};

// The band of one course: the course +/- EdgeZ standard deviations, for the Percent share of
// participants like this one. Double precision, the same bits everywhere.
class ForecastBand {
public:
    ForecastBand(const BandSpread &spread, const BandCourse &course);
    // The plan's band, for the participant of `dose`. A placebo has none: do not ask.
    static ForecastBand ofPlan(const CalculatedDose &dose, const SessionPlan &plan);

    // The alcohol absorbed by `hours`, as a level: the dose's peak plus what is eliminated while
    // it is absorbed, in a straight line from when it is served.
    double absorbed(double hours) const;
    double sigma(double hours) const;
    // The band at `hours` around `courseLevel`, the course there; for edges that keep falling,
    // pass its falling line continued below 0 (SessionPlan::expectedLine).
    BandEdges around(double courseLevel, double hours) const;
    // The band at the course's peak.
    BandEdges peak() const;
    // When the lower, then the upper edge falls below `releaseBal`, from the peak on, each the
    // peak's time when already below it there; none for a time beyond what a clock can show.
    std::optional<ReleaseBand> release(double releaseBal) const;

private:
    BandSpread m_spread;
    BandCourse m_course;
};

// The plan's band in brief, as its lines and page give it.
struct PlanBand {
    BandEdges peak;
    ReleaseBand release;
};

// None when the release band's times are beyond what a clock can show.
std::optional<PlanBand> planBand(const CalculatedDose &dose, const SessionPlan &plan,
                                 float releaseBal);

// "80 % of participants like this one peak between 0.0585 and 0.1029 g/100 ml.": levels as the
// plan writes them, 4 decimals in g/100 ml and 4 significant digits in another unit.
QString peakBandSentence(const BandEdges &peak, const LevelScale &level,
                         const QLocale &locale = QLocale());
// "Expected below 0.02 g/100 ml after 313 minutes, 80 % between 211 and 455 minutes after the
// start. Only a reading releases a participant.", or for a peak not above the release level
// "Expected never above 0.09 g/100 ml, 80 % below it by 87 minutes after the start. ..."
QString releaseBandSentence(const SessionPlan &plan, const ReleaseBand &band, float releaseBal,
                            const LevelScale &level, const QLocale &locale = QLocale());

// Where a reading lies against the band at its time; an edge belongs to the band.
enum class BandPosition { Below, Within, Above };
BandPosition bandPosition(double readingBal, const BandEdges &edges);

// What a reading below the band at the expected peak may mean, after the reading.
QString belowBandAtPeakText();
