#include "calc/dose/DoseFaultTexts.h"
#include "calc/session/SessionFaultTexts.h"
#include "calc/dose/Placebo.h"
#include "calc/session/SessionCode.h"
#include "tests/support/WorkedExample.h"

#include <QTest>
#include <limits>

Q_DECLARE_METATYPE(PlaceboProblem)

class TestSessionRules : public QObject {
    Q_OBJECT

private slots:
    void placebo_data();
    void placebo();
    void sessionCode_data();
    void sessionCode();
};

void TestSessionRules::placebo_data()
{
    QTest::addColumn<float>("floatMl");
    QTest::addColumn<PlaceboProblem>("problem");
    QTest::addColumn<QString>("portions"); // alcohol+mixer of each

    QTest::newRow("no float") << 0.0f << PlaceboProblem::None << "0+159 0+159 0+158";
    QTest::newRow("5 ml") << 5.0f << PlaceboProblem::None << "5+154 5+154 5+153";
    QTest::newRow("the smallest portion") << 158.0f << PlaceboProblem::None << "158+1 158+1 158+0";
    QTest::newRow("above the smallest portion")
        << 159.0f << PlaceboProblem::FloatAboveSmallestPortion << "";
    QTest::newRow("half a millilitre") << 2.5f << PlaceboProblem::FloatNotWhole << "";
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN()
                                  << PlaceboProblem::FloatNotWhole << "";
    QTest::newRow("negative") << -1.0f << PlaceboProblem::FloatNegative << "";
}

void TestSessionRules::placebo()
{
    QFETCH(float, floatMl);
    QFETCH(PlaceboProblem, problem);
    QFETCH(QString, portions);
    const DoseReport report =
        evaluateDose(workedExampleInput(), {SessionPlanSettings{}, std::nullopt});
    QVERIFY(report.plan && report.plan->ok());
    QCOMPARE(placeboProblem(floatMl, *report.plan), problem);
    QCOMPARE(placeboMessage(problem, 158).startsWith(QLatin1String("ERROR: ")),
             problem != PlaceboProblem::None);
    if (problem != PlaceboProblem::None)
        return;
    QStringList parts;
    const QList<ServedPortion> placebo = placeboPortions(*report.plan, int(floatMl));
    for (qsizetype i = 0; i < placebo.size(); ++i) {
        QCOMPARE(placebo[i].totalMl, report.plan->portions[i].totalMl);
        QCOMPARE(placebo[i].atMinute, report.plan->portions[i].atMinute);
        parts << QStringLiteral("%1+%2").arg(placebo[i].alcoholMl).arg(placebo[i].mixerMl);
    }
    QCOMPARE(parts.join(QLatin1Char(' ')), portions);
}

void TestSessionRules::sessionCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("letters, digits, - and _") << "P-017_b" << true;
    QTest::newRow("32 characters") << QString(32, QLatin1Char('a')) << true;
    QTest::newRow("33 characters") << QString(33, QLatin1Char('a')) << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("a blank") << "P 017" << false;
    QTest::newRow("a letter beyond ASCII") << "P\u00e4017" << false;
    QTest::newRow("a path") << "../P017" << false;
    QTest::newRow("a comma") << "P,017" << false;
}

void TestSessionRules::sessionCode()
{
    QFETCH(QString, code);
    QFETCH(bool, accepted);
    QCOMPARE(acceptsSessionCode(code), accepted);
    QVERIFY(sessionCodeMessage(code).startsWith(QLatin1String("ERROR: ")));
}

QTEST_APPLESS_MAIN(TestSessionRules)
#include "tst_sessionrules.moc"
