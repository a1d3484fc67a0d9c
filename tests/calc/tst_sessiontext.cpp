#include "calc/session/SessionText.h"
#include "tests/support/ReferenceRecords.h"
#include "tests/support/SessionSupport.h"

#include <QHash>
#include <QTest>

using namespace SessionSupport;

Q_DECLARE_METATYPE(LevelScale)

namespace {

const LevelScale Blood;
const LevelScale BreathMgPerL{LevelUnit::MilligramsPerLitre, 2100};

// The text of `field`: a line of SessionText, the rows of a table with their cells joined by "|"
// (History's after the setup and its portions as "historyRows"), or the lines of a list by "\n".
QString fieldOf(const SessionText &text, const QList<QStringList> &history, const QString &field)
{
    const auto rows = [](const QList<QStringList> &table) {
        QStringList joined;
        for (const QStringList &cells : table)
            joined << cells.join(QLatin1Char('|'));
        return joined.join(QLatin1Char('\n'));
    };
    const QHash<QString, QString> fields{
        {"observedPeak", text.observedPeak},
        {"descending", text.descending},
        {"release", text.release},
        {"peakBand", text.peakBand},
        {"releaseBand", text.releaseBand},
        {"offerPeakBand", text.offerPeakBand},
        {"served", text.served.join(QLatin1Char('|'))},
        {"servedNotes", text.servedNotes.join(QLatin1Char('|'))},
        {"booster", (QStringList{text.booster} + text.boosterCourse).join(QLatin1Char('\n'))},
        {"plannedBeforeBooster", text.plannedBeforeBooster},
        {"offer", (QStringList{text.offer} + text.offerWarnings).join(QLatin1Char('\n'))},
        {"history", text.history.join(QLatin1Char('\n'))},
        {"readings", rows(text.readings)},
        {"boosters", rows(text.boosters)},
        {"historyRows", rows(history.mid(4))}};
    return fields.value(field, QStringLiteral("?"));
}

} // namespace

class TestSessionText : public QObject {
    Q_OBJECT

private slots:
    void differences_data();
    void differences();
    void words_data();
    void words();
    void versionOneHistory_data();
    void versionOneHistory();
    void protocolNamed_data();
    void protocolNamed();
    void forecastWords_data();
    void forecastWords();
    void boosterLevels_data();
    void boosterLevels();
};

// The booster's rise, a difference of levels the model computes, written as the plan writes
// levels whatever float it comes to: 0.08 less the level carried to the booster is no round float.
void TestSessionText::boosterLevels_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");

    const LevelScale breath{LevelUnit::GramsPer210Litres, 2100};
    QTest::newRow("offered, in g/210 L")
        << breath << "offer"
        << "Booster estimate: alcohol 15 ml, mixer 90 ml, total 105 ml, to raise the level by "
           "0.012 g/210 L over 10 minutes, from an estimated 0.068 g/210 L now (0.073 at 15:40).";
    QTest::newRow("served, in g/210 L")
        << breath << "booster"
        << "Booster served at 15:50: alcohol 14 ml, mixer 84 ml, total 98 ml (target 0.0095 "
           "g/210 L over 10 minutes), from an estimated 0.0705 g/210 L then (0.073 at 15:40)";
}

void TestSessionText::boosterLevels()
{
    QFETCH(LevelScale, level);
    QFETCH(QString, field);
    QFETCH(QString, text);
    auto session = SessionSupport::workedSession(level);
    const QDateTime now = at(120);
    const QString served = field == QLatin1String("booster") ? QStringLiteral(" b110") : QString();
    QCOMPARE(enter(*session, QStringLiteral("70=0.075 85=0.074 100=0.073") + served, now),
             QString());
    const SessionText words = describeSession(evaluateSession(*session, now), QLocale::c());
    QCOMPARE(fieldOf(words, {}, field).section(QLatin1Char('\n'), 0, 0), text);
}

void TestSessionText::differences_data()
{
    QTest::addColumn<LevelScale>("level");
    QTest::addColumn<double>("difference");
    QTest::addColumn<QString>("text");

    // Others as the readings show them.
    QTest::newRow("rounds to 0: no sign") << Blood << -0.00004 << "0.0000";
    QTest::newRow("4 significant digits in mg/L") << BreathMgPerL << 0.012345 << "+0.01235";
}

void TestSessionText::differences()
{
    QFETCH(LevelScale, level);
    QFETCH(double, difference);
    QFETCH(QString, text);
    QCOMPARE(differenceText(difference, level, QLocale::c()), text);
}

