#include "tools/pourwise-dose/PlanOptions.h"

#include "calc/dose/NumberText.h"
#include "tools/pourwise-dose/output/PlanOutput.h"

#include <QCommandLineParser>

namespace {

const QString PlanOption = QStringLiteral("plan");
const QString PortionsOption = QStringLiteral("portions");
const QString ReleaseOption = QStringLiteral("release");
const QString BandOption = QStringLiteral("band");

QString defaultReleaseText()
{
    char buffer[32];
    const std::string_view text =
        SingleToText(float(SessionPlanLimits::DefaultReleaseLevel), buffer);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// `text` in lines of at most 79 characters, broken at blanks or after a comma, so that a long
// list of columns wraps too.
QString wrapped(const QString &text)
{
    constexpr qsizetype Width = 79;
    QString result;
    qsizetype lineStart = 0;
    qsizetype lastBreak = -1; // where the line may end: after a comma, or at a blank
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char(' ') || (i > 0 && text[i - 1] == QLatin1Char(',')))
            lastBreak = i;
        if (i - lineStart >= Width && lastBreak > lineStart) {
            result += text.mid(lineStart, lastBreak - lineStart) + QLatin1Char('\n');
            lineStart = text[lastBreak] == QLatin1Char(' ') ? lastBreak + 1 : lastBreak;
        }
    }
    return result + text.mid(lineStart) + QLatin1Char('\n');
}

template <std::size_t Size> QString planColumns(const std::array<std::string_view, Size> &columns)
{
    QStringList names;
    for (std::string_view column : columns)
        names << QString::fromLatin1(column.data(), qsizetype(column.size()));
    return names.join(QLatin1Char(','));
}

} // namespace

void PlanOptions::add(QCommandLineParser &parser)
{
    parser.addOption({PlanOption, {}});
    parser.addOption({PortionsOption, {}, QStringLiteral("N")});
    parser.addOption({ReleaseOption, {}, QStringLiteral("L")});
    parser.addOption({BandOption, {}});
}

bool PlanOptions::read(const QCommandLineParser &parser, bool roster, const LevelScale &level,
                       const SessionPlanSettings &defaults,
                       std::optional<SessionPlanSettings> &plan, bool &band, QString &errorText)
{
    if (!parser.isSet(PlanOption)) {
        for (const QString &option : {PortionsOption, ReleaseOption, BandOption}) {
            if (parser.isSet(option)) {
                errorText =
                    QStringLiteral("--%1 belongs to a session plan: add --plan").arg(option);
                return false;
            }
        }
        return true;
    }
    SessionPlanSettings settings = defaults;
    if (parser.isSet(PortionsOption)) {
        if (roster) {
            errorText = QStringLiteral("--portions applies to one participant: a roster's plan "
                                       "columns hold no portions");
            return false;
        }
        const QString text = parser.value(PortionsOption).trimmed();
        bool isNumber = false;
        const int portions = text.toInt(&isNumber);
        if (!isNumber || !acceptsPortions(float(portions))) {
            errorText = QStringLiteral("--portions \"%1\" is not a whole number from %2 to %3")
                            .arg(parser.value(PortionsOption))
                            .arg(SessionPlanLimits::MinimumPortions)
                            .arg(SessionPlanLimits::MaximumPortions);
            return false;
        }
        settings.portions = portions;
    }
    if (parser.isSet(ReleaseOption)) {
        const QByteArray text = parser.value(ReleaseOption).toUtf8();
        const SingleFromText release =
            TextToSingle(std::string_view(text.constData(), std::size_t(text.size())));
        if (!release.ok() || !acceptsReleaseLevel(level.toBal(release.value))) {
            errorText = QStringLiteral("--release \"%1\" is not a number above 0 (%2); use "
                                       "\".\" as the decimal separator")
                            .arg(parser.value(ReleaseOption), level.unitText());
            return false;
        }
        settings.releaseLevel = level.toBal(release.value);
    }
    plan = settings;
    band = parser.isSet(BandOption);
    return true;
}

QString PlanOptions::helpText()
{
    return QStringLiteral(
               "Session plan, by the dosing model's own assumptions (absorption until 30 minutes\n"
               "after drinking ends, elimination of 0.015 g/100 ml per hour); it is an\n"
               "expectation, not a measurement: measure breath alcohol before release.\n"
               "  --plan         also print the expected peak BAL (g/100 ml, 4 decimals), the\n"
               "                 minutes after the start of drinking to the peak, to below the\n"
               "                 release level (0 if never above it) and to zero, and one line\n"
               "                 per portion: the volumes split into whole millilitres (the\n"
               "                 first portions take the extra ml), served evenly over the\n"
               "                 drinking period. Minutes are rounded half away from zero.\n"
               "  --portions N   number of portions, a whole number from %1 to %2 (default %3);\n"
               "                 one participant only\n"
               "  --release L    release level above 0 (default %4), in g/100 ml or in the\n"
               "                 unit of --level-unit\n"
               "  --band         also print, after zero_after_min, the band that by published\n"
               "                 spreads holds %6 % of participants like this one: its edges at\n"
               "                 the peak (peak_band_low, peak_band_high, written as peak_bal\n"
               "                 is, or as peak_level with --level-unit), and the minutes after\n"
               "                 the start of drinking at which, from the peak on, its lower\n"
               "                 and then its upper edge fall below the release level\n"
               "                 (release_band_from_min, release_band_to_min). Only a reading\n"
               "                 releases a participant.\n"
               "%5"
               "Example: pourwise-dose --gender male --height 70 --weight 160 --age 25 --plan\n"
               "prints after the three volumes\n"
               "  peak_bal 0.0807\n"
               "  peak_after_min 70\n"
               "  release_after_min 313\n"
               "  zero_after_min 393\n"
               "  portion 1 at_min 0 alcohol_ml 23 mixer_ml 136 total_ml 159\n"
               "  portion 2 at_min 13 alcohol_ml 23 mixer_ml 136 total_ml 159\n"
               "  portion 3 at_min 27 alcohol_ml 22 mixer_ml 136 total_ml 158\n"
               "and with --band, after zero_after_min,\n"
               "  peak_band_low 0.0585\n"
               "  peak_band_high 0.1029\n"
               "  release_band_from_min 211\n"
               "  release_band_to_min 455\n")
        .arg(SessionPlanLimits::MinimumPortions)
        .arg(SessionPlanLimits::MaximumPortions)
        .arg(SessionPlanLimits::DefaultPortions)
        .arg(defaultReleaseText(),
             wrapped(
                 QStringLiteral("With --csv, --plan adds the columns %1 after the volumes, "
                                "before warning and error, and --band the columns %2 after "
                                "them; a row without a plan has them empty and the reason "
                                "in error.")
                     .arg(planColumns(PlanOutput::Columns), planColumns(PlanOutput::BandColumns))))
        .arg(BandSpreads::Percent);
}
