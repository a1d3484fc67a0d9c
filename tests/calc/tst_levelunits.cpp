#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/NumberText.h"
#include "tests/support/WorkedExample.h"

#include <QTest>
#include <bit>
#include <cmath>

// A level typed in the lab's unit is the g/100 ml of blood the calculation uses, to the bit; shown
// again it reads back to the very same g/100 ml, and it gives the dose of that BAL.
class TestLevelUnits : public QObject {
    Q_OBJECT

private slots:
    void typedLevels_data();
    void typedLevels();
    void shownConverted_data();
    void shownConverted();
    void typedLevelStandsFor_data();
    void typedLevelStandsFor();
};

void TestLevelUnits::typedLevels_data()
{
    QTest::addColumn<QString>("unit"); // as the command line names it
    QTest::addColumn<float>("ratio");
    QTest::addColumn<float>("typed");
    QTest::addColumn<double>("bal");    // the g/100 ml used: the float nearest this number
    QTest::addColumn<QString>("shown"); // that BAL shown again in the unit

    QTest::newRow("g/100 ml is the BAL") << "g/100ml" << 2100.0f << 0.08f << 0.08 << "0.08";
    QTest::newRow("g/210 L at 2100:1 is g/100 ml")
        << "g/210L" << 2100.0f << 0.08f << 0.08 << "0.08";
    QTest::newRow("0.40 mg/L at 2000:1") << "mg/L" << 2000.0f << 0.40f << 0.08 << "0.4";
    QTest::newRow("0.8 g/L") << "g/L" << 2100.0f << 0.8f << 0.08 << "0.8";
    QTest::newRow("80 mg/100 ml") << "mg/100ml" << 2100.0f << 80.0f << 0.08 << "80";
    QTest::newRow("35 micrograms at 2300:1") << "ug/100ml" << 2300.0f << 35.0f << 0.0805 << "35";
    QTest::newRow("micro sign, any letter case")
        << "\u00b5G/100ML" << 2300.0f << 80.0f << 0.184 << "80";
    QTest::newRow("0.40 mg/L at 2100:1") << "mg/L" << 2100.0f << 0.40f << 0.084 << "0.4";
    // float32(t x R / 2100) with t the float typed, the product and quotient in double.
    QTest::newRow("0.08 g/210 L at 2300:1")
        << "g/210L" << 2300.0f << 0.08f << double(0.08f) * 2300 / 2100 << "0.08";
    QTest::newRow("a ratio of another lab")
        << "mg/L" << 1234.5f << 0.25f << 0.25 * 1234.5 / 10000 << "0.25";
    // Blood units take no ratio.
    QTest::newRow("g/L at 2300:1") << "g/L" << 2300.0f << 1.5f << 0.15 << "1.5";
}

void TestLevelUnits::typedLevels()
{
    QFETCH(QString, unit);
    QFETCH(float, ratio);
    QFETCH(float, typed);
    QFETCH(double, bal);
    QFETCH(QString, shown);
    const QByteArray name = unit.toUtf8();
    const std::optional<LevelUnit> parsed =
        levelUnitFromText(std::string_view(name.constData(), std::size_t(name.size())));
    QVERIFY(parsed);
    const LevelScale scale{*parsed, ratio};

    const float used = scale.toBal(typed);
    QCOMPARE(std::bit_cast<quint32>(used), std::bit_cast<quint32>(float(bal)));
    const float again = scale.shownLevel(used);
    QCOMPARE(SingleToText(again, QLocale::c()), shown);
    QCOMPARE(std::bit_cast<quint32>(scale.toBal(again)), std::bit_cast<quint32>(used));

    // The dose of the typed level is the dose of its BAL.
    DoseInput typedInput = workedExampleInput();
    typedInput.level = scale;
    typedInput.typedTarget = typed;
    DoseInput balInput = workedExampleInput();
    balInput.state.BAL = float(bal);
    const DoseReport fromLevel = evaluateDose(typedInput);
    const DoseReport fromBal = evaluateDose(balInput);
    QVERIFY(fromLevel.ok());
    QCOMPARE(fromLevel.dose.state.AlcDose, fromBal.dose.state.AlcDose);
    QCOMPARE(fromLevel.dose.state.MixDose, fromBal.dose.state.MixDose);
    QCOMPARE(fromLevel.dose.targetLevel, typed);
}

