#include "tools/pourwise-dose/SessionOptions.h"

#include "calc/NumberText.h"
#include "calc/Placebo.h"

#include <QCommandLineParser>
#include <charconv>

namespace {

const QString ReadingOption = QStringLiteral("reading");
const QString BoosterOption = QStringLiteral("booster-dd");
const QString BoosterServedOption = QStringLiteral("booster-served");
const QString PlaceboOption = QStringLiteral("placebo");
const QString FloatOption = QStringLiteral("float");

SingleFromText number(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return TextToSingle(std::string_view(utf8.constData(), std::size_t(utf8.size())));
}

// Whole minutes, as an int.
std::optional<int> wholeMinutes(const QString &text)
{
    const QByteArray minutes = text.trimmed().toUtf8();
    int value = 0;
    const auto [end, ec] = std::from_chars(minutes.constData(), minutes.constEnd(), value);
    if (minutes.isEmpty() || ec != std::errc() || end != minutes.constEnd())
        return std::nullopt;
    return value;
}

// "70=0.06": whole minutes, "=", and the level.
std::optional<GivenReading> readingOf(const QString &text)
{
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    const std::optional<int> minutes = wholeMinutes(text.left(equals));
    const SingleFromText level = number(text.mid(equals + 1));
    if (equals < 0 || !minutes || !level.ok())
        return std::nullopt;
    return GivenReading{*minutes, level.value};
}

bool fail(QString &errorText, const QString &text)
{
    errorText = text;
    return false;
}

} // namespace

void SessionOptions::add(QCommandLineParser &parser)
{
    parser.addOption({ReadingOption, {}, QStringLiteral("MIN=LEVEL")});
    parser.addOption({BoosterOption, {}, QStringLiteral("MIN")});
    parser.addOption({BoosterServedOption, {}, QStringLiteral("MIN")});
    parser.addOption({PlaceboOption, {}});
    parser.addOption({FloatOption, {}, QStringLiteral("ML")});
}

bool SessionOptions::repeatable(const QString &option)
{
    return option == ReadingOption;
}

bool SessionOptions::read(const QCommandLineParser &parser, bool roster, bool plan,
                          SessionRequest &session, QString &errorText)
{
    for (const QString &option :
         {ReadingOption, BoosterOption, BoosterServedOption, PlaceboOption, FloatOption}) {
        if (!parser.isSet(option))
            continue;
        if (roster)
            return fail(errorText, QStringLiteral("--%1 applies to one participant, not to a "
                                                  "roster (--csv)")
                                       .arg(option));
        if (!plan)
            return fail(errorText,
                        QStringLiteral("--%1 belongs to a session plan: add --plan").arg(option));
    }
    if (parser.isSet(FloatOption) && !parser.isSet(PlaceboOption))
        return fail(errorText, QStringLiteral("--float belongs to a placebo: add --placebo"));
    for (const QString &text : parser.values(ReadingOption)) {
        const std::optional<GivenReading> reading = readingOf(text);
        if (!reading)
            return fail(errorText, QStringLiteral("--reading \"%1\" is not MIN=LEVEL: whole "
                                                  "minutes after the start of drinking, \"=\" "
                                                  "and the level, with \".\" as the decimal "
                                                  "separator")
                                       .arg(text));
        if (!session.readings.isEmpty() &&
            reading->atMinute < session.readings.constLast().atMinute)
            return fail(errorText, QStringLiteral("--reading \"%1\" is earlier than the reading "
                                                  "before it: give the readings in time order")
                                       .arg(text));
        session.readings.append(*reading);
    }
    if (parser.isSet(BoosterOption)) {
        const SingleFromText minutes = number(parser.value(BoosterOption));
        if (!minutes.ok())
            return fail(errorText, QStringLiteral("--booster-dd \"%1\" is not a number; use "
                                                  "\".\" as the decimal separator")
                                       .arg(parser.value(BoosterOption)));
        session.boosterMinutes = minutes.value;
    }
    if (parser.isSet(BoosterServedOption)) {
        if (!parser.isSet(BoosterOption))
            return fail(errorText, QStringLiteral("--booster-served belongs to a booster: add "
                                                  "--booster-dd MIN, its drinking period"));
        const std::optional<int> minute = wholeMinutes(parser.value(BoosterServedOption));
        // Nothing is served before the start of drinking.
        if (!minute || *minute < 0)
            return fail(errorText, QStringLiteral("--booster-served \"%1\" is not whole minutes "
                                                  "after the start of drinking, from 0 on")
                                       .arg(parser.value(BoosterServedOption)));
        session.boosterServedAt = minute;
    }
    session.placebo = parser.isSet(PlaceboOption);
    if (parser.isSet(FloatOption)) {
        const SingleFromText floatMl = number(parser.value(FloatOption));
        if (!floatMl.ok())
            return fail(errorText, QStringLiteral("--float \"%1\" is not a number of ml")
                                       .arg(parser.value(FloatOption)));
        session.floatMl = floatMl.value;
    }
    return true;
}

QString SessionOptions::helpText()
{
    return QStringLiteral(
               "Session, with --plan, for one participant:\n"
               "  --reading MIN=LEVEL\n"
               "                 a measured level MIN whole minutes after the start of drinking\n"
               "                 (below 0 for a baseline), in the unit of --level-unit; repeat\n"
               "                 it in time order. Adds the highest reading (observed_peak,\n"
               "                 observed_peak_at_min), when two falling readings in a row\n"
               "                 showed the descending limb (descending_shown_at_min) and the\n"
               "                 first reading from then on at or below the release level\n"
               "                 (release_reached_at_min), \"none\" for either not yet shown\n"
               "  --booster-dd MIN\n"
               "                 also the booster drunk over MIN minutes that brings the latest\n"
               "                 reading back to the target (booster_alcohol_ml,\n"
               "                 booster_mixer_ml, booster_total_ml), offered once the limb\n"
               "                 descends and the latest reading is below the target\n"
               "  --placebo      also the placebo portions: each keeps its total, with a float\n"
               "                 of spirit on top and the rest mixer (placebo_portion lines)\n"
               "  --float ML     the placebo's float in whole ml (default %1), at most the\n"
               "                 smallest portion\n"
               "Example: adding --reading 70=0.06 --reading 85=0.057 --reading 100=0.054\n"
               "--booster-dd 10 to the plan's example prints after the portions\n"
               "  observed_peak 0.06\n"
               "  observed_peak_at_min 70\n"
               "  descending_shown_at_min 100\n"
               "  release_reached_at_min none\n"
               "  booster_alcohol_ml 25\n"
               "  booster_mixer_ml 150\n"
               "  booster_total_ml 175\n")
        .arg(Placebo::DefaultFloatMl);
}
