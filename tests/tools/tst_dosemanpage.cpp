#include "tests/tools/DoseProcess.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// Option name to what is said of it: its argument's name and its default, as "G100ML 0.08".
using Options = QMap<QString, QString>;

// "--name" and, when it takes one, the argument's upper-case name: "--bal G100ML".
const QRegularExpression
    OptionPattern(QStringLiteral("(--[a-z][a-z0-9-]*)(?:[ =]([A-Z][A-Z0-9]*)\\b)?"));
const QRegularExpression DefaultPattern(QStringLiteral("\\(default ([^)]+)\\)"));

QString summary(const QString &argument, const QString &defaultValue)
{
    return (argument + QLatin1Char(' ') + defaultValue).trimmed();
}

// Every option --help names anywhere; argument and default come from its own line, which is
// indented by two blanks ("  --bal G100ML   target ... (default 0.08)"), or else from the usage.
Options helpOptions(const QString &help)
{
    Options options;
    for (const QString &line : help.split(QLatin1Char('\n'))) {
        for (const QRegularExpressionMatch &match : OptionPattern.globalMatch(line)) {
            if (match.capturedStart() == 2)
                options[match.captured(1)] =
                    summary(match.captured(2), DefaultPattern.match(line).captured(1));
            else if (!options.contains(match.captured(1)))
                options[match.captured(1)] = match.captured(2);
        }
    }
    return options;
}

// The options a synopsis names, once each.
QSet<QString> namedOptions(const QString &synopsis)
{
    QSet<QString> names;
    for (const QRegularExpressionMatch &match : OptionPattern.globalMatch(synopsis))
        names << match.captured(1);
    return names;
}

// The manual page as plain text: its dashes as dashes, without fonts and quotes.
QString plainManualPage(QString page)
{
    static const QRegularExpression fontsAndQuotes(QStringLiteral("\\\\f[BIRP]|\""));
    return page.replace(QLatin1String("\\-"), QLatin1String("-")).remove(fontsAndQuotes);
}

// The text of the manual page's section `name`, up to the next section.
QString manualPageSection(const QString &page, const QString &name)
{
    return page.section(QStringLiteral("\n.SH %1\n").arg(name), 1)
        .section(QLatin1String("\n.SH "), 0, 0);
}

// The OPTIONS section of the manual page: every entry is ".TP", the option, then its paragraph,
// which ends at the next paragraph or subsection.
Options manualPageOptions(const QString &page)
{
    static const QRegularExpression paragraphEnd(QStringLiteral("\n\\.(PP|SS)"));
    const QString section = manualPageSection(page, QStringLiteral("OPTIONS"));
    Options options;
    for (const QString &entry : section.split(QLatin1String(".TP\n")).mid(1)) {
        const QString text = entry.section(paragraphEnd, 0, 0);
        const QRegularExpressionMatch tag =
            OptionPattern.match(text.section(QLatin1Char('\n'), 0, 0).simplified());
        options[tag.captured(1)] = summary(tag.captured(2), DefaultPattern.match(text).captured(1));
    }
    return options;
}

} // namespace

// pourwise-dose --help and its manual page name the same options, with the same arguments and
// defaults, and the usage lines of both name every one of them. One row per option named on either
// side, so a forgotten one fails under its name. The README lists the plausible ranges as --help
// does.
class TestDoseManPage : public QObject {
    Q_OBJECT

private slots:
    void optionAgrees_data();
    void optionAgrees();
    void usageNamesEveryOption_data();
    void usageNamesEveryOption();
    void readmeListsTheRanges();
};

void TestDoseManPage::optionAgrees_data()
{
    QTest::addColumn<bool>("inHelp");
    QTest::addColumn<bool>("inManualPage");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("manualPage");
    QTest::addColumn<bool>("inUsage");
    QTest::addColumn<bool>("inSynopsis");

    const DoseRun run = runDose({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    QFile file(QStringLiteral(POURWISE_DOSE_MANUAL_PAGE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString helpText = QString::fromUtf8(run.output);
    const QString page = plainManualPage(QString::fromUtf8(file.readAll()));
    const Options help = helpOptions(helpText);
    const Options manual = manualPageOptions(page);
    // The usage lines are the first paragraph of --help.
    const QSet<QString> usage = namedOptions(helpText.section(QStringLiteral("\n\n"), 0, 0));
    const QSet<QString> synopsis =
        namedOptions(manualPageSection(page, QStringLiteral("SYNOPSIS")));
    QVERIFY(!help.isEmpty() && !manual.isEmpty() && !usage.isEmpty() && !synopsis.isEmpty());

    QStringList names = help.keys() + manual.keys();
    names.removeDuplicates();
    for (const QString &name : names)
        QTest::newRow(qPrintable(name))
            << help.contains(name) << manual.contains(name) << help.value(name)
            << manual.value(name) << usage.contains(name) << synopsis.contains(name);
}

void TestDoseManPage::optionAgrees()
{
    QFETCH(bool, inHelp);
    QFETCH(bool, inManualPage);
    QFETCH(QString, help);
    QFETCH(QString, manualPage);
    QFETCH(bool, inUsage);
    QFETCH(bool, inSynopsis);

    QVERIFY2(inHelp, "the manual page describes an option that --help does not name");
    QVERIFY2(inManualPage, "--help names an option that the manual page's OPTIONS lack");
    QCOMPARE(manualPage, help);
    QVERIFY2(inUsage, "the usage lines of --help leave out this option");
    QVERIFY2(inSynopsis, "the manual page's SYNOPSIS leaves out this option");
}

// The usage lines at the top of --help name every option it describes, one row per option.
void TestDoseManPage::usageNamesEveryOption_data()
{
    QTest::addColumn<bool>("inUsage");

    const DoseRun run = runDose({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    const QString help = QString::fromUtf8(run.output);
    const QString usage = help.section(QStringLiteral("\n\n"), 0, 0);
    QVERIFY(usage.startsWith(QLatin1String("Usage: ")));
    QStringList inUsage;
    for (const QRegularExpressionMatch &match : OptionPattern.globalMatch(usage))
        inUsage << match.captured(1);
    for (const QString &name : helpOptions(help).keys())
        QTest::newRow(qPrintable(name)) << inUsage.contains(name);
}

void TestDoseManPage::usageNamesEveryOption()
{
    QFETCH(bool, inUsage);
    QVERIFY2(inUsage, "--help describes an option that its usage lines do not name");
}

// --help ends with the ranges, each on a line of its own indented by two blanks; the README shows
// the same lines as one block indented by four.
void TestDoseManPage::readmeListsTheRanges()
{
    const DoseRun run = runDose({QStringLiteral("--help")});
    QCOMPARE(run.exitCode, 0);
    const QString help = QString::fromUtf8(run.output);
    const QString ranges = help.section(QStringLiteral("Plausible values"), 1).section('\n', 1);
    QStringList block;
    for (const QString &line : ranges.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        block << QStringLiteral("    ") + line.trimmed();
    QVERIFY(block.size() > 1);
    QFile readme(QStringLiteral(POURWISE_README));
    QVERIFY2(readme.open(QIODevice::ReadOnly), qPrintable(readme.fileName()));
    const QString text = QString::fromUtf8(readme.readAll());
    QVERIFY2(
        text.contains(QLatin1Char('\n') + block.join(QLatin1Char('\n')) + QStringLiteral("\n\n")),
        qPrintable(QStringLiteral("README.md lacks the block\n") + block.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestDoseManPage)
#include "tst_dosemanpage.moc"
