#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/Plausibility.h"

#include <QTest>

namespace {

// A participant and parameters inside every range, in both kinds of units.
DoseInput plausible(bool metric)
{
    DoseInput input;
    input.units = metric ? BodyUnits::CentimetresKilograms : BodyUnits::InchesPounds;
    input.bodyInCm = {178, 80};
    DosingState &s = input.state;
    s.Height = 70;
    s.Weight = 160;
    s.Age = 25;
    s.Gender = Gender::Male;
    s.BAL = 0.08f;
    s.DD = 40;
    s.Proof = 200;
    s.Ratio = 6;
    return input;
}

} // namespace

class TestPlausibility : public QObject {
    Q_OBJECT

private slots:
    void boundaries_data();
    void boundaries();
    void severalInEntryOrder();
};

void TestPlausibility::boundaries_data()
{
    QTest::addColumn<QString>("value"); // which value the row changes
    QTest::addColumn<bool>("metric");
    QTest::addColumn<float>("number");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("notice"); // empty: none

    const auto row = [](const char *name, const char *value, bool metric, float number,
                        const QString &notice, const char *locale = "C") {
        QTest::newRow(name) << QString::fromLatin1(value) << metric << number
                            << QString::fromLatin1(locale) << notice;
    };
    row("height 48 in", "height", false, 48, {});
    row("height 47.9 in", "height", false, 47.9f, "height 47.9 in is outside 48–90 in");
    row("height 90 in", "height", false, 90, {});
    row("height 90.1 in", "height", false, 90.1f, "height 90.1 in is outside 48–90 in");
    row("height 178 typed as inches", "height", false, 178, "height 178 in is outside 48–90 in");
    row("height 178 cm", "height", true, 178, {});
    row("height 122 cm", "height", true, 122, {});
    row("height 121.9 cm", "height", true, 121.9f, "height 121.9 cm is outside 122–229 cm");
    row("height 229 cm", "height", true, 229, {});
    row("height 229.5 cm", "height", true, 229.5f, "height 229.5 cm is outside 122–229 cm");
    row("height 70 typed as centimetres", "height", true, 70, "height 70 cm is outside 122–229 cm");
    row("weight 70 lb", "weight", false, 70, {});
    row("weight 69.5 lb", "weight", false, 69.5f, "weight 69.5 lb is outside 70–500 lb");
    row("weight 500 lb", "weight", false, 500, {});
    row("weight 501 lb", "weight", false, 501, "weight 501 lb is outside 70–500 lb");
    row("weight 32 kg", "weight", true, 32, {});
    row("weight 31.5 kg", "weight", true, 31.5f, "weight 31.5 kg is outside 32–227 kg");
    row("weight 227 kg", "weight", true, 227, {});
    row("weight 228 kg", "weight", true, 228, "weight 228 kg is outside 32–227 kg");
    row("age 18", "age", false, 18, {});
    row("age 17.5", "age", false, 17.5f, "age 17.5 years is outside 18–100 years");
    row("age 100", "age", true, 100, {});
    row("age 101", "age", true, 101, "age 101 years is outside 18–100 years");
    row("age -5", "age", false, -5, "age -5 years is outside 18–100 years");
    row("BAL 0", "bal", false, 0, "target BAL 0 g/100 ml is not above 0 g/100 ml");
    row("BAL -0.08", "bal", false, -0.08f, "target BAL -0.08 g/100 ml is not above 0 g/100 ml");
    row("BAL 0.001", "bal", false, 0.001f, {});
    row("BAL 0.2", "bal", false, 0.2f, {});
    row("BAL 0.21", "bal", false, 0.21f, "target BAL 0.21 g/100 ml is outside 0–0.2 g/100 ml");
    row("period 5 min", "dd", false, 5, {});
    row("period 4.5 min", "dd", false, 4.5f,
        "drinking period 4.5 minutes is outside 5–240 minutes");
    row("period 240 min", "dd", false, 240, {});
    row("period 241 min", "dd", false, 241, "drinking period 241 minutes is outside 5–240 minutes");
    row("proof 0", "proof", false, 0, "proof 0 is not above 0");
    row("proof 0.5", "proof", false, 0.5f, {});
    row("proof 200", "proof", false, 200, {});
    row("proof 200.5", "proof", false, 200.5f, "proof 200.5 is outside 0–200");
    row("ratio 0", "ratio", false, 0, {});
    row("ratio -1", "ratio", false, -1, "mixer ratio -1 is outside 0–20");
    row("ratio 20", "ratio", false, 20, {});
    row("ratio 20.5", "ratio", false, 20.5f, "mixer ratio 20.5 is outside 0–20");
    row("regional decimal comma", "bal", false, 0.25f,
        "target BAL 0,25 g/100 ml is outside 0–0,2 g/100 ml", "de_DE");
    row("exponent form", "weight", false, 1e30f, "weight 1E+30 lb is outside 70–500 lb");
}

void TestPlausibility::boundaries()
{
    QFETCH(QString, value);
    QFETCH(bool, metric);
    QFETCH(float, number);
    QFETCH(QString, locale);
    QFETCH(QString, notice);
    DoseInput input = plausible(metric);
    for (const DoseValueInfo &info : DoseValues) {
        if (QLatin1String(info.column.inchesPounds) == value)
            input.number(info.value) = number;
    }

    const QList<PlausibilityNotice> notices = PlausibilityNotices(input);
    QStringList texts;
    for (const PlausibilityNotice &each : notices)
        texts << PlausibilityNoticeText(each, QLocale(locale));
    QCOMPARE(texts, notice.isEmpty() ? QStringList() : QStringList{notice});
}

// In the order the values are entered, whatever the units; the other units' body is ignored.
void TestPlausibility::severalInEntryOrder()
{
    DoseInput input = plausible(true);
    input.state.Ratio = 30;
    input.state.Age = 12;
    input.state.Height = 178;
    input.state.Weight = 20; // inches and pounds are not looked at with metric input
    input.bodyInCm.heightCm = 300;
    QStringList texts;
    for (const PlausibilityNotice &each : PlausibilityNotices(input))
        texts << PlausibilityNoticeText(each, QLocale::c());
    QCOMPARE(texts, (QStringList{"height 300 cm is outside 122–229 cm",
                                 "age 12 years is outside 18–100 years",
                                 "mixer ratio 30 is outside 0–20"}));
}

QTEST_APPLESS_MAIN(TestPlausibility)
#include "tst_plausibility.moc"
