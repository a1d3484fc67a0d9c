#include "tools/pourwise-dose/SessionOptions.h"

#include "calc/NumberText.h"
#include "calc/PersonalForecast.h"
#include "calc/Placebo.h"
#include "calc/SessionBooster.h"
#include "calc/SessionRules.h"

#include <QCommandLineParser>
#include <charconv>
#include <cmath>

namespace {

const QString ReadingOption = QStringLiteral("reading");
const QString BoosterOption = QStringLiteral("booster-dd");
const QString BoosterServedOption = QStringLiteral("booster-served");
const QString PlaceboOption = QStringLiteral("placebo");
const QString FloatOption = QStringLiteral("float");
const QString ReadingSdOption = QStringLiteral("reading-sd");

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
    parser.addOption({ReadingSdOption, {}, QStringLiteral("SD")});
}

bool SessionOptions::repeatable(const QString &option)
{
    return option == ReadingOption;
}

bool SessionOptions::read(const QCommandLineParser &parser, bool roster, bool plan,
                          SessionRequest &session, QString &errorText)
{
    for (const QString &option : {ReadingOption, BoosterOption, BoosterServedOption, PlaceboOption,
                                  FloatOption, ReadingSdOption}) {
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
    if (parser.isSet(ReadingSdOption)) {
        const SingleFromText sd = number(parser.value(ReadingSdOption));
        if (!sd.ok() || !std::isfinite(sd.value) || !(sd.value > 0))
            return fail(errorText, QStringLiteral("--reading-sd \"%1\" is not a number above 0 in "
                                                  "the unit of --level-unit; use \".\" as the "
                                                  "decimal separator")
                                       .arg(parser.value(ReadingSdOption)));
        session.readingSd = sd.value;
    }
    return true;
}

QString SessionOptions::helpText()
{
    return QStringLiteral(
               "Session, with --plan, for one participant, judged as the window judges it:\n"
               "  --reading MIN=LEVEL\n"
               "                 a measured level MIN whole minutes after the start of drinking\n"
               "                 (below 0 for a baseline), in the unit of --level-unit and not\n"
               "                 below 0; repeat it in time order. Adds one line per reading,\n"
               "                 \"reading N at_min M level L expected E difference D NOTE\":\n"
               "                 N from 1, L as given, E the level the plan expects at M and D\n"
               "                 the reading less E, both written as peak_bal is (or as\n"
               "                 peak_level with --level-unit) and \"none\" for a placebo; with\n"
               "                 --band, \"band_low L band_high H\" before NOTE, the band's\n"
               "                 edges at M. NOTE is counts; baseline, before the start;\n"
               "                 mouth_alcohol, less than %2 minutes after drinking or the\n"
               "                 booster's drinking ends, which may hold alcohol left in the\n"
               "                 mouth; or booster, a reading that counts, after the booster.\n"
               "                 Then what the counting readings show: the highest\n"
               "                 (observed_peak, observed_peak_at_min); the descending limb,\n"
               "                 two falling readings in a row after the last rise since the\n"
               "                 booster (descending_shown_at_min); the rise that withdrew it\n"
               "                 while it is not shown again (descending_withdrawn_at_min);\n"
               "                 the first reading from the limb on at or below the release\n"
               "                 level, for a placebo the first after which none is above it\n"
               "                 (release_reached_at_min); each \"none\" until shown. A reading\n"
               "                 above twice the expected peak (a placebo's: its target) is\n"
               "                 likely a slip and gives a line starting \"WARNING: \". Then\n"
               "                 the personal forecast, once the limb is shown, from the\n"
               "                 counting readings of its phase from their highest on, at least\n"
               "                 %5 with the last two falls: how many (personal_readings), the\n"
               "                 participant's own elimination in g/100 ml per hour\n"
               "                 (personal_elimination) with its 80 % interval\n"
               "                 (personal_elimination_low, personal_elimination_high), the\n"
               "                 minute expected below the release level\n"
               "                 (personal_release_at_min) and the first minutes at which the\n"
               "                 band's lower, then its upper edge is at or below it\n"
               "                 (personal_release_band_from_min, personal_release_band_to_min);\n"
               "                 each \"none\" while it does not apply, the times also while the\n"
               "                 rate's interval reaches down to 0. It only says when a reading\n"
               "                 is worth taking: only a reading releases a participant\n"
               "  --reading-sd SD\n"
               "                 the standard deviation of one reading, in the unit of\n"
               "                 --level-unit, for the personal forecast; without it the\n"
               "                 protocol's device.readingSd, else %6 g/100 ml\n"
               "  --booster-dd MIN\n"
               "                 also the booster drunk over MIN minutes, a whole number from\n"
               "                 %3 to %4, that brings the latest counting reading back to the\n"
               "                 target (booster_alcohol_ml, booster_mixer_ml,\n"
               "                 booster_total_ml), estimated after the last reading. It is\n"
               "                 refused, with a line starting \"ERROR: \" and exit status 1,\n"
               "                 until the descending limb is shown, while the latest reading\n"
               "                 may hold mouth alcohol or is at or above the target, and for a\n"
               "                 placebo\n"
               "  --booster-served MIN\n"
               "                 the booster is served MIN whole minutes after the start of\n"
               "                 drinking: estimated from the readings before it, it adds\n"
               "                 booster_served_at_min, its expected peak (booster_peak,\n"
               "                 written as peak_bal is, or as peak_level), the minutes to it\n"
               "                 (booster_peak_after_min), with --band the peak's band\n"
               "                 (booster_peak_band_low, booster_peak_band_high), and the\n"
               "                 minutes to below the release level (booster_release_after_min)\n"
               "                 and to zero (booster_zero_after_min); the readings from MIN on\n"
               "                 are judged against its course\n"
               "  --placebo      also the placebo portions: each keeps its total, with a float\n"
               "                 of spirit on top and the rest mixer (placebo_portion lines)\n"
               "  --float ML     the placebo's float in whole ml (default %1), at most the\n"
               "                 smallest portion\n"
               "Example: adding --reading 70=0.06 --reading 85=0.057 --reading 100=0.054\n"
               "--booster-dd 10 to the plan's example prints after the portions\n"
               "  reading 1 at_min 70 level 0.06 expected 0.0807 difference -0.0207 counts\n"
               "  reading 2 at_min 85 level 0.057 expected 0.0769 difference -0.0199 counts\n"
               "  reading 3 at_min 100 level 0.054 expected 0.0732 difference -0.0192 counts\n"
               "  observed_peak 0.06\n"
               "  observed_peak_at_min 70\n"
               "  descending_shown_at_min 100\n"
               "  descending_withdrawn_at_min none\n"
               "  release_reached_at_min none\n"
               "  personal_readings 3\n"
               "  personal_elimination 0.0157\n"
               "  personal_elimination_low 0.0121\n"
               "  personal_elimination_high 0.0193\n"
               "  personal_release_at_min 227\n"
               "  personal_release_band_from_min 199\n"
               "  personal_release_band_to_min 272\n"
               "  booster_alcohol_ml 25\n"
               "  booster_mixer_ml 150\n"
               "  booster_total_ml 175\n"
               "and with --booster-served 110 the personal lines \"none\", the booster's phase\n"
               "holding no reading yet, and after booster_total_ml also\n"
               "  booster_served_at_min 110\n"
               "  booster_peak 0.0801\n"
               "  booster_peak_after_min 150\n"
               "  booster_release_after_min 390\n"
               "  booster_zero_after_min 470\n"
               "The readings --reading 5=0.025 --reading 10=0.012 --reading 15=0.009\n"
               "--reading 30=0.015 --reading 45=0.025 --reading 60=0.033 are mouth_alcohol up\n"
               "to 45 minutes: only the last counts, so the fall to 0.009 shows nothing\n"
               "  observed_peak 0.033\n"
               "  observed_peak_at_min 60\n"
               "  descending_shown_at_min none\n"
               "  descending_withdrawn_at_min none\n"
               "  release_reached_at_min none\n"
               "  personal_readings none\n"
               "  personal_elimination none\n"
               "  personal_elimination_low none\n"
               "  personal_elimination_high none\n"
               "  personal_release_at_min none\n"
               "  personal_release_band_from_min none\n"
               "  personal_release_band_to_min none\n")
        .arg(Placebo::DefaultFloatMl)
        .arg(SessionRules::MouthAlcoholMinutes)
        .arg(BoosterPeriod::Minimum)
        .arg(BoosterPeriod::Maximum)
        .arg(PersonalPrior::LeastReadings)
        .arg(PersonalPrior::ReadingSd);
}
