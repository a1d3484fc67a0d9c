#include "tools/pourwise-dose/DoseCommandLine.h"

#include "appinfo/AppInfo.h"
#include "calc/dose/NumberText.h"
#include "calc/dose/Plausibility.h"
#include "tools/pourwise-dose/ParticipantReader.h"
#include "tools/pourwise-dose/PlanOptions.h"
#include "tools/pourwise-dose/RosterRun.h"
#include "tools/pourwise-dose/ScheduleOptions.h"
#include "tools/pourwise-dose/SessionOptions.h"

#include <QCommandLineParser>

namespace {

const QString HelpOption = QStringLiteral("help");
const QString VersionOption = QStringLiteral("version");
const QString ExplainOption = QStringLiteral("explain");
const QString CsvOption = QStringLiteral("csv");
const QString CheckOption = QStringLiteral("check");
const QString SpreadsheetSafeOption = QStringLiteral("spreadsheet-safe");
const QString ProtocolOption = QStringLiteral("protocol");
const QString CheckRecordOption = QStringLiteral("check-record");
const QString IncludeUnverifiedOption = QStringLiteral("include-unverified");

// The options that read session records, each with the table it asks for.
struct RecordOption {
    QString name;
    std::optional<StudyTableKind> table; // none: --check-record
};
const std::array<RecordOption, 4> RecordOptions{{
    {CheckRecordOption, std::nullopt},
    {QStringLiteral("sessions"), StudyTableKind::Sessions},
    {QStringLiteral("readings"), StudyTableKind::Readings},
    {QStringLiteral("achievement"), StudyTableKind::Achievement},
}};

// The option's name as the parser knows it, without the dashes.
QString bareName(DoseValue value, BodyUnits units = BodyUnits::InchesPounds)
{
    return QString::fromLatin1(columnName(value, units))
        .replace(QLatin1Char('_'), QLatin1Char('-'));
}

QString dashed(const QString &name)
{
    return QStringLiteral("--") + name;
}

// The options of the values that follow the units: height and weight.
QStringList bodyOptions(BodyUnits units)
{
    QStringList options;
    for (const DoseValueInfo &info : DoseValues) {
        if (dependsOnUnits(info.value))
            options << dashed(bareName(info.value, units));
    }
    return options;
}

// The height and weight options given in `units`.
QStringList bodyOptionsGiven(const QCommandLineParser &parser, BodyUnits units)
{
    QStringList given;
    for (const QString &option : bodyOptions(units)) {
        if (parser.isSet(option.mid(2)))
            given << option;
    }
    return given;
}

} // namespace

QByteArray DoseCommandLine::protocolText(DoseValue value) const
{
    // The target is taken from the protocol as it is, in its own unit of levels.
    const std::optional<float> number =
        m_request.protocol && !isLevel(value) ? m_request.protocol->parameter(value) : std::nullopt;
    if (!number)
        return {};
    char buffer[32];
    const std::string_view text = SingleToText(*number, buffer);
    return QByteArray(text.data(), qsizetype(text.size()));
}

QString DoseCommandLine::optionName(DoseValue value, BodyUnits units)
{
    return dashed(bareName(value, units));
}