// Fields of the text as fieldOf gives them, joined by "|".
void TestSessionText::words_data()
{
    QTest::addColumn<bool>("placebo");
    QTest::addColumn<QString>("entries"); // as SessionSupport::enter takes them
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("release"); // readings that release

    const auto row = [](const char *name, bool placebo, const QString &entries, const char *fields,
                        const char *text, int release = 1) {
        QTest::newRow(name) << placebo << entries << QString::fromLatin1(fields)
                            << QString::fromUtf8(text) << release;
    };
    const QString worked = QStringLiteral("70=0.06 85=0.057 100=0.054");
    row("before any reading: the peak's band, the release band in clock times", false, "",
        "observedPeak|peakBand|releaseBand",
        "Observed peak: none yet|80 % of participants like this one peak between 0.0585 and "
        "0.1029 g/100 ml.|80 % of participants like this one are expected below 0.02 "
        "between 17:31 and 21:35; only a reading releases a participant (levels in g/100 ml).");
    row("observed peak, limb shown", false, worked, "observedPeak|descending",
        "Observed peak: 0.06 g/100 ml at 15:10|Descending limb shown at 15:40");
    row("limb withdrawn", false, "60=0.08 75=0.07 90=0.06 105=0.065", "descending",
        "Descending limb withdrawn: the reading at 15:45 rose.");
    const QString low = QStringLiteral("60=0.03 75=0.025 90=0.018");
    row("release", false, low, "release", "Release level reached at 15:30 (0.018)");
    row("a slip never releases", false, "60=0.03 75=0.025 90=0.005", "release",
        "Not yet released: the reading at 15:30 fell faster than a body eliminates; take another "
        "reading.");
    row("a slip's note", false, "100=0.03 115=0.005", "readings",
        "5|15:40|0.03|0.0732|-0.0432|below|\n"
        "6|15:55|0.005|0.0694|-0.0644|below|fell faster than a body eliminates");
    row("two readings release: reached once", false, low, "release",
        "Release level reached once (0.018 at 15:30); a second reading at or below 0.02 from "
        "15:35 releases the participant.",
        2);
    row("three readings release: reached once", false, low, "release",
        "Release level reached once (0.018 at 15:30); 2 more readings at or below 0.02, the next "
        "from 15:35 and each at least 5 minutes after the one before, release the participant.",
        3);
    row("three readings release: reached twice", false, low + " 95=0.017", "release",
        "Release level reached twice (0.018 at 15:30, 0.017 at 15:35); a third reading at or "
        "below 0.02 from 15:40 releases the participant.",
        3);
    row("readings against the curve", false, "5=0.02 70=0.06", "readings",
        "5|14:05|0.02|0.0058|+0.0142|above|may hold mouth alcohol\n"
        "6|15:10|0.06|0.0807|-0.0207|within|");
    // The band's lower edge is 0.0585 at the peak (70 minutes) and lower 30 minutes later.
    row("below the band: at the expected peak it says what that may mean", false,
        "70=0.04 100=0.03", "readings",
        "5|15:10|0.04|0.0807|-0.0407|below|below what 80 % of participants reach: food, slower "
        "absorption or a low dose are possible.\n"
        "6|15:40|0.03|0.0732|-0.0432|below|");
    row("a placebo: no limb, no booster", true, worked, "descending|offer",
        "|ERROR: No booster for the placebo beverage: no curve is expected.");
    row("a placebo's readings", true, "-10=0", "readings",
        "5|13:50|0|no curve|no curve|no curve|baseline");
    row("served", false, "s2@13", "served", "not yet|14:13|not yet");
    row("a serving voided, and marked again", false, "s1@0 v5 s1@2", "served|servedNotes",
        "14:02|not yet|not yet|served at 14:00, voided||");
    row("the boosters, voided ones too", false, worked + " b110 v8", "boosters",
        "8|15:50|10|27|162|189|voided");
    // Offered at 16:00, from the reading 0.054 at 15:40 carried 20 minutes on.
    row("the booster offered, with its band", false, worked, "offer|offerPeakBand",
        "Booster estimate: alcohol 28 ml, mixer 168 ml, total 196 ml, to raise the level by 0.0310 "
        "g/100 ml over 10 minutes, from an estimated 0.049 g/100 ml now (0.054 at 15:40).|With "
        "the booster, 80 % of participants like this one peak between 0.0701 and 0.0887 g/100 "
        "ml.");
    // From 0.0515 at 15:50, 10 minutes after the reading.
    row("after a booster: the bands in force are its own, the plan's times apart", false,
        worked + " b110", "peakBand|releaseBand|plannedBeforeBooster",
        "80 % of participants like this one peak between 0.0715 and 0.0895 g/100 ml.|80 % of "
        "participants like this one are expected below 0.02 between 19:28 and 22:13; only a "
        "reading releases a participant (levels in g/100 ml).|Planned before the booster: peak "
        "0.0807 g/100 ml at 15:10, below 0.02 g/100 ml at 19:13, zero at 20:33.");
    row("the booster served", false, worked + " b110", "booster",
        "Booster served at 15:50: alcohol 27 ml, mixer 162 ml, total 189 ml (target 0.0285 g/100 "
        "ml over 10 minutes), from an estimated 0.0515 g/100 ml then (0.054 at 15:40)\n"
        "Expected peak after the booster: 0.0805 g/100 ml at 16:30\n"
        "Expected below 0.02 g/100 ml at 20:32\n"
        "Expected zero at 21:52\n"
        "With the booster, 80 % of participants like this one peak between 0.0715 and 0.0895 "
        "g/100 ml.");
    row("a correction and a void", false, "70=0.6 c5:70=0.06 v5", "history",
        "Entry 6, 2 Mar 2026 16:00 (AB): entry 5, the reading 0.6 g/100 ml at 15:10, corrected "
        "to the reading 0.06 g/100 ml at 15:10. Reason: mistyped value.\n"
        "Entry 7, 2 Mar 2026 16:00 (AB): entry 5, the reading 0.06 g/100 ml at 15:10, voided. "
        "Reason: entered for the wrong session.");
    // History: each entry as made beside what it is now, each change with what it did.
    row("history of a corrected reading", false, "70=0.6 c5:70=0.06", "historyRows",
        "5|2 Mar 2026 16:00|AB|reading|the reading 0.6 g/100 ml at 15:10|the reading 0.06 g/100 "
        "ml at 15:10 (corrected by entry 6)\n"
        "6|2 Mar 2026 16:00|AB|correction|entry 5 corrected to the reading 0.06 g/100 ml at "
        "15:10. Reason: mistyped value.|");
    row("history of a voided reading", false, "70=0.6 c5:70=0.06 v5", "historyRows",
        "5|2 Mar 2026 16:00|AB|reading|the reading 0.6 g/100 ml at 15:10|voided by entry 7\n"
        "6|2 Mar 2026 16:00|AB|correction|entry 5 corrected to the reading 0.06 g/100 ml at "
        "15:10. Reason: mistyped value.|\n"
        "7|2 Mar 2026 16:00|AB|void|entry 5 voided. Reason: entered for the wrong session.|");
}

