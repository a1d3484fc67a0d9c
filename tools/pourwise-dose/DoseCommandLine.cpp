#include "tools/pourwise-dose/DoseCommandLine.h"

#include "appinfo/AppInfo.h"

#include <QCommandLineParser>

namespace {

const QString HelpOption = QStringLiteral("help");
const QString VersionOption = QStringLiteral("version");
const QString ExplainOption = QStringLiteral("explain");
const QString CsvOption = QStringLiteral("csv");

QString optionName(DoseField field)
{
    return QString::fromLatin1(doseFieldName(field));
}

QString dashed(const QString &name)
{
    return QStringLiteral("--") + name;
}

} // namespace

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
    for (DoseField field : AllDoseFields)
        parser.addOption({optionName(field), {}, QStringLiteral("VALUE")});

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

    QStringList participantOptions;
    for (DoseField field : AllDoseFields) {
        if (parser.isSet(optionName(field)))
            participantOptions << dashed(optionName(field));
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
        if (m_request.rosterPath.isEmpty())
            return fail(QStringLiteral("--csv needs a file name, or \"-\" for standard input"));
        return true;
    }

    if (participantOptions.isEmpty())
        return fail(QStringLiteral("nothing to compute: give one participant or a roster"));
    QStringList missing;
    for (DoseField field : AllDoseFields) {
        const QString name = optionName(field);
        if (parser.isSet(name))
            m_request.values[indexOf(field)] = parser.value(name).toUtf8();
        else if (!doseFieldDefault(field).empty())
            m_request.values[indexOf(field)] = QByteArray(
                doseFieldDefault(field).data(), qsizetype(doseFieldDefault(field).size()));
        else
            missing << dashed(name);
    }
    if (!missing.isEmpty())
        return fail(QStringLiteral("one participant needs %1; missing: %2")
                        .arg(QStringLiteral("--gender, --height, --weight and --age"),
                             missing.join(QStringLiteral(", "))));
    m_request.mode = DoseRequest::Mode::OneParticipant;
    m_request.explain = parser.isSet(ExplainOption);
    return true;
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
               "       pourwise-dose --csv FILE\n"
               "       pourwise-dose --help | --version\n"
               "\n"
               "%1\n"
               "The same calculation as the %2 window, for scripts and whole rosters.\n"
               "\n"
               "One participant:\n"
               "  --gender G     male, female, m, f, 1 (male) or 0 (female), any letter case\n"
               "  --height IN    height in inches\n"
               "  --weight LB    weight in pounds\n"
               "  --age Y        age in years\n"
               "  --bal G100ML   target blood alcohol level in g/100 ml (default %3)\n"
               "  --dd MIN       length of the drinking period in minutes (default %4)\n"
               "  --proof P      proof of the alcohol, 200 is pure alcohol (default %5)\n"
               "  --ratio R      parts of mixer for every part of alcohol (default %6)\n"
               "  --explain      also print the intermediate values of the calculation\n"
               "Prints alcohol_ml, mixer_ml and total_ml with their values, one per line.\n"
               "\n"
               "Roster:\n"
               "  --csv FILE     read participants from a CSV file, or from standard input\n"
               "                 if FILE is \"-\"\n"
               "The header row must name the columns gender,height,weight,age,bal,dd,proof,ratio\n"
               "in any order; other columns are carried through unchanged. Every row is written\n"
               "to standard output in its place with the columns alcohol_ml,mixer_ml,total_ml,\n"
               "error appended; a row that cannot be computed has empty volumes and the reason\n"
               "in error.\n"
               "\n"
               "Numbers use \".\" as the decimal separator whatever the locale, and no thousands\n"
               "separators.\n"
               "\n"
               "Exit status: 0 every participant was computed, 1 some were not (see the message\n"
               "or the error column), 2 usage or file error.\n")
        .arg(QString::fromUtf8(AppInfo::Description), QString::fromUtf8(AppInfo::Title),
             defaults[indexOf(DoseField::BAL)], defaults[indexOf(DoseField::DD)],
             defaults[indexOf(DoseField::Proof)], defaults[indexOf(DoseField::Ratio)]);
}

QString DoseCommandLine::versionText()
{
    return QString::fromUtf8(AppInfo::VersionNumber) + QLatin1Char('\n');
}
