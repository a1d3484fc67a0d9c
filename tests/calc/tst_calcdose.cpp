#include "calc/dose/DoseFaultTexts.h"
#include "calc/dose/CalcDose.h"
#include "calc/dose/NumberText.h"

#include <QTest>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

Q_DECLARE_METATYPE(DosingState)

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
    void genderOtherThanMaleIsFemale_data();
    void genderOtherThanMaleIsFemale();
    void genderNotSpecifiedChangesNothing();
    void alcoholDoseRoundsHalfToEven_data();
    void alcoholDoseRoundsHalfToEven();
    void mixerRoundsHalfToEven_data();
    void mixerRoundsHalfToEven();
    void ratioZero();
    void faultsStopTheCalculation_data();
    void faultsStopTheCalculation();
    void messagesSayWhy_data();
    void messagesSayWhy();
    void metricInputTakesTheInchPath_data();
    void metricInputTakesTheInchPath();
    void typedBodyKeptInBothUnits_data();
    void typedBodyKeptInBothUnits();
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
    QTest::newRow("male default") << 1 << 70.f << 160.f << 25.f << 0.08f << 40.f << 200.f << 6.f
                                  << 68.f << 408.f << 476.f;
    QTest::newRow("female default")
        << 0 << 65.f << 130.f << 25.f << 0.08f << 40.f << 200.f << 6.f << 47.f << 282.f << 329.f;
    QTest::newRow("male 80 proof")
        << 1 << 70.f << 160.f << 25.f << 0.08f << 40.f << 80.f << 3.f << 169.f << 507.f << 676.f;
    QTest::newRow("male 0.1 60min")
        << 1 << 70.f << 160.f << 25.f << 0.1f << 60.f << 100.f << 4.f << 170.f << 680.f << 850.f;
    QTest::newRow("female zeros") << 0 << 0.f << 0.f << 0.f << 0.08f << 40.f << 200.f << 6.f << -3.f
                                  << -18.f << -21.f;
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

void TestCalcDose::genderOtherThanMaleIsFemale_data()
{
    QTest::addColumn<int>("gender");
    QTest::newRow("two") << 2;
    QTest::newRow("minus two") << -2;
    QTest::newRow("largest") << 32767;
}

void TestCalcDose::genderOtherThanMaleIsFemale()
{
    QFETCH(int, gender);
    DosingState female = participant(Gender::Female, 65, 130, 25);
    DosingState other = participant(std::int16_t(gender), 65, 130, 25);
    QVERIFY(CalcDose(female).ok());
    QVERIFY(CalcDose(other).ok());
    QCOMPARE(other.AlcDose, female.AlcDose);
    QCOMPARE(other.TotDose, female.TotDose);
    // Age does not enter the female formula.
    DosingState older = participant(std::int16_t(gender), 65, 130, 80);
    QVERIFY(CalcDose(older).ok());
    QCOMPARE(older.AlcDose, female.AlcDose);
}

void TestCalcDose::genderNotSpecifiedChangesNothing()
{
    DosingState s = participant(Gender::NotSpecified, 70, 160, 25);
    s.AlcDose = 1.25f;
    s.MixDose = 2.5f;
    s.TotDose = 3.75f;
    const DosingState before = s;
    const DoseOutcome outcome = CalcDose(s);
    QCOMPARE(outcome.status, DoseStatus::GenderNotSpecified);
    QCOMPARE(doseFaultText(outcome).message, QStringLiteral("ERROR: Gender Not Specified!"));
    QVERIFY(std::memcmp(&s, &before, sizeof s) == 0);
}

// Looks, among the proofs next to `proof`, for one whose unrounded spirit volume is exactly
// n + 0.5 ml, so that the rounding of an exact half can be watched.
static bool findExactHalf(DosingState base, float proof, DosingState &found, float &unrounded)
{
    for (int step = 0; step < 200000; ++step) {
        DosingState s = base;
        s.Proof = proof;
        const DoseOutcome outcome = CalcDose(s);
        const float raw = outcome.intermediates.unroundedAlcoholMl;
        if (outcome.ok() && raw - std::floor(raw) == 0.5f) {
            found = s;
            unrounded = raw;
            return true;
        }
        proof = std::nextafter(proof, 0.0f);
    }
    return false;
}

void TestCalcDose::alcoholDoseRoundsHalfToEven_data()
{
    QTest::addColumn<int>("gender");
    QTest::addColumn<float>("approxDose");
    QTest::newRow("near 68.5 male") << 1 << 68.5f;
    QTest::newRow("near 67.5 male") << 1 << 67.5f;
    QTest::newRow("near 46.5 female") << 0 << 46.5f;
    QTest::newRow("near 47.5 female") << 0 << 47.5f;
}

