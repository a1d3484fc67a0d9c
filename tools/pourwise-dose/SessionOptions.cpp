#include "tools/pourwise-dose/SessionOptions.h"

#include "calc/dose/NumberText.h"
#include "calc/dose/PersonalForecast.h"
#include "calc/dose/Placebo.h"
#include "calc/session/SessionBooster.h"
#include "calc/session/SessionRules.h"

#include <QCommandLineParser>
#include <charconv>
#include <cmath>

namespace {

const QString ReadingOption = QStringLiteral("reading");
const QString BoosterOption = QStringLiteral("booster-dd");
const QString BoosterServedOption = QStringLiteral("booster-served");
const QString PlaceboOption = QStringLiteral("placebo");
const QString FloatOption = QStringLiteral("float");
const QString ConfirmOption = QStringLiteral("release-confirm");
const QString ApartOption = QStringLiteral("release-apart");
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
    parser.addOption({ConfirmOption, {}, QStringLiteral("N")});
    parser.addOption({ApartOption, {}, QStringLiteral("MIN")});
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
                                  FloatOption, ReadingSdOption, ConfirmOption, ApartOption}) {
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
        if (!sd.ok() || !acceptsReadingSd(sd.value))
            return fail(errorText, QStringLiteral("--reading-sd \"%1\" is not a number above 0 in "
                                                  "the unit of --level-unit; use \".\" as the "
                                                  "decimal separator")
                                       .arg(parser.value(ReadingSdOption)));
        session.readingSd = sd.value;
    }
    if (parser.isSet(ConfirmOption)) {
        const std::optional<int> readings = wholeMinutes(parser.value(ConfirmOption));
        if (!readings || !acceptsConfirmingReadings(float(*readings)))
            return fail(errorText, QStringLiteral("--release-confirm \"%1\" is not a whole number "
                                                  "from %2 to %3")
                                       .arg(parser.value(ConfirmOption))
                                       .arg(ReleaseLimits::MinimumReadings)
                                       .arg(ReleaseLimits::MaximumReadings));
        session.confirmingReadings = readings;
    }
    if (parser.isSet(ApartOption)) {
        const std::optional<int> minutes = wholeMinutes(parser.value(ApartOption));
        if (!minutes || !acceptsMinutesApart(float(*minutes)))
            return fail(errorText, QStringLiteral("--release-apart \"%1\" is not a whole number "
                                                  "of minutes from %2 to %3")
                                       .arg(parser.value(ApartOption))
                                       .arg(ReleaseLimits::MinimumMinutesApart)
                                       .arg(ReleaseLimits::MaximumMinutesApart));
        session.minutesApart = minutes;
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
               "                 A counting reading more than %7 g/100 ml an hour below the\n"
               "                 counting reading before it in its phase (the booster starts a\n"
               "                 new one) fell faster than a body eliminates: "
               "\"implausible_fall\"\n"
               "                 follows its NOTE. Then what the counting readings show: the\n"
               "                 highest (observed_peak, observed_peak_at_min); the descending\n"
               "                 limb, two falling readings in a row after the last rise since\n"
               "                 the booster (descending_shown_at_min); the rise that withdrew\n"
               "                 it while it is not shown again (descending_withdrawn_at_min);\n"
               "                 the first reading from the limb on at or below the release\n"
               "                 level, for a placebo the first after which none is above it,\n"
               "                 that did not fall implausibly and, with --release-confirm,\n"
               "                 confirms the others (release_reached_at_min); each \"none\"\n"
               "                 until shown. When the release asks for more than one reading\n"
               "                 or a reading fell implausibly, also the first reading at or\n"
               "                 below the release level that has not released the participant\n"
               "                 (release_waits_for_confirmation_at_min, \"none\" for none). A\n"
               "                 reading above twice the expected peak (a placebo's: its\n"
               "                 target), or one that fell implausibly, is likely a slip and\n"
               "                 gives a line starting \"WARNING: \". Then the personal\n"
               "                 forecast, once the limb is shown, from the counting readings\n"
               "                 of its phase from their highest on, at least %5 with the last\n"
               "                 two falls: how many (personal_readings), the participant's own\n"
               "                 elimination in g/100 ml per hour (personal_elimination) with\n"
               "                 its 80 % interval (personal_elimination_low,\n"
               "                 personal_elimination_high), the minute expected below the\n"
               "                 release level (personal_release_at_min) and the first minutes\n"
               "                 at which the band's lower, then its upper edge is at or below\n"
               "                 it (personal_release_band_from_min,\n"
               "                 personal_release_band_to_min); each \"none\" while it does not\n"
               "                 apply, the times also while the rate's interval reaches down\n"
               "                 to 0. It only says when a reading is worth taking: only a\n"
               "                 reading releases a participant\n"
               "  --reading-sd SD\n"
               "                 the standard deviation of one reading, in the unit of\n"
               "                 --level-unit, for the personal forecast; without it the\n"
               "                 protocol's device.readingSd, else %6 g/100 ml\n"
               "  --release-confirm N\n"
               "                 N counting readings at or below the release level release the\n"
               "                 participant, a whole number from %8 to %9 (default: the\n"
               "                 protocol's release.confirmingReadings, else 1)\n"
               "  --release-apart MIN\n"
               "                 each at least MIN minutes after the one before, a whole number\n"
               "                 from %10 to %11 (default: the protocol's release.minutesApart,\n"
               "                 else %12)\n"
               "  --booster-dd MIN\n"
               "                 also the booster drunk over MIN minutes, a whole number from\n"
               "                 %3 to %4, that brings the latest counting reading, carried to\n"
               "                 the booster's time at 0.015 g/100 ml an hour and never below 0\n"
               "                 (booster_from_level, in the unit of the readings and written\n"
               "                 as a reading is), back to the target (booster_alcohol_ml,\n"
               "                 booster_mixer_ml, booster_total_ml), estimated after the last\n"
               "                 reading. It is refused, with a line starting \"ERROR: \" and\n"
               "                 exit status 1, until the descending limb is shown, while the\n"
               "                 latest reading may hold mouth alcohol, fell implausibly, is\n"
               "                 more than %13 minutes before the booster or at or above the\n"
               "                 target, once the release level is reached, and for a placebo\n"
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
               "  booster_from_level 0.05375\n"
               "With --booster-served 115 the booster starts from the reading at 100, 15 minutes\n"
               "old, carried to 115: 0.054 - 0.015 x 15 / 60. Served, the readings before it\n"
               "show no limb of its phase and the personal lines are \"none\"; after them come\n"
               "  descending_shown_at_min none\n"
               "  personal_readings none\n"
               "  booster_alcohol_ml 28\n"
               "  booster_mixer_ml 168\n"
               "  booster_total_ml 196\n"
               "  booster_from_level 0.05025\n"
               "  booster_served_at_min 115\n"
               "  booster_peak 0.0807\n"
               "  booster_peak_after_min 155\n"
               "  booster_release_after_min 398\n"
               "  booster_zero_after_min 478\n"
               "The readings --reading 80=0.072 --reading 95=0.070 --reading 110=0.068\n"
               "--reading 125=0.006, the last a slip for 0.066, show the limb at 110, but 0.006\n"
               "fell 0.248 an hour and does not release\n"
               "  reading 1 at_min 80 level 0.072 expected 0.0782 difference -0.0062 counts\n"
               "  reading 2 at_min 95 level 0.07 expected 0.0744 difference -0.0044 counts\n"
               "  reading 3 at_min 110 level 0.068 expected 0.0707 difference -0.0027 counts\n"
               "  reading 4 at_min 125 level 0.006 expected 0.0669 difference -0.0609 counts "
               "implausible_fall\n"
               "  observed_peak 0.072\n"
               "  observed_peak_at_min 80\n"
               "  descending_shown_at_min 110\n"
               "  release_reached_at_min none\n"
               "  release_waits_for_confirmation_at_min 125\n"
               "  personal_readings 3\n"
               "  personal_elimination 0.0154\n"
               "  personal_elimination_low 0.0118\n"
               "  personal_elimination_high 0.0190\n"
               "  personal_release_at_min 290\n"
               "  personal_release_band_from_min 252\n"
               "  personal_release_band_to_min 351\n"
               "  WARNING: The reading of 0.006 g/100 ml at minute 125 is 0.062 below the\n"
               "  reading at minute 110, a fall of 0.248 per hour; no body eliminates faster\n"
               "  than 0.040 per hour: it may be a slip.\n"
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
        .arg(PersonalPrior::ReadingSd)
        .arg(QString::number(SessionRules::FastestFallBalPerHour, 'f', 3))
        .arg(ReleaseLimits::MinimumReadings)
        .arg(ReleaseLimits::MaximumReadings)
        .arg(ReleaseLimits::MinimumMinutesApart)
        .arg(ReleaseLimits::MaximumMinutesApart)
        .arg(ReleaseLimits::DefaultMinutesApart)
        .arg(SessionRules::FreshReadingMinutes);
}