QString DoseCommandLine::optionName(DoseValue value, const ReadingUnits &units)
{
    const std::string_view column = columnName(value, units);
    return dashed(QString::fromLatin1(column.data(), qsizetype(column.size()))
                      .replace(QLatin1Char('_'), QLatin1Char('-')));
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
    parser.addOption({SpreadsheetSafeOption, {}});
    parser.addOption({ProtocolOption, {}, QStringLiteral("FILE")});
    for (const RecordOption &option : RecordOptions)
        parser.addOption({option.name, {}});
    parser.addOption({IncludeUnverifiedOption, {}});
    for (const DoseValueInfo &info : DoseValues)
        parser.addOption({bareName(info.value), {}, QStringLiteral("VALUE")});
    for (const DoseValueInfo &info : DoseValues) {
        if (dependsOnUnits(info.value))
            parser.addOption({bareName(info.value, BodyUnits::CentimetresKilograms),
                              {},
                              QStringLiteral("VALUE")});
    }
    PlanOptions::add(parser);
    SessionOptions::add(parser);
    ScheduleOptions::add(parser);
    LevelOptions::add(parser);
    const DoseValueInfo &target = infoOf(DoseValue::BAL);
    const QString targetOption = QLatin1String(target.levelColumn);
    parser.addOption({targetOption, {}, QStringLiteral("VALUE")});

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
    for (const RecordOption &option : RecordOptions) {
        if (parser.isSet(option.name))
            return readRecordRequest(parser, option.name, option.table);
    }
    if (parser.isSet(IncludeUnverifiedOption))
        return fail(QStringLiteral("--include-unverified counts version-1 records in a study's "
                                   "tables: give it with --sessions, --readings or --achievement"));
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument \"%1\"")
                        .arg(parser.positionalArguments().constFirst()));
    for (const QString &name : parser.optionNames()) {
        if (parser.optionNames().count(name) > 1 && !SessionOptions::repeatable(name) &&
            !ScheduleOptions::repeatable(name))
            return fail(QStringLiteral("%1 is given more than once").arg(dashed(name)));
    }

    const QStringList inInchesAndPounds = bodyOptionsGiven(parser, BodyUnits::InchesPounds);
    const QStringList inCentimetresAndKilograms =
        bodyOptionsGiven(parser, BodyUnits::CentimetresKilograms);
    if (!inInchesAndPounds.isEmpty() && !inCentimetresAndKilograms.isEmpty())
        return fail(
            QStringLiteral("%1 and %2 cannot be combined: give height and weight either "
                           "in inches and pounds (%3) or in centimetres and kilograms (%4)")
                .arg(inInchesAndPounds.constFirst(), inCentimetresAndKilograms.constFirst(),
                     bodyOptions(BodyUnits::InchesPounds).join(QStringLiteral(", ")),
                     bodyOptions(BodyUnits::CentimetresKilograms).join(QStringLiteral(", "))));
    const BodyUnits units = inCentimetresAndKilograms.isEmpty() ? BodyUnits::InchesPounds
                                                                : BodyUnits::CentimetresKilograms;

    QStringList participantOptions;
    for (const DoseValueInfo &info : DoseValues) {
        if (parser.isSet(bareName(info.value, units)))
            participantOptions << dashed(bareName(info.value, units));
    }
    if (parser.isSet(targetOption))
        participantOptions << dashed(targetOption);
    if (parser.isSet(ExplainOption))
        participantOptions << dashed(ExplainOption);
    if (!LevelOptions::read(parser, m_request.level, m_errorText) || !readProtocol(parser))
        return false;

    if (parser.isSet(CsvOption)) {
        if (!participantOptions.isEmpty())
            return fail(QStringLiteral("--csv reads every participant from the roster and "
                                       "cannot be combined with %1")
                            .arg(participantOptions.constFirst()));
        m_request.mode = DoseRequest::Mode::Roster;
        m_request.rosterPath = parser.value(CsvOption);
        m_request.check = parser.isSet(CheckOption);
        m_request.spreadsheetSafe = parser.isSet(SpreadsheetSafeOption);
        if (m_request.rosterPath.isEmpty())
            return fail(QStringLiteral("--csv needs a file name, or \"-\" for standard input"));
        return PlanOptions::read(parser, true, m_request.level.scale, planDefaults(),
                                 m_request.plan, m_request.band, m_errorText) &&
               SessionOptions::read(parser, true, m_request.plan.has_value(), m_request.session,
                                    m_errorText) &&
               ScheduleOptions::read(parser, true, m_request.plan.has_value(),
                                     m_request.session.schedule, m_errorText);
    }

    if (parser.isSet(SpreadsheetSafeOption))
        return fail(QStringLiteral("--spreadsheet-safe applies to a roster's cells (--csv) and a "
                                   "study's tables (--sessions, --readings, --achievement)"));
    if (parser.isSet(CheckOption))
        return fail(QStringLiteral("--check adds a warning column to a roster (--csv); for one "
                                   "participant the warnings always go to standard error"));
    if (participantOptions.isEmpty())
        return fail(QStringLiteral("nothing to compute: give one participant or a roster"));
    const QString balOption = bareName(DoseValue::BAL);
    if (parser.isSet(targetOption) && parser.isSet(balOption))
        return fail(QStringLiteral("%1 and %2 cannot be combined: give the target either in "
                                   "g/100 ml (%2) or in the unit of --level-unit (%1)")
                        .arg(dashed(targetOption), dashed(balOption)));
    m_request.targetInLevelUnit = parser.isSet(targetOption);
    m_request.level.given = m_request.level.given || m_request.targetInLevelUnit;
    QStringList missing;
    QStringList needed;
    m_request.targetFromProtocol =
        m_request.protocol && !m_request.targetInLevelUnit && !parser.isSet(balOption);
    for (const DoseValueInfo &info : DoseValues) {
        const QString name = info.levelColumn && m_request.targetInLevelUnit
                                 ? QString::fromLatin1(info.levelColumn)
                                 : bareName(info.value, units);
        const QByteArray fromProtocol = protocolText(info.value);
        const std::string_view fallback =
            fromProtocol.isEmpty()
                ? defaultText(info.value)
                : std::string_view(fromProtocol.constData(), std::size_t(fromProtocol.size()));
        if (fallback.empty())
            needed << dashed(name);
        if (parser.isSet(name))
            m_request.values[indexOf(info.value)] = parser.value(name).toUtf8();
        else if (!fallback.empty())
            m_request.values[indexOf(info.value)] =
                QByteArray(fallback.data(), qsizetype(fallback.size()));
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
    return PlanOptions::read(parser, false, m_request.level.scale, planDefaults(), m_request.plan,
                             m_request.band, m_errorText) &&
           SessionOptions::read(parser, false, m_request.plan.has_value(), m_request.session,
                                m_errorText) &&
           ScheduleOptions::read(parser, false, m_request.plan.has_value(),
                                 m_request.session.schedule, m_errorText);
}