void TestCalcDose::alcoholDoseRoundsHalfToEven()
{
    QFETCH(int, gender);
    QFETCH(float, approxDose);
    const DosingState base = participant(std::int16_t(gender), 70, 160, 25);
    DosingState pure = base;
    QVERIFY(CalcDose(pure).ok());
    // Start from a proof a little too strong for `approxDose` ml of spirit; weakening it step
    // by step raises the volume through approxDose.
    const float pureMl = CalcDose(pure).intermediates.unroundedAlcoholMl;
    DosingState s;
    float unrounded = 0;
    QVERIFY(findExactHalf(base, 200.0f * pureMl / (approxDose - 0.01f), s, unrounded));
    QVERIFY(std::abs(unrounded - approxDose) < 0.6f);
    const float lower = std::floor(unrounded);
    const float even = std::fmod(lower, 2.0f) == 0 ? lower : lower + 1;
    QCOMPARE(s.AlcDose, even);
    QCOMPARE(s.MixDose, 6 * even);
    QCOMPARE(s.TotDose, 7 * even);
}

void TestCalcDose::mixerRoundsHalfToEven_data()
{
    QTest::addColumn<float>("proof");
    QTest::addColumn<float>("ratio");
    QTest::addColumn<float>("alcohol");
    QTest::addColumn<float>("mixer");
    // 47 ml (female) and 169 ml (male, 80 proof) are odd, so half ratios give exact halves.
    QTest::newRow("23.5 to 24") << 200.f << 0.5f << 47.f << 24.f;
    QTest::newRow("70.5 to 70") << 200.f << 1.5f << 47.f << 70.f;
    QTest::newRow("-23.5 to -24") << 200.f << -0.5f << 47.f << -24.f;
}

void TestCalcDose::mixerRoundsHalfToEven()
{
    QFETCH(float, proof);
    QFETCH(float, ratio);
    QFETCH(float, alcohol);
    QFETCH(float, mixer);
    DosingState s = participant(Gender::Female, 65, 130, 25, 0.08f, 40, proof, ratio);
    QVERIFY(CalcDose(s).ok());
    QCOMPARE(s.AlcDose, alcohol);
    QCOMPARE(s.MixDose, mixer);
    QCOMPARE(s.TotDose, alcohol + mixer);
}

void TestCalcDose::ratioZero()
{
    // A negative dose times ratio 0 is -0, which must be shown as a plain 0.
    DosingState s = participant(Gender::Female, 0, 0, 0, 0.08f, 40, 200, 0);
    QVERIFY(CalcDose(s).ok());
    QCOMPARE(s.AlcDose, -3.0f);
    QCOMPARE(s.MixDose, 0.0f);
    QVERIFY(!std::signbit(s.MixDose));
    QCOMPARE(s.TotDose, s.AlcDose);
    QCOMPARE(SingleToText(s.MixDose, QLocale::c()), QStringLiteral("0"));
}

void TestCalcDose::faultsStopTheCalculation_data()
{
    QTest::addColumn<DosingState>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("alcoholChanged");

    const int fault = int(DoseStatus::ArithmeticFault);
    const int rounding = int(DoseStatus::RoundingOverflow);
    QTest::newRow("proof 0") << participant(1, 70, 160, 25, 0.08f, 40, 0, 6) << fault
                             << int(DoseStep::SpiritMl) << int(ArithmeticFault::DivisionByZero)
                             << true;
    QTest::newRow("proof -0") << participant(0, 65, 130, 25, 0.08f, 40, -0.0f, 6) << fault
                              << int(DoseStep::SpiritMl) << int(ArithmeticFault::DivisionByZero)
                              << true;
    QTest::newRow("no alcohol and proof 0")
        << participant(1, 70, 160, 25, 0, -30, 0, 6) << fault << int(DoseStep::SpiritMl)
        << int(ArithmeticFault::InvalidOperation) << true;
    QTest::newRow("tiny proof overflows the float")
        << participant(1, 70, 160, 25, 0.08f, 40, std::numeric_limits<float>::denorm_min(), 6)
        << fault << int(DoseStep::SpiritMl) << int(ArithmeticFault::Overflow) << true;
    QTest::newRow("height overflows the float")
        << participant(1, 3e38f, 160, 25) << fault << int(DoseStep::HeightCm)
        << int(ArithmeticFault::Overflow) << false;
    QTest::newRow("alcohol grams overflow the float")
        << participant(1, 70, 160, 25, 3e38f) << fault << int(DoseStep::AlcoholGrams)
        << int(ArithmeticFault::Overflow) << false;
    QTest::newRow("dose beyond 32767 ml")
        << participant(1, 70, 200000, 25) << rounding << int(DoseStep::RoundAlcohol)
        << int(ArithmeticFault::None) << true;
    QTest::newRow("dose below -32768 ml")
        << participant(0, 65, -200000, 25) << rounding << int(DoseStep::RoundAlcohol)
        << int(ArithmeticFault::None) << true;
    QTest::newRow("mixer beyond 32767 ml")
        << participant(1, 70, 160, 25, 0.08f, 40, 200, 1000) << rounding
        << int(DoseStep::RoundMixer) << int(ArithmeticFault::None) << true;
    QTest::newRow("mixer overflows the float")
        << participant(1, 70, 160, 25, 0.08f, 40, 200, 3e38f) << fault << int(DoseStep::MixerMl)
        << int(ArithmeticFault::Overflow) << true;
}