void TestSessionText::words()
{
    QFETCH(bool, placebo);
    QFETCH(QString, entries);
    QFETCH(QString, fields);
    QFETCH(QString, text);
    QFETCH(int, release);
    auto session = SessionSupport::workedSession();
    session->setBeverage(placebo, 0);
    session->setReleaseRule({release, 5});
    const QDateTime now = at(120);
    QCOMPARE(enter(*session, entries, now), QString());
    const SessionReport report = evaluateSession(*session, now);
    const SessionText words = describeSession(report, QLocale::c());
    const QList<QStringList> history = describeHistory(session->record(), report, QLocale::c());
    QStringList shown;
    for (const QString &field : fields.split(QLatin1Char('|')))
        shown << fieldOf(words, history, field);
    QCOMPARE(shown.join(QLatin1Char('|')), text);
}

void TestSessionText::versionOneHistory_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("cells");

    // A version-1 file recorded neither when an entry was made nor by whom; it marked a portion
    // served in the portion's own row.
    QTest::newRow("the setup")
        << 0
        << "1|not recorded|not recorded|plan|the start of drinking 8 Dec 2026 14:05 and the "
           "release level 0.02 g/100 ml|as entered";
    QTest::newRow("a portion served")
        << 2
        << "3|not recorded|not recorded|portion|portion 2: alcohol 23 ml, mixer 136 ml, total "
           "159 ml, to serve at 14:18, served at 14:18|as entered";
}

void TestSessionText::versionOneHistory()
{
    QFETCH(int, row);
    QFETCH(QString, cells);
    const SessionRecord record = ReferenceRecords::all().constFirst().record;
    QCOMPARE(record.version, RecordVersion::First);
    const SessionReport report = evaluateSession(record, at(600));
    QCOMPARE(describeHistory(record, report, QLocale::c()).value(row).join(QLatin1Char('|')),
             cells);
}

void TestSessionText::protocolNamed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("line");

    QTest::newRow("the protocol in use") << "Arm A" << true << "Protocol: Arm A";
    QTest::newRow("recorded under another")
        << "Arm A" << false
        << "Recorded under the protocol \"Arm A\"; its limits are not checked now. Open that "
           "protocol's file to check them.";
    QTest::newRow("limits without a protocol")
        << "" << true << "Protocol: none; the limits set in this run are checked";
    QTest::newRow("none") << "" << false << "Protocol: none";
}