// A typed level converted for a table or a sentence: in double from the number typed, 7
// significant digits; nothing converted in g/100 ml, where the number typed is shown whole.
void TestLevelUnits::shownConverted_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<float>("typed");
    QTest::addColumn<QString>("inBal");   // the typed level in g/100 ml
    QTest::addColumn<QString>("asLevel"); // the typed number taken as a BAL, in the unit

    QTest::newRow("g/100 ml: the number typed, every digit")
        << "g/100ml" << 2100.0f << 0.060000002f << "0.060000002"
        << "0.060000002";
    QTest::newRow("0.3 mg/L at 2000:1") << "mg/L" << 2000.0f << 0.3f << "0.06"
                                        << "1.5";
    QTest::newRow("0.08 g/210 L at 2300:1") << "g/210L" << 2300.0f << 0.08f << "0.08761905"
                                            << "0.07304348";
    QTest::newRow("0.8 g/L") << "g/L" << 2100.0f << 0.8f << "0.08"
                             << "8";
    QTest::newRow("35 micrograms at 2300:1") << "ug/100ml" << 2300.0f << 35.0f << "0.0805"
                                             << "15217.39";
}

void TestLevelUnits::shownConverted()
{
    QFETCH(QString, unit);
    QFETCH(float, ratio);
    QFETCH(float, typed);
    QFETCH(QString, inBal);
    QFETCH(QString, asLevel);
    const QByteArray name = unit.toUtf8();
    const LevelScale scale{
        *levelUnitFromText(std::string_view(name.constData(), std::size_t(name.size()))), ratio};
    char buffer[32];
    QCOMPARE(QString::fromLatin1(ExactDoubleToText(scale.balToShow(typed), buffer)), inBal);
    QCOMPARE(QString::fromLatin1(ExactDoubleToText(scale.levelToShow(typed), buffer)), asLevel);
}

// The target as typed is shown again only while it still gives the very BAL in force, in the
// unit and ratio it was typed in.
void TestLevelUnits::typedLevelStandsFor_data()
{
    QTest::addColumn<bool>("typed"); // 0.4 mg/L at 2000:1
    QTest::addColumn<float>("bal");
    QTest::addColumn<float>("ratio"); // of the unit now, mg/L
    QTest::addColumn<bool>("stands");

    const float bal = LevelScale{LevelUnit::MilligramsPerLitre, 2000}.toBal(0.4f);
    QTest::newRow("the BAL it gives") << true << bal << 2000.0f << true;
    QTest::newRow("nothing typed") << false << bal << 2000.0f << false;
    QTest::newRow("a BAL one bit away") << true << std::nextafter(bal, 1.0f) << 2000.0f << false;
    QTest::newRow("another BAL since") << true << 0.1f << 2000.0f << false;
    QTest::newRow("another ratio") << true << bal << 2100.0f << false;
}

void TestLevelUnits::typedLevelStandsFor()
{
    QFETCH(bool, typed);
    QFETCH(float, bal);
    QFETCH(float, ratio);
    QFETCH(bool, stands);
    const std::optional<TypedLevel> given =
        typed ? std::optional(TypedLevel{0.4f, {LevelUnit::MilligramsPerLitre, 2000}})
              : std::nullopt;
    const std::optional<float> shown =
        typedLevelFor(given, bal, {LevelUnit::MilligramsPerLitre, ratio});
    QCOMPARE(shown.has_value(), stands);
    if (stands)
        QCOMPARE(*shown, 0.4f);
    // In another unit it never stands, whatever the BAL.
    QVERIFY(!typedLevelFor(given, bal, LevelScale{}));
}

QTEST_APPLESS_MAIN(TestLevelUnits)
#include "tst_levelunits.moc"