// The checks run in the optimised build: if the compiler folded a fault check away, the
// calculation would run on and overwrite the results that must stay.
void TestCalcDose::faultsStopTheCalculation()
{
    QFETCH(DosingState, input);
    QFETCH(int, status);
    QFETCH(int, step);
    QFETCH(int, fault);
    QFETCH(bool, alcoholChanged);
    DosingState s = input;
    s.AlcDose = 11;
    s.MixDose = 22;
    s.TotDose = 33;
    const DoseOutcome outcome = CalcDose(s);
    QCOMPARE(int(outcome.status), status);
    QCOMPARE(int(outcome.step), step);
    QCOMPARE(int(outcome.fault), fault);
    QVERIFY(doseFaultText(outcome).message.startsWith(QStringLiteral("ERROR: ")));
    if (step != int(DoseStep::RoundMixer) && step != int(DoseStep::MixerMl))
        QCOMPARE(s.MixDose, 22.0f);
    QCOMPARE(s.TotDose, 33.0f);
    QCOMPARE(s.AlcDose != 11.0f, alcoholChanged);
    if (status == int(DoseStatus::RoundingOverflow) && step == int(DoseStep::RoundAlcohol))
        QCOMPARE(s.AlcDose, outcome.intermediates.unroundedAlcoholMl); // left unrounded
    // Inputs are never touched by a calculation.
    QCOMPARE(s.Height, input.Height);
    QCOMPARE(s.Weight, input.Weight);
    QCOMPARE(s.Proof, input.Proof);
}

void TestCalcDose::messagesSayWhy_data()
{
    QTest::addColumn<DosingState>("input");
    QTest::addColumn<QString>("reason");
    QTest::newRow("proof 0") << participant(1, 70, 160, 25, 0.08f, 40, 0, 6) << "proof is 0";
    QTest::newRow("proof 0, no alcohol needed")
        << participant(1, 70, 160, 25, 0, -30, 0, 6) << "proof is 0";
    QTest::newRow("dose too large") << participant(1, 70, 200000, 25) << "32767 ml";
    QTest::newRow("mixer too large")
        << participant(1, 70, 160, 25, 0.08f, 40, 200, 1000) << "mixer volume";
    QTest::newRow("overflow") << participant(1, 3e38f, 160, 25) << "overflow";
}

