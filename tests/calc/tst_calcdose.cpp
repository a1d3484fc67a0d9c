#include "CalcDose.h"
#include "NumberText.h"

#include <QTest>
#include <cmath>

class TestCalcDose : public QObject {
    Q_OBJECT

private:
    static DosingState participant(std::int16_t gender, float height, float weight, float age,
                                   float bal = 0.08f, float dd = 40, float proof = 200,
                                   float ratio = 6)
    {
        DosingState s;
        s.Gender = gender;
        s.Height = height;
        s.Weight = weight;
        s.Age = age;
        s.BAL = bal;
        s.DD = dd;
        s.Proof = proof;
        s.Ratio = ratio;
        return s;
    }

private slots:
    void workedExamples_data();
    void workedExamples();
};

void TestCalcDose::workedExamples_data()
{
    QTest::addColumn<int>("gender");
    QTest::addColumn<float>("height");
    QTest::addColumn<float>("weight");
    QTest::addColumn<float>("age");
    QTest::addColumn<float>("bal");
    QTest::addColumn<float>("dd");
    QTest::addColumn<float>("proof");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<float>("alc");
    QTest::addColumn<float>("mix");
    QTest::addColumn<float>("tot");
    QTest::newRow("male default") << 1 << 70.f << 160.f << 25.f << 0.08f << 40.f << 200.f << 6.f << 68.f << 408.f << 476.f;
    QTest::newRow("female default") << 0 << 65.f << 130.f << 25.f << 0.08f << 40.f << 200.f << 6.f << 47.f << 282.f << 329.f;
    QTest::newRow("male 80 proof") << 1 << 70.f << 160.f << 25.f << 0.08f << 40.f << 80.f << 3.f << 169.f << 507.f << 676.f;
    QTest::newRow("male 0.1 60min") << 1 << 70.f << 160.f << 25.f << 0.1f << 60.f << 100.f << 4.f << 170.f << 680.f << 850.f;
    QTest::newRow("female zeros") << 0 << 0.f << 0.f << 0.f << 0.08f << 40.f << 200.f << 6.f << -3.f << -18.f << -21.f;
}

void TestCalcDose::workedExamples()
{
    QFETCH(int, gender);
    QFETCH(float, height);
    QFETCH(float, weight);
    QFETCH(float, age);
    QFETCH(float, bal);
    QFETCH(float, dd);
    QFETCH(float, proof);
    QFETCH(float, ratio);
    QFETCH(float, alc);
    QFETCH(float, mix);
    QFETCH(float, tot);
    DosingState s = participant(std::int16_t(gender), height, weight, age, bal, dd, proof, ratio);
    const DoseOutcome outcome = CalcDose(s);
    QVERIFY(outcome.ok());
    QCOMPARE(s.AlcDose, alc);
    QCOMPARE(s.MixDose, mix);
    QCOMPARE(s.TotDose, tot);
}

QTEST_APPLESS_MAIN(TestCalcDose)
#include "tst_calcdose.moc"