bool DoseCommandLine::readRecordRequest(const QCommandLineParser &parser, const QString &option,
                                        std::optional<StudyTableKind> table)
{
    for (const QString &name : parser.optionNames()) {
        const bool forTable =
            table && (name == SpreadsheetSafeOption || name == IncludeUnverifiedOption);
        if (name != option && !forTable)
            return fail(QStringLiteral("%1 reads session records and cannot be combined with %2")
                            .arg(dashed(option), dashed(name)));
    }
    m_request.spreadsheetSafe = parser.isSet(SpreadsheetSafeOption);
    m_request.recordFiles = parser.positionalArguments();
    if (m_request.recordFiles.isEmpty())
        return fail(option == CheckRecordOption
                        ? QStringLiteral("--check-record needs the session records to check")
                        : QStringLiteral("%1 needs the session records, or folders of them")
                              .arg(dashed(option)));
    m_request.mode = table ? DoseRequest::Mode::StudyTable : DoseRequest::Mode::CheckRecords;
    m_request.studyTable = table.value_or(m_request.studyTable);
    m_request.counting.includeUnverified = parser.isSet(IncludeUnverifiedOption);
    return true;
}

bool DoseCommandLine::readProtocol(const QCommandLineParser &parser)
{
    if (!parser.isSet(ProtocolOption))
        return true;
    const QString path = parser.value(ProtocolOption);
    const ProtocolReading reading = readProtocolFile(path);
    if (!reading.protocol)
        return fail(
            QStringLiteral("--protocol \"%1\" cannot be used: %2").arg(path, reading.error));
    const Protocol &protocol = *reading.protocol;
    m_request.protocol = protocol;
    // The protocol's unit of levels, unless the command line names another.
    LevelOptions::Choice &level = m_request.level;
    if (!level.unitGiven)
        level.scale.unit = protocol.level.unit;
    if (!parser.isSet(QStringLiteral("breath-ratio")))
        level.scale.breathRatio = protocol.level.breathRatio;
    level.unitGiven = level.unitGiven || !protocol.level.isDefault();
    level.given = true;
    return true;
}

