#pragma once

#include "calc/session/SessionReport.h"
#include "tests/support/SessionSupport.h"

#include <QString>

// Sessions of the worked example as the chart and the printed pages present them, each by name:
// "plain" (nothing entered yet), "served" (every portion served on time), "booster" (served,
// three readings falling from 0.06, a booster at 112 minutes over 10 and three readings after
// it), "many readings" (thirty, every 12 minutes from a baseline), "placebo" (a float of 5 ml,
// served, two readings), "breath" (the booster's session in mg/L of breath at 2000:1) and
// "personal" (served, five readings falling from 0.08 at 70 minutes: a personal forecast).
namespace ChartSessions {

inline SessionRecord record(const QString &name)
{
    using namespace SessionSupport;
    const bool breath = name == QLatin1String("breath");
    auto session =
        workedSession(breath ? LevelScale{LevelUnit::MilligramsPerLitre, 2000} : LevelScale{});
    session->setSessionCode(QStringLiteral("T-017"));
    if (name == QLatin1String("placebo"))
        session->setBeverage(true, 5);
    SessionRecord record = session->record();
    if (name == QLatin1String("plain"))
        return record;
    for (const auto &[number, minute] : {std::pair{1, 0}, {2, 13}, {3, 27}})
        appendServed(record, number, minute);
    if (name == QLatin1String("booster") || breath) {
        const float unit = breath ? 5 : 1; // mg/L of breath per g/100 ml at 2000:1
        for (const auto &[minute, level] : {std::pair{70, 0.06f}, {85, 0.057f}, {100, 0.054f}})
            appendReading(record, minute, level * unit);
        appendBooster(record, 112, 10);
        for (const auto &[minute, level] : {std::pair{135, 0.07f}, {150, 0.075f}, {170, 0.07f}})
            appendReading(record, minute, level * unit);
    } else if (name == QLatin1String("many readings")) {
        // Rising by 0.01 to 0.08, then falling by 0.005 to 0, as typed.
        for (int i = 0; i < 30; ++i) {
            const double level = i < 8 ? 0.01 * i : std::max(0.0, 0.08 - 0.005 * (i - 8));
            appendReading(record, -5 + i * 12, QString::number(level, 'f', 3).toFloat());
        }
    } else if (name == QLatin1String("personal")) {
        for (const auto &[minute, level] :
             {std::pair{70, 0.08f}, {85, 0.077f}, {100, 0.073f}, {115, 0.069f}, {130, 0.066f}})
            appendReading(record, minute, level);
    } else if (name == QLatin1String("placebo")) {
        appendReading(record, 70, 0.004f);
        appendReading(record, 100, 0.002f);
    }
    return record;
}

inline SessionReport report(const QString &name, int nowMinute = 200)
{
    SessionReportOptions options;
    options.locale = QLocale::c();
    return evaluateSession(record(name), SessionSupport::at(nowMinute), options);
}

} // namespace ChartSessions
