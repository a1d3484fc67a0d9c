#include "calc/study/AchievementTable.h"

#include "calc/study/StudyCells.h"

#include <algorithm>
#include <cmath>

namespace {

const QByteArray All = "all";
const QByteArray Mixed = "mixed";

// The median of the minutes counted, the mean of the middle two for an even count.
std::optional<double> median(const std::map<int, qint64> &counts, qint64 total)
{
    if (total == 0)
        return std::nullopt;
    // The 0-based places of the middle one or two.
    const qint64 lower = (total - 1) / 2;
    const qint64 upper = total / 2;
    std::optional<int> lowerMinute;
    qint64 seen = 0;
    for (const auto &[minute, count] : counts) {
        seen += count;
        if (!lowerMinute && seen > lower)
            lowerMinute = minute;
        if (seen > upper)
            return (double(*lowerMinute) + double(minute)) / 2;
    }
    return std::nullopt;
}

} // namespace

qint64 AchievementGroup::withinCount(AchievementColumn column) const
{
    for (std::size_t i = 0; i < WithinShares.size(); ++i) {
        if (WithinShares[i].column == column)
            return within[i];
    }
    return 0;
}

bool StudyCounting::counts(RecordStatus status) const
{
    return status == RecordStatus::Ok || (includeUnverified && status == RecordStatus::Unverified);
}

std::optional<AchievementSession> achievementSession(const StudyRecord &record,
                                                     const StudyCounting &counting)
{
    if (!counting.counts(record.status) || !record.report)
        return std::nullopt;
    const SessionReport &report = *record.report;
    AchievementSession session;
    session.protocol = report.setup.protocolName;
    session.placebo = report.placebo;
    session.gender = StudyCells::gender(report.setup.input.state.Gender);
    session.targetBal = record.targetBal();
    session.peakBal = record.bal(record.dosePeak());
    session.peakVsTarget = record.peakVsTarget(record.dosePeak());
    if (report.outcome.release)
        session.releaseAtMinute = report.readings[*report.outcome.release].atMinute;
    session.booster = report.booster() != nullptr;
    return session;
}

void AchievementTable::Group::add(const AchievementSession &session)
{
    mixedTargets = mixedTargets || (sessions > 0 && session.targetBal != target);
    target = session.targetBal;
    ++sessions;
    if (const std::optional<double> peak = session.peakBal) {
        peakMin = peaks == 0 ? *peak : std::min(peakMin, *peak);
        peakMax = peaks == 0 ? *peak : std::max(peakMax, *peak);
        ++peaks;
        const double delta = *peak - peakMean;
        peakMean += delta / double(peaks);
        peakSquares += delta * (*peak - peakMean);
    }
    if (const std::optional<float> ratio = session.peakVsTarget) {
        ++ratios;
        ratioMean += (double(*ratio) - ratioMean) / double(ratios);
        for (std::size_t i = 0; i < WithinShares.size(); ++i)
            within[i] += WithinShares[i].holds(*ratio) ? 1 : 0;
    }
    if (session.releaseAtMinute)
        ++releaseMinutes[*session.releaseAtMinute];
    boosters += session.booster ? 1 : 0;
}

QList<QByteArray> AchievementTable::Group::cells(const QByteArray &protocol,
                                                 const QByteArray &beverage,
                                                 const QByteArray &gender) const
{
    using C = AchievementColumn;
    using namespace StudyCells;
    QList<QByteArray> row(qsizetype(AchievementColumns.size()));
    const auto cell = [&row](C column) -> QByteArray & { return row[qsizetype(column)]; };
    cell(C::Protocol) = protocol;
    cell(C::Beverage) = beverage;
    cell(C::Gender) = gender;
    cell(C::Sessions) = whole(sessions);
    if (sessions > 0)
        cell(C::Target) = mixedTargets ? Mixed : number(target);
    if (peaks > 0) {
        cell(C::PeakMean) = statistic(peakMean);
        cell(C::PeakMin) = number(peakMin);
        cell(C::PeakMax) = number(peakMax);
    }
    if (peaks > 1)
        cell(C::PeakSd) = statistic(std::sqrt(peakSquares / double(peaks - 1)));
    if (ratios > 0) {
        cell(C::PeakVsTargetMean) = statistic(ratioMean);
        for (std::size_t i = 0; i < WithinShares.size(); ++i)
            cell(WithinShares[i].column) = statistic(double(within[i]) / double(ratios));
    }
    qint64 released = 0;
    for (const auto &minute : releaseMinutes)
        released += minute.second;
    cell(C::ReleaseMinMedian) = optional(median(releaseMinutes, released), minutes);
    cell(C::Boosters) = whole(boosters);
    cell(C::Boosted) = whole(boosters);
    return row;
}

void AchievementTable::add(const AchievementSession &session)
{
    m_groups[{session.protocol.toUtf8(), StudyCells::beverage(session.placebo), session.gender}]
        .add(session);
    (session.placebo ? m_allPlacebo : m_allAlcohol).add(session);
}

QList<QList<QByteArray>> AchievementTable::rows() const
{
    QList<QList<QByteArray>> rows;
    for (const auto &[key, group] : m_groups)
        rows << group.cells(std::get<0>(key), std::get<1>(key), std::get<2>(key));
    rows << m_allAlcohol.cells(All, StudyCells::beverage(false), All)
         << m_allPlacebo.cells(All, StudyCells::beverage(true), All);
    return rows;
}

QList<AchievementGroup> AchievementTable::groups() const
{
    QList<AchievementGroup> groups;
    for (const auto &[key, group] : m_groups) {
        const auto &[protocol, beverage, gender] = key;
        groups << AchievementGroup{QString::fromUtf8(protocol),
                                   beverage == StudyCells::beverage(true), gender, group.sessions,
                                   group.within};
    }
    return groups;
}