void TestSessionText::protocolNamed()
{
    QFETCH(QString, name);
    QFETCH(bool, checked);
    QFETCH(QString, line);
    SessionSetup setup;
    setup.protocolName = name;
    QCOMPARE(protocolLine(setup, checked), line);
}

// The band's release sentence and the personal forecast's in the regional formats operators read:
// a 12-hour clock writes a shared AM or PM once.
void TestSessionText::forecastWords_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QString>("entries"); // as SessionSupport::enter takes them
    QTest::addColumn<float>("readingSd"); // in g/100 ml; 0: the default
    QTest::addColumn<QString>("releaseBand");
    QTest::addColumn<QString>("personal");

    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale c = QLocale::c();
    // The worked example's readings: 0.0155 (80 %: 0.0123 to 0.0188), expected below 0.02 after
    // 305 minutes, the band's edges after 269 and 360; the plan's band after 211 and 455.
    const QString worked = QStringLiteral("70=0.080 85=0.077 100=0.073 115=0.069 130=0.066");
    QTest::newRow("24-hour clock") << c << QTime(14, 0) << worked << 0.0f
                                   << "80 % of participants like this one are expected below 0.02 "
                                      "between 17:31 and 21:35; only a reading releases a "
                                      "participant (levels in g/100 ml)."
                                   << "Personal forecast from 5 readings: falling 0.0155 g/100 ml "
                                      "per hour (80 %: 0.0123\u20130.0188); below 0.02 at 19:05 "
                                      "(80 %: 18:29\u201320:00).";
    QTest::newRow("12-hour clock, the shared PM once")
        << english << QTime(10, 25) << worked << 0.0f
        << "80 % of participants like this one are expected below 0.02 between 1:56 PM "
           "and 6:00 PM; only a reading releases a participant (levels in g/100 ml)."
        << "Personal forecast from 5 readings: falling 0.0155 g/100 ml per hour (80 %: "
           "0.0123\u20130.0188); below 0.02 at 3:30 PM (80 %: 2:54\u20134:25 PM).";
    QTest::newRow("12-hour clock, from the morning into the afternoon")
        << english << QTime(7, 0) << worked << 0.0f
        << "80 % of participants like this one are expected below 0.02 between 10:31 AM "
           "and 2:35 PM; only a reading releases a participant (levels in g/100 ml)."
        << "Personal forecast from 5 readings: falling 0.0155 g/100 ml per hour (80 %: "
           "0.0123\u20130.0188); below 0.02 at 12:05 PM (80 %: 11:29 AM\u20131:00 PM).";
    QTest::newRow("the limb not shown: no forecast")
        << c << QTime(14, 0) << "70=0.080 85=0.077" << 0.0f
        << "80 % of participants like this one are expected below 0.02 between 17:31 and "
           "21:35; only a reading releases a participant (levels in g/100 ml)."
        << "";
    // Hardly falling, read to 0.0005: 0.0002 (80 %: -0.0001 to 0.0005) may be no fall at all.
    QTest::newRow("too slow a fall to say when")
        << c << QTime(14, 0) << "70=0.08 130=0.0799 190=0.0798 250=0.0797" << 0.0005f
        << "80 % of participants like this one are expected below 0.02 between 17:31 and "
           "21:35; only a reading releases a participant (levels in g/100 ml)."
        << "Personal forecast from 4 readings: falling 0.0002 g/100 ml per hour (80 %: "
           "-0.0001\u20130.0005); too slow a fall yet to say when it is below 0.02.";
}

void TestSessionText::forecastWords()
{
    QFETCH(QLocale, locale);
    QFETCH(QTime, start);
    QFETCH(QString, entries);
    QFETCH(float, readingSd);
    QFETCH(QString, releaseBand);
    QFETCH(QString, personal);
    auto session = SessionSupport::workedSession();
    const QDateTime started(SessionSupport::start().date(), start);
    session->setStart(started);
    const QDateTime now = started.addSecs(300 * 60);
    QCOMPARE(enter(*session, entries, now), QString());
    SessionReportOptions options;
    options.locale = locale;
    if (readingSd > 0)
        options.readingSd = readingSd;
    SessionText words = describeSession(evaluateSession(session->record(), now, options), locale);
    // Newer regional data put a narrow space before AM and PM.
    QCOMPARE(words.releaseBand.replace(QChar(0x202f), QLatin1Char(' ')), releaseBand);
    QCOMPARE(words.personal.replace(QChar(0x202f), QLatin1Char(' ')), personal);
}

QTEST_APPLESS_MAIN(TestSessionText)
#include "tst_sessiontext.moc"