SessionPlanSettings DoseCommandLine::planDefaults() const
{
    if (!m_request.protocol)
        return {};
    const Protocol &protocol = *m_request.protocol;
    return {protocol.portions, protocol.level.toBal(protocol.releaseLevel)};
}

namespace {

QString text(std::string_view view)
{
    return QString::fromLatin1(view.data(), qsizetype(view.size()));
}

// "a, b and c"
QString listed(const QStringList &items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           items.constLast();
}

// "--height IN" as the usage and the option list write it.
QString optionWithArgument(const DoseValueInfo &info, BodyUnits units)
{
    return DoseCommandLine::optionName(info.value, units) + QLatin1Char(' ') +
           QLatin1String(info.argument[units]);
}

// An option's entry: the option in the first 17 columns, then what it is.
QString optionEntry(const QString &option, const QString &description)
{
    constexpr qsizetype DescriptionColumn = 17;
    return QStringLiteral("  ") + option.leftJustified(DescriptionColumn - 3) + QLatin1Char(' ') +
           description + QLatin1Char('\n');
}

// The synopsis of one participant: the values without a default, then those with one.
QString usageOfOneParticipant(BodyUnits units, bool withParameters)
{
    QStringList needed;
    QStringList optional;
    for (const DoseValueInfo &info : DoseValues) {
        if (info.defaultValue)
            optional << QLatin1Char('[') + optionWithArgument(info, units) + QLatin1Char(']');
        else
            needed << optionWithArgument(info, units);
    }
    QString usage = QStringLiteral("pourwise-dose ") + needed.join(QLatin1Char(' '));
    if (withParameters)
        usage += QStringLiteral("\n                     ") + optional.join(QLatin1Char(' ')) +
                 QStringLiteral(" [--explain]");
    else
        usage += QStringLiteral(" [...]");
    return usage;
}

// Every value's option; the metric height and weight after the last value that depends on the
// units, since they stand for those.
QString participantOptions()
{
    DoseValue lastInUnits = DoseValue::Gender;
    for (const DoseValueInfo &info : DoseValues) {
        if (dependsOnUnits(info.value))
            lastInUnits = info.value;
    }
    QString entries;
    QStringList metricOptions;
    QStringList metricHelp;
    QStringList usOptions;
    for (const DoseValueInfo &info : DoseValues) {
        QString description = QLatin1String(info.help.inchesPounds);
        if (info.defaultValue)
            description += QStringLiteral(" (default %1)").arg(text(defaultText(info.value)));
        entries += optionEntry(optionWithArgument(info, BodyUnits::InchesPounds), description);
        if (!dependsOnUnits(info.value))
            continue;
        metricOptions << optionWithArgument(info, BodyUnits::CentimetresKilograms);
        metricHelp << QLatin1String(info.help.metric);
        usOptions << DoseCommandLine::optionName(info.value);
        if (info.value != lastInUnits)
            continue;
        entries += QStringLiteral("  %1\n"
                                  "                 %2, instead of\n"
                                  "                 %3; they enter the calculation as given\n")
                       .arg(metricOptions.join(QStringLiteral(", ")), listed(metricHelp),
                            listed(usOptions));
    }
    return entries;
}

QStringList columns(BodyUnits units, bool unitsDependentOnly)
{
    QStringList names;
    for (const DoseValueInfo &info : DoseValues) {
        if (!unitsDependentOnly || dependsOnUnits(info.value))
            names << text(columnName(info.value, units));
    }
    return names;
}

// The ranges come from the table the warnings use, so the two never disagree.
QString plausibleRangesText()
{
    QString text = QStringLiteral(
        "Plausible values: a value outside these ranges is still used, with a warning:\n");
    for (const QString &line : PlausibleRangeLines(QLocale::c()))
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    return text;
}

} // namespace