void TestCalcDose::messagesSayWhy()
{
    QFETCH(DosingState, input);
    QFETCH(QString, reason);
    const QString message = doseFaultText(CalcDose(input)).message;
    QVERIFY2(message.startsWith(QStringLiteral("ERROR: The dose cannot be computed")),
             qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
}

// The float next to `target` x `factor` whose division by `factor` stores exactly `target`: the
// inches (or pounds) from which the model itself arrives at `target` centimetres (kilograms).
static std::optional<float> sourceOf(float target, double factor)
{
    constexpr float Infinity = std::numeric_limits<float>::infinity();
    float below = float(double(target) * factor);
    float above = below;
    for (int i = 0; i <= 8; ++i) {
        for (const float candidate : {below, above}) {
            if (std::bit_cast<quint32>(float(double(candidate) / factor)) ==
                std::bit_cast<quint32>(target))
                return candidate;
        }
        below = std::nextafter(below, -Infinity);
        above = std::nextafter(above, Infinity);
    }
    return std::nullopt;
}

void TestCalcDose::metricInputTakesTheInchPath_data()
{
    QTest::addColumn<DosingState>("input"); // Height and Weight hold the typed cm and kg
    QTest::addColumn<bool>("inchesExist");  // whether some inches and pounds give them exactly
    QTest::newRow("male 178 cm 80 kg") << participant(1, 178, 80, 25) << true;
    QTest::newRow("female 165 cm 58.5 kg") << participant(0, 165, 58.5f, 25) << true;
    QTest::newRow("male 180 cm 72.6 kg, other parameters")
        << participant(1, 180, 72.6f, 41, 0.1f, 60, 100, 4) << true;
    QTest::newRow("female 150.5 cm 80 kg, fractional ratio")
        << participant(0, 150.5f, 80, 30, 0.06f, 90, 80, 1.5f) << true;
    QTest::newRow("all zero, female") << participant(0, 0, 0, 0) << true;
    QTest::newRow("negative height") << participant(1, -178, 80, 25) << true;
    QTest::newRow("proof 0") << participant(1, 178, 80, 25, 0.08f, 40, 0, 6) << true;
    QTest::newRow("dose beyond 32767 ml") << participant(0, 178, 90000, 25) << true;
    // A round trip through inches and pounds would turn these into 163.00002 cm and 59.299995 kg.
    QTest::newRow("male 163 cm 59.3 kg") << participant(1, 163, 59.3f, 25) << false;
    QTest::newRow("female 123 cm 61 kg") << participant(0, 123, 61, 25) << false;
}

// Typed centimetres and kilograms are the stored intermediates themselves, and from there the
// calculation is the one of inches and pounds: bit for bit the same outcome as the inches and
// pounds that the model turns into exactly those centimetres and kilograms, where there are any.
void TestCalcDose::metricInputTakesTheInchPath()
{
    QFETCH(DosingState, input);
    QFETCH(bool, inchesExist);
    const float cm = input.Height;
    const float kg = input.Weight;
    DosingState inCm = input;
    inCm.Height = 1e30f; // never read with metric input
    inCm.Weight = -1e30f;
    const DoseOutcome viaCm = CalcDose(inCm, BodyInCm{cm, kg});
    QCOMPARE(std::bit_cast<quint32>(viaCm.intermediates.heightCm), std::bit_cast<quint32>(cm));
    QCOMPARE(std::bit_cast<quint32>(viaCm.intermediates.weightKg), std::bit_cast<quint32>(kg));
    QCOMPARE(inCm.Height, 1e30f);

    const std::optional<float> inches = sourceOf(cm, 0.3937);
    const std::optional<float> pounds = sourceOf(kg, 2.2046);
    QCOMPARE(inches && pounds, inchesExist);
    if (!inchesExist)
        return;
    DosingState inInches = input;
    inInches.Height = *inches;
    inInches.Weight = *pounds;
    const DoseOutcome viaInches = CalcDose(inInches);
    QCOMPARE(viaCm.status, viaInches.status);
    QCOMPARE(viaCm.step, viaInches.step);
    QCOMPARE(viaCm.fault, viaInches.fault);
    QVERIFY(std::memcmp(&viaCm.intermediates, &viaInches.intermediates,
                        sizeof(DoseIntermediates)) == 0);
    for (float DosingState::*result :
         {&DosingState::AlcDose, &DosingState::MixDose, &DosingState::TotDose})
        QCOMPARE(std::bit_cast<quint32>(inCm.*result), std::bit_cast<quint32>(inInches.*result));
}

// A height or weight typed is kept as typed, and the other kind of units converted from it with
// the model's factor: divided on the way to centimetres and kilograms, multiplied the other way.
void TestCalcDose::typedBodyKeptInBothUnits_data()
{
    QTest::addColumn<bool>("metric");
    QTest::addColumn<bool>("weight"); // else the height
    QTest::addColumn<float>("typed");
    QTest::addColumn<float>("inchesPounds");
    QTest::addColumn<float>("cmKg");

    QTest::newRow("70 in") << false << false << 70.0f << 70.0f << 177.800354f;
    QTest::newRow("154 lb") << false << true << 154.0f << 154.0f << 69.8539429f;
    QTest::newRow("178 cm") << true << false << 178.0f << 70.078598f << 178.0f;
    QTest::newRow("80 kg") << true << true << 80.0f << 176.367996f << 80.0f;
    // Kept as typed: through inches and pounds and back they would be 163.00002 cm and 59.299995
    // kg.
    QTest::newRow("163 cm") << true << false << 163.0f << 64.1731033f << 163.0f;
    QTest::newRow("59.3 kg") << true << true << 59.3f << 130.732773f << 59.3f;
}

void TestCalcDose::typedBodyKeptInBothUnits()
{
    QFETCH(bool, metric);
    QFETCH(bool, weight);
    QFETCH(float, typed);
    QFETCH(float, inchesPounds);
    QFETCH(float, cmKg);
    const BodyUnits units = metric ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds;
    const InBothUnits kept =
        weight ? weightInBothUnits(typed, units) : heightInBothUnits(typed, units);
    QCOMPARE(std::bit_cast<quint32>(kept.inchesPounds), std::bit_cast<quint32>(inchesPounds));
    QCOMPARE(std::bit_cast<quint32>(kept.metric), std::bit_cast<quint32>(cmKg));
}

QTEST_APPLESS_MAIN(TestCalcDose)
#include "tst_calcdose.moc"
