#include "tools/pourwise-dose/DoseCommandLine.h"

#include "appinfo/AppInfo.h"
#include "calc/Plausibility.h"

#include <QCommandLineParser>

namespace {

const QString HelpOption = QStringLiteral("help");
const QString VersionOption = QStringLiteral("version");
const QString ExplainOption = QStringLiteral("explain");
const QString CsvOption = QStringLiteral("csv");
const QString CheckOption = QStringLiteral("check");

// The option's name as the parser knows it, without the dashes.
QString bareName(DoseField field, BodyUnits units = BodyUnits::InchesPounds)
{
    return QString::fromLatin1(doseFieldName(field, units))
        .replace(QLatin1Char('_'), QLatin1Char('-'));
}

QString dashed(const QString &name)
{
    return QStringLiteral("--") + name;
}

// The height and weight options given in `units`.
QStringList bodyOptionsGiven(const QCommandLineParser &parser, BodyUnits units)
{
    QStringList given;
    for (DoseField field : AllDoseFields) {
        if (dependsOnUnits(field) && parser.isSet(bareName(field, units)))
            given << dashed(bareName(field, units));
    }
    return given;
}

} // namespace

QString DoseCommandLine::optionName(DoseField field, BodyUnits units)
{
    return dashed(bareName(field, units));
}

bool DoseCommandLine::fail(const QString &text)
{
    m_errorText = text;
    return false;
}

bool DoseCommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), HelpOption}, {}});
    parser.addOption({VersionOption, {}});
    parser.addOption({ExplainOption, {}});
    parser.addOption({CsvOption, {}, QStringLiteral("FILE")});
    parser.addOption({CheckOption, {}});
    for (DoseField field : AllDoseFields)
        parser.addOption({bareName(field), {}, QStringLiteral("VALUE")});
    for (DoseField field : AllDoseFields) {
        if (dependsOnUnits(field))
            parser.addOption(
                {bareName(field, BodyUnits::CentimetresKilograms), {}, QStringLiteral("VALUE")});
    }

    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(HelpOption)) {
        m_request.mode = DoseRequest::Mode::Help;
        return true;
    }
    if (parser.isSet(VersionOption)) {
        m_request.mode = DoseRequest::Mode::Version;
        return true;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument \"%1\"")
                        .arg(parser.positionalArguments().constFirst()));
    for (const QString &name : parser.optionNames()) {
        if (parser.optionNames().count(name) > 1)
            return fail(QStringLiteral("%1 is given more than once").arg(dashed(name)));
    }

    const QStringList inInchesAndPounds = bodyOptionsGiven(parser, BodyUnits::InchesPounds);
    const QStringList inCentimetresAndKilograms =
        bodyOptionsGiven(parser, BodyUnits::CentimetresKilograms);
    if (!inInchesAndPounds.isEmpty() && !inCentimetresAndKilograms.isEmpty())
        return fail(
            QStringLiteral("%1 and %2 cannot be combined: give height and weight either "
                           "in inches and pounds (--height, --weight) or in centimetres "
                           "and kilograms (--height-cm, --weight-kg)")
                .arg(inInchesAndPounds.constFirst(), inCentimetresAndKilograms.constFirst()));
    const BodyUnits units = inCentimetresAndKilograms.isEmpty() ? BodyUnits::InchesPounds
                                                                : BodyUnits::CentimetresKilograms;

    QStringList participantOptions;
    for (DoseField field : AllDoseFields) {
        if (parser.isSet(bareName(field, units)))
            participantOptions << dashed(bareName(field, units));
    }
    if (parser.isSet(ExplainOption))
        participantOptions << dashed(ExplainOption);

    if (parser.isSet(CsvOption)) {
        if (!participantOptions.isEmpty())
            return fail(QStringLiteral("--csv reads every participant from the roster and "
                                       "cannot be combined with %1")
                            .arg(participantOptions.constFirst()));
        m_request.mode = DoseRequest::Mode::Roster;
        m_request.rosterPath = parser.value(CsvOption);
        m_request.check = parser.isSet(CheckOption);
        if (m_request.rosterPath.isEmpty())
            return fail(QStringLiteral("--csv needs a file name, or \"-\" for standard input"));
        return true;
    }

    if (parser.isSet(CheckOption))
        return fail(QStringLiteral("--check adds a warning column to a roster (--csv); for one "
                                   "participant the warnings always go to standard error"));
    if (participantOptions.isEmpty())
        return fail(QStringLiteral("nothing to compute: give one participant or a roster"));
    QStringList missing;
    QStringList needed;
    for (DoseField field : AllDoseFields) {
        const QString name = bareName(field, units);
        if (doseFieldDefault(field).empty())
            needed << dashed(name);
        if (parser.isSet(name))
            m_request.values[indexOf(field)] = parser.value(name).toUtf8();
        else if (!doseFieldDefault(field).empty())
            m_request.values[indexOf(field)] = QByteArray(
                doseFieldDefault(field).data(), qsizetype(doseFieldDefault(field).size()));
        else
            missing << dashed(name);
    }
    if (!missing.isEmpty())
        return fail(QStringLiteral("one participant needs %1 and %2; missing: %3")
                        .arg(needed.mid(0, needed.size() - 1).join(QStringLiteral(", ")),
                             needed.constLast(), missing.join(QStringLiteral(", "))));
    m_request.mode = DoseRequest::Mode::OneParticipant;
    m_request.units = units;
    m_request.explain = parser.isSet(ExplainOption);
    return true;
}