QString DoseCommandLine::helpText()
{
    using namespace RosterColumns;
    QStringList volumes;
    for (std::string_view column : VolumeColumns)
        volumes << text(column);
    QStringList added = volumes;
    added << text(ErrorColumn);
    return QStringLiteral(
               "Usage: %1\n"
               "                     [--plan [--portions N] [--release L] [--band]\n"
               "                      [--reading MIN=LEVEL]... [--reading-sd SD]\n"
               "                      [--placebo [--float ML]]\n"
               "                      [--booster-dd MIN [--booster-served MIN]]\n"
               "                      [--release-confirm N] [--release-apart MIN]\n"
               "                      [--served N=MIN]... [--schedule --now MIN]]\n"
               "                     [--level-unit UNIT] [--breath-ratio R] [--target V]\n"
               "                     [--protocol FILE]\n"
               "       %2\n"
               "       pourwise-dose --csv FILE [--check] [--spreadsheet-safe]\n"
               "                     [--plan [--release L] [--band]] [--level-unit UNIT]\n"
               "                     [--breath-ratio R] [--protocol FILE]\n"
               "       pourwise-dose --check-record FILE...\n"
               "       pourwise-dose --sessions | --readings | --achievement\n"
               "                     [--spreadsheet-safe] [--include-unverified] FILE...\n"
               "       pourwise-dose --help | --version\n"
               "\n")
               .arg(usageOfOneParticipant(BodyUnits::InchesPounds, true),
                    usageOfOneParticipant(BodyUnits::CentimetresKilograms, false)) +
           QStringLiteral("%1\n"
                          "The same calculation as the %2 window, for scripts and whole rosters.\n"
                          "\n"
                          "One participant:\n")
               .arg(QString::fromUtf8(AppInfo::Description), QString::fromUtf8(AppInfo::Title)) +
           participantOptions() +
           QStringLiteral(
               "  --explain      also print the intermediate values of the calculation\n"
               "Prints %1 with their values, one per line, and\n"
               "for every implausible value a line starting \"WARNING: \" on standard error.\n"
               "\n"
               "Roster:\n"
               "  --csv FILE     read participants from a CSV file, or from standard input\n"
               "                 if FILE is \"-\"\n"
               "  --check        add a %2 column, just before %3, naming the\n"
               "                 implausible values of each computed row\n"
               "  --spreadsheet-safe\n"
               "                 put ' before every cell, carried or computed, that a\n"
               "                 spreadsheet would take for a formula: one starting with =, +,\n"
               "                 -, @, a tab or a carriage return; a negative number is left as\n"
               "                 it is. Without it the carried columns are written exactly as\n"
               "                 read.\n"
               "The header row must name the columns %4\n"
               "in any order, or %5 instead of %6; other columns\n"
               "are carried through unchanged. Every row is written to standard output in its\n"
               "place with the columns %7 appended; a row that\n"
               "cannot be computed has empty volumes and the reason in %3.\n"
               "\n")
               .arg(listed(volumes), text(WarningColumn), text(ErrorColumn),
                    columns(BodyUnits::InchesPounds, false).join(QLatin1Char(',')),
                    columns(BodyUnits::CentimetresKilograms, true).join(QLatin1Char(',')),
                    columns(BodyUnits::InchesPounds, true).join(QLatin1Char(',')),
                    added.join(QLatin1Char(','))) +
           PlanOptions::helpText() + QLatin1Char('\n') + SessionOptions::helpText() +
           QLatin1Char('\n') + ScheduleOptions::helpText() + QLatin1Char('\n') +
           LevelOptions::helpText() +
           QStringLiteral(
               "\n"
               "Protocol:\n"
               "  --protocol FILE\n"
               "                 a study's protocol, as the window's Protocol menu saves it (a\n"
               "                 JSON file): its target with its unit of levels and ratio,\n"
               "                 drinking period, proof, mixer ratio, portions and release level\n"
               "                 stand in for the options and roster columns not given; options\n"
               "                 given on the command line override it. Its limits (g of\n"
               "                 ethanol per kg, ml of total beverage, target) judge every dose:\n"
               "                 one over a limit is computed all the same, with a line starting\n"
               "                 \"WARNING: \" (a roster names it in a warning column, which\n"
               "                 --protocol adds) and exit status 3.\n"
               "\n"
               "Session records:\n"
               "  --check-record FILE...\n"
               "                 check each session record FILE as the window opens it, and\n"
               "                 write one line for it, its fields separated by tabs: the file,\n"
               "                 its status, its session code, its number of entries (the plan\n"
               "                 counted) and its number of corrections and voids. The status\n"
               "                 is the first that holds of: unreadable (the other fields are\n"
               "                 -), changed (its end row does not match the rows before it),\n"
               "                 cut (it has no end row), dose differs (the dose computed again\n"
               "                 from its values differs from the recorded one), unverified (a\n"
               "                 version-1 record, which has no end row) and ok. Why a record\n"
               "                 is unreadable, changed or cut goes to standard error. FILE is\n"
               "                 a record, or a folder searched as for a study's tables.\n"
               "\n"
               "A study's records as one table (docs/study.md): CSV with a header row, every\n"
               "value as corrected. FILE is a record, or a folder searched for *.csv records\n"
               "with its subfolders, in name order; each file is tabled once, whatever names\n"
               "lead to it. A record that cannot be read is named on standard error; a cut or\n"
               "changed one as with --check-record. At the end standard error says what the\n"
               "table left out, one line per reason: records not counted, paths not read\n"
               "(a folder that cannot be listed, a pipe, a name not in UTF-8, a path too\n"
               "long), names of a file already tabled.\n"
               "  --sessions FILE...\n"
               "                 one row per record: its file, its status (as --check-record\n"
               "                 gives it), the session, participant and dose, the observed\n"
               "                 peak against the target and the plan's band, the descending\n"
               "                 limb, the release, the booster, the corrections and voids,\n"
               "                 and why its status is not ok; a record that cannot be read\n"
               "                 has its file, status and problem only\n"
               "  --readings FILE...\n"
               "                 one row per reading not voided, with its clock time, level\n"
               "                 (and in g/100 ml), the plan's expected level, the difference,\n"
               "                 its note and whether it was corrected\n"
               "  --achievement FILE...\n"
               "                 one row per protocol, beverage and gender, then one for all\n"
               "                 alcohol and one for all placebo sessions, of the records that\n"
               "                 are ok: the target, the dose's own peaks (before any booster,\n"
               "                 g/100 ml) and their ratio to the target, the shares within\n"
               "                 10 % and 20 % of it, the median minute of release and the\n"
               "                 boosted sessions\n"
               "  --include-unverified\n"
               "                 with a table: the achievement counts version-1 records\n"
               "                 (status unverified) as well\n"
               "With --spreadsheet-safe, every cell that a spreadsheet would take for a formula\n"
               "gets ' before it, as in a roster; without it every cell is written exactly as\n"
               "the records give it.\n") +
           QStringLiteral("\n"
                          "Numbers use \".\" as the decimal separator whatever the locale, and no "
                          "thousands\n"
                          "separators.\n"
                          "\n"
                          "Exit status: 0 every participant was computed, 1 some were not or have "
                          "no\n"
                          "session plan (see the message or the error column), 2 usage or file "
                          "error,\n"
                          "3 computed, but over a protocol limit (--protocol). Warnings do not "
                          "change it.\n"
                          "With --check-record: 0 every record is ok, 1 some is not, 2 usage "
                          "error.\n"
                          "With a study's table: 0 every record was read, 1 some could not be "
                          "(or a\n"
                          "path could not be listed or read, or a folder holds none), 2 usage "
                          "error.\n") +
           QLatin1Char('\n') + plausibleRangesText();
}

QString DoseCommandLine::versionText()
{
    return QString::fromUtf8(AppInfo::VersionNumber) + QLatin1Char('\n');
}
