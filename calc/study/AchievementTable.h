#pragma once

#include "calc/study/StudyColumns.h"
#include "calc/study/StudyRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <map>
#include <optional>
#include <tuple>

// What one session gives a study's achievement: the group it belongs to and its outcome, levels
// in g/100 ml (as typed, or converted as StudyRecord::bal shows them), so that groups of records
// in different units of levels can be taken together.
struct AchievementSession {
    QString protocol; // the protocol's name, empty for none
    bool placebo = false;
    QByteArray gender; // "m" or "f"
    double targetBal = 0;
    // The dose's own peak (StudyRecord::dosePeak): before the booster of a boosted session.
    std::optional<double> peakBal;
    std::optional<float> peakVsTarget; // that peak's, as StudyRecord gives it: none for a placebo
    std::optional<int> releaseAtMinute;
    bool booster = false; // a booster was served (and not voided): the session is boosted
};

// Which records the achievement counts: those whose status is ok, and version-1 records
// (unverified) as well when asked to.
struct StudyCounting {
    bool includeUnverified = false;

    bool counts(RecordStatus status) const;
};

// A record's session for the achievement; none for a record it does not count.
std::optional<AchievementSession> achievementSession(const StudyRecord &record,
                                                     const StudyCounting &counting = {});

// A share of sessions near their target: those whose ratio of observed peak to target lies from
// `low` to `high`, both included, compared as 32-bit floats.
struct WithinShare {
    AchievementColumn column;
    float low;
    float high;
    bool holds(float ratio) const { return ratio >= low && ratio <= high; }
};
inline constexpr std::array<WithinShare, 2> WithinShares{{
    {AchievementColumn::Within10Percent, 0.9f, 1.1f},
    {AchievementColumn::Within20Percent, 0.8f, 1.2f},
}};

// One group of protocol x beverage x gender as the achievement has counted it so far.
struct AchievementGroup {
    QString protocol; // empty for none
    bool placebo = false;
    QByteArray gender;                                // "m" or "f"
    qint64 sessions = 0;                              // every session counted, with a peak or not
    std::array<qint64, WithinShares.size()> within{}; // as WithinShares, in its order

    // How many sessions are within the share of their target that `column` gives.
    qint64 withinCount(AchievementColumn column) const;
};

// The achievement of a study, one row per group of protocol x beverage x gender in that order,
// then one for all the alcohol sessions and one for all the placebo sessions (their protocol and
// gender "all"). It is counted session by session: its memory grows with the number of groups,
// and with the minutes at which sessions reached the release level, never with the number of
// sessions.
//
// Per group: the sessions; their target, or "mixed" where they differ; the mean, standard
// deviation (n - 1), lowest and highest of the dose's own peaks (before any booster); the mean of
// peak / target and the shares of sessions within 10 % and within 20 % of their target (a
// WithinShares); the median minute of release; the number of boosted sessions. The peaks'
// statistics are of the sessions with such a peak, the ratio's of those with a ratio: a placebo
// has none, so a placebo group leaves them empty.
class AchievementTable {
public:
    void add(const AchievementSession &session);
    // The rows, each in the order of AchievementColumns.
    QList<QList<QByteArray>> rows() const;
    // The groups of protocol x beverage x gender, in the order of their rows (the rows for all
    // left out).
    QList<AchievementGroup> groups() const;

private:
    struct Group {
        qint64 sessions = 0;
        double target = 0;
        bool mixedTargets = false;
        qint64 peaks = 0;
        double peakMean = 0;
        double peakSquares = 0; // the sum of squared differences from the mean (Welford)
        double peakMin = 0;
        double peakMax = 0;
        qint64 ratios = 0;
        double ratioMean = 0;
        std::array<qint64, WithinShares.size()> within{}; // as WithinShares, in its order
        std::map<int, qint64> releaseMinutes; // how many sessions reached it at each minute
        qint64 boosters = 0;

        void add(const AchievementSession &session);
        QList<QByteArray> cells(const QByteArray &protocol, const QByteArray &beverage,
                                const QByteArray &gender) const;
    };
    // Protocol, beverage and gender as their cells write them, so the rows sort as they read.
    using Key = std::tuple<QByteArray, QByteArray, QByteArray>;

    std::map<Key, Group> m_groups;
    Group m_allAlcohol;
    Group m_allPlacebo;
};
