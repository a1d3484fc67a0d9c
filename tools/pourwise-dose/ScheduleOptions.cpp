#include "tools/pourwise-dose/ScheduleOptions.h"

#include "calc/dose/Protocol.h"
#include "calc/session/SessionRules.h"

#include <QCommandLineParser>
#include <charconv>
#include <optional>

namespace {

const QString ServedOption = QStringLiteral("served");
const QString ScheduleOption = QStringLiteral("schedule");
const QString NowOption = QStringLiteral("now");

std::optional<int> wholeNumber(const QString &text)
{
    const QByteArray digits = text.trimmed().toUtf8();
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.constData(), digits.constEnd(), value);
    if (digits.isEmpty() || ec != std::errc() || end != digits.constEnd())
        return std::nullopt;
    return value;
}

bool refused(QString &errorText, const QString &text)
{
    errorText = text;
    return false;
}

} // namespace

void ScheduleOptions::add(QCommandLineParser &parser)
{
    parser.addOption({ServedOption, {}, QStringLiteral("N=MIN")});
    parser.addOption({ScheduleOption, {}});
    parser.addOption({NowOption, {}, QStringLiteral("MIN")});
}

bool ScheduleOptions::repeatable(const QString &option)
{
    return option == ServedOption;
}

bool ScheduleOptions::read(const QCommandLineParser &parser, bool roster, bool plan,
                           ScheduleRequest &schedule, QString &errorText)
{
    for (const QString &option : {ServedOption, ScheduleOption, NowOption}) {
        if (!parser.isSet(option))
            continue;
        if (roster)
            return refused(errorText, QStringLiteral("--%1 applies to one participant, not to a "
                                                     "roster (--csv)")
                                          .arg(option));
        if (!plan)
            return refused(
                errorText,
                QStringLiteral("--%1 belongs to a session plan: add --plan").arg(option));
    }
    if (parser.isSet(ScheduleOption) != parser.isSet(NowOption))
        return refused(errorText, QStringLiteral("--schedule and --now MIN go together: the "
                                                 "schedule is told at a minute"));
    for (const QString &text : parser.values(ServedOption)) {
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        const std::optional<int> portion = wholeNumber(text.left(equals));
        const std::optional<int> minute = wholeNumber(text.mid(equals + 1));
        if (equals < 0 || !portion || !minute)
            return refused(errorText, QStringLiteral("--served \"%1\" is not N=MIN: the portion's "
                                                     "number, \"=\" and whole minutes after the "
                                                     "start of drinking")
                                          .arg(text));
        schedule.served.append({*portion, *minute});
    }
    schedule.schedule = parser.isSet(ScheduleOption);
    if (schedule.schedule) {
        const std::optional<int> now = wholeNumber(parser.value(NowOption));
        if (!now)
            return refused(errorText, QStringLiteral("--now \"%1\" is not whole minutes after the "
                                                     "start of drinking")
                                          .arg(parser.value(NowOption)));
        schedule.nowMinute = *now;
    }
    return true;
}

QString ScheduleOptions::helpText()
{
    return QStringLiteral(
               "Schedule, with --plan, for one participant, as the window's Lab Day tells it:\n"
               "  --served N=MIN portion N was served MIN whole minutes after the start of\n"
               "                 drinking; repeat it for each portion served. Drinking ends at\n"
               "                 the later of the drinking period's end and the last portion\n"
               "                 served\n"
               "  --schedule     also what is due at --now: one line per item, earliest first,\n"
               "                 \"due portion N at_min M\" for each portion not served, at its\n"
               "                 planned minute, and \"due reading at_min M\" for the next\n"
               "                 reading: at the later of the last reading plus the interval\n"
               "                 (%1 minutes, or the protocol's schedule.readingEveryMinutes)\n"
               "                 and the drinking's end plus %2 minutes, after a booster its\n"
               "                 drinking's end; with the protocol's\n"
               "                 schedule.readingsDuringDrinking, the interval after the start of\n"
               "                 drinking (or of the booster) instead of the wait. Then\n"
               "                 next_due_at_min, the earliest item's minute, and overdue, how\n"
               "                 many items fall before --now. Nothing is due once the\n"
               "                 participant is released (next_due_at_min none, overdue 0); a\n"
               "                 placebo's schedule follows the same rules\n"
               "  --now MIN      the minute after the start of drinking the schedule is told at\n"
               "Example: adding --served 1=0 --served 2=13 --served 3=27 --schedule --now 60\n"
               "to the plan's example prints after the portions\n"
               "  due reading at_min 55\n"
               "  next_due_at_min 55\n"
               "  overdue 1\n")
        .arg(ProtocolSchedule::DefaultReadingEveryMinutes)
        .arg(SessionRules::MouthAlcoholMinutes);
}