// The ranges come from the table the warnings use, so the two never disagree.
static QString plausibleRangesText()
{
    QString text = QStringLiteral(
        "Plausible values: a value outside these ranges is still used, with a warning:\n");
    for (const PlausibleRange &range : PlausibleRanges)
        text += QStringLiteral("  ") + PlausibleRangeText(range, QLocale::c()) + QLatin1Char('\n');
    return text;
}

QString DoseCommandLine::helpText()
{
    QString defaults[DoseFieldCount];
    for (DoseField field : AllDoseFields)
        defaults[indexOf(field)] = QString::fromLatin1(doseFieldDefault(field));
    return QStringLiteral(
               "Usage: pourwise-dose --gender G --height IN --weight LB --age Y\n"
               "                     [--bal G100ML] [--dd MIN] [--proof P] [--ratio R] "
               "[--explain]\n"
               "       pourwise-dose --gender G --height-cm CM --weight-kg KG --age Y [...]\n"
               "       pourwise-dose --csv FILE [--check]\n"
               "       pourwise-dose --help | --version\n"
               "\n"
               "%1\n"
               "The same calculation as the %2 window, for scripts and whole rosters.\n"
               "\n"
               "One participant:\n"
               "  --gender G     male, female, m, f, 1 (male) or 0 (female), any letter case\n"
               "  --height IN    height in inches\n"
               "  --weight LB    weight in pounds\n"
               "  --height-cm CM, --weight-kg KG\n"
               "                 height in centimetres and weight in kilograms, instead of\n"
               "                 --height and --weight; they enter the calculation as given\n"
               "  --age Y        age in years\n"
               "  --bal G100ML   target blood alcohol level in g/100 ml (default %3)\n"
               "  --dd MIN       length of the drinking period in minutes (default %4)\n"
               "  --proof P      proof of the alcohol, 200 is pure alcohol (default %5)\n"
               "  --ratio R      parts of mixer for every part of alcohol (default %6)\n"
               "  --explain      also print the intermediate values of the calculation\n"
               "Prints alcohol_ml, mixer_ml and total_ml with their values, one per line, and\n"
               "for every implausible value a line starting \"WARNING: \" on standard error.\n"
               "\n"
               "Roster:\n"
               "  --csv FILE     read participants from a CSV file, or from standard input\n"
               "                 if FILE is \"-\"\n"
               "  --check        add a warning column, just before error, naming the\n"
               "                 implausible values of each computed row\n"
               "The header row must name the columns gender,height,weight,age,bal,dd,proof,ratio\n"
               "in any order, or height_cm,weight_kg instead of height,weight; other columns\n"
               "are carried through unchanged. Every row is written to standard output in its\n"
               "place with the columns alcohol_ml,mixer_ml,total_ml,error appended; a row that\n"
               "cannot be computed has empty volumes and the reason in error.\n"
               "\n"
               "Numbers use \".\" as the decimal separator whatever the locale, and no thousands\n"
               "separators.\n"
               "\n"
               "Exit status: 0 every participant was computed, 1 some were not (see the message\n"
               "or the error column), 2 usage or file error. Warnings do not change it.\n")
               .arg(QString::fromUtf8(AppInfo::Description), QString::fromUtf8(AppInfo::Title),
                    defaults[indexOf(DoseField::BAL)], defaults[indexOf(DoseField::DD)],
                    defaults[indexOf(DoseField::Proof)], defaults[indexOf(DoseField::Ratio)]) +
           QLatin1Char('\n') + plausibleRangesText();
}

QString DoseCommandLine::versionText()
{
    return QString::fromUtf8(AppInfo::VersionNumber) + QLatin1Char('\n');
}
