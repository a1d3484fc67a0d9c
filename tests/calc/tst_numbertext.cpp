#include "calc/dose/NumberText.h"

#include <QRandomGenerator>
#include <QTest>
#include <bit>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(NumberTextError)

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void singleToText_data();
    void singleToText();
    void textToSingle_data();
    void textToSingle();
    void roundsOnceToNearestFloat();
    void textSurvivesRoundTrip_data();
    void textSurvivesRoundTrip();
    void everyFloatTextIsStable_data();
    void everyFloatTextIsStable();
    void localeFreeFormsUsePoint();
    void convertedFromTheNumberTyped_data();
    void convertedFromTheNumberTyped();
};

void TestNumberText::singleToText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");

    const float third = 1.0f / 3.0f;
    QTest::newRow("target level") << "C" << 0.08f << "0.08";
    QTest::newRow("whole number") << "C" << 40.0f << "40";
    QTest::newRow("total volume") << "C" << 476.0f << "476";
    QTest::newRow("one third") << "C" << third << "0.3333333";
    QTest::newRow("twelve and a half") << "C" << 12.5f << "12.5";
    QTest::newRow("negative") << "C" << -21.0f << "-21";
    QTest::newRow("negative fraction") << "C" << -0.25f << "-0.25";
    QTest::newRow("zero") << "C" << 0.0f << "0";
    QTest::newRow("negative zero") << "C" << -0.0f << "0";
    QTest::newRow("one tenth") << "C" << 0.1f << "0.1";
    QTest::newRow("seven digits") << "C" << 1234567.0f << "1234567";
    QTest::newRow("rounded to seven digits") << "C" << 2.7182817f << "2.718282";
    QTest::newRow("smallest plain") << "C" << 0.0001f << "0.0001";
    QTest::newRow("small exponent") << "C" << 0.00001f << "1E-05";
    QTest::newRow("large exponent") << "C" << 1.0e7f << "1E+07";
    QTest::newRow("large mantissa") << "C" << 12345678.0f << "1.234568E+07";
    QTest::newRow("largest float") << "C" << std::numeric_limits<float>::max() << "3.402823E+38";
    QTest::newRow("smallest subnormal")
        << "C" << std::numeric_limits<float>::denorm_min() << "1.401298E-45";
    QTest::newRow("comma locale") << "de_DE" << 0.08f << "0,08";
    QTest::newRow("comma whole") << "de_DE" << 200.0f << "200";
    QTest::newRow("comma exponent") << "de_DE" << 1.5e7f << "1,5E+07";
    QTest::newRow("comma negative") << "de_DE" << -12.5f << "-12,5";
}

void TestNumberText::singleToText()
{
    QFETCH(QString, locale);
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(SingleToText(value, QLocale(locale)), text);
}

void TestNumberText::textToSingle_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<NumberTextError>("error");
    QTest::addColumn<float>("value");

    const auto ok = NumberTextError::None;
    const auto nan = NumberTextError::NotANumber;
    const auto range = NumberTextError::OutOfRange;
    QTest::newRow("plain") << "C"
                           << "1.5" << ok << 1.5f;
    QTest::newRow("trailing zero") << "C"
                                   << "1.50" << ok << 1.5f;
    QTest::newRow("blanks around") << "C"
                                   << " \t12.5  " << ok << 12.5f;
    QTest::newRow("plus sign") << "C"
                               << "+3" << ok << 3.0f;
    QTest::newRow("minus sign") << "C"
                                << "-0.5" << ok << -0.5f;
    QTest::newRow("no integer digits") << "C"
                                       << ".25" << ok << 0.25f;
    QTest::newRow("no fraction digits") << "C"
                                        << "7." << ok << 7.0f;
    QTest::newRow("exponent") << "C"
                              << "1e3" << ok << 1000.0f;
    QTest::newRow("upper exponent with sign") << "C"
                                              << "25E-2" << ok << 0.25f;
    QTest::newRow("target level") << "C"
                                  << "0.08" << ok << 0.08f;
    QTest::newRow("largest float") << "C"
                                   << "3.4028235e38" << ok << std::numeric_limits<float>::max();
    QTest::newRow("underflow to zero") << "C"
                                       << "1e-50" << ok << 0.0f;
    QTest::newRow("zero with huge exponent") << "C"
                                             << "0e99999" << ok << 0.0f;
    QTest::newRow("empty") << "C"
                           << "" << nan << 0.0f;
    QTest::newRow("blanks only") << "C"
                                 << "   " << nan << 0.0f;
    QTest::newRow("word") << "C"
                          << "abc" << nan << 0.0f;
    QTest::newRow("trailing text") << "C"
                                   << "12kg" << nan << 0.0f;
    QTest::newRow("inner blank") << "C"
                                 << "1 000" << nan << 0.0f;
    QTest::newRow("thousands separator") << "en_US"
                                         << "1,500" << nan << 0.0f;
    QTest::newRow("two separators") << "C"
                                    << "1.5.2" << nan << 0.0f;
    QTest::newRow("lone separator") << "C"
                                    << "." << nan << 0.0f;
    QTest::newRow("lone sign") << "C"
                               << "-" << nan << 0.0f;
    QTest::newRow("double sign") << "C"
                                 << "--1" << nan << 0.0f;
    QTest::newRow("exponent without digits") << "C"
                                             << "1e" << nan << 0.0f;
    QTest::newRow("exponent without mantissa") << "C"
                                               << "e5" << nan << 0.0f;
    QTest::newRow("infinity") << "C"
                              << "inf" << nan << 0.0f;
    QTest::newRow("infinity word") << "C"
                                   << "Infinity" << nan << 0.0f;
    QTest::newRow("not a number") << "C"
                                  << "nan" << nan << 0.0f;
    QTest::newRow("hexadecimal") << "C"
                                 << "0x10" << nan << 0.0f;
    QTest::newRow("hexadecimal float") << "C"
                                       << "0x1p3" << nan << 0.0f;
    QTest::newRow("currency before") << "en_US"
                                     << "$5" << nan << 0.0f;
    QTest::newRow("currency after") << "de_DE"
                                    << "5 €" << nan << 0.0f;
    QTest::newRow("trailing sign") << "C"
                                   << "5-" << nan << 0.0f;
    QTest::newRow("too large") << "C"
                               << "1e39" << range << 0.0f;
    QTest::newRow("too large negative") << "C"
                                        << "-1e39" << range << 0.0f;
    QTest::newRow("just beyond largest") << "C"
                                         << "3.4028236e38" << range << 0.0f;
    QTest::newRow("long digits too large") << "C" << QString(40, QLatin1Char('9')) << range << 0.0f;
    QTest::newRow("huge exponent") << "C"
                                   << "1e99999999999" << range << 0.0f;
    QTest::newRow("comma decimal") << "de_DE"
                                   << "1,5" << ok << 1.5f;
    QTest::newRow("point refused in comma locale") << "de_DE"
                                                   << "1.50" << nan << 0.0f;
    QTest::newRow("grouping refused in comma locale") << "de_DE"
                                                      << "1.500" << nan << 0.0f;
    QTest::newRow("comma with exponent") << "de_DE"
                                         << "1,5e2" << ok << 150.0f;
    QTest::newRow("unicode minus") << "sv_SE" << QString::fromUtf8("\u22121,5") << ok << -1.5f;
    QTest::newRow("ascii minus in unicode-minus locale") << "sv_SE"
                                                         << "-2,5" << ok << -2.5f;
    QTest::newRow("grouping space refused")
        << "sv_SE" << QString::fromUtf8("1\u00a0500") << nan << 0.0f;
}

void TestNumberText::textToSingle()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(NumberTextError, error);
    QFETCH(float, value);
    const SingleFromText result = TextToSingle(text, QLocale(locale));
    QCOMPARE(result.error, error);
    if (error == NumberTextError::None) {
        QCOMPARE(result.value, value);
        QCOMPARE(std::signbit(result.value), std::signbit(value));
    }
}

void TestNumberText::roundsOnceToNearestFloat()
{
    // Just above the midpoint between 1 and the next float: going through double first rounds
    // to the midpoint, which then ties to 1. Rounded once, it must go up.
    const SingleFromText above = TextToSingle(u"1.0000000596046448", QLocale::c());
    QVERIFY(above.ok());
    QCOMPARE(above.value, std::nextafter(1.0f, 2.0f));
    // The exact midpoint ties to the even neighbour, 1.
    const SingleFromText midpoint = TextToSingle(u"1.000000059604644775390625", QLocale::c());
    QCOMPARE(midpoint.value, 1.0f);
    // Negative underflow keeps its sign, as any rounding to zero does.
    const SingleFromText tiny = TextToSingle(u"-1e-50", QLocale::c());
    QVERIFY(tiny.ok());
    QVERIFY(tiny.value == 0 && std::signbit(tiny.value));
}

void TestNumberText::textSurvivesRoundTrip_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");

    QTest::newRow("typed with trailing zero") << "C"
                                              << "1.50"
                                              << "1.5";
    QTest::newRow("comma typed with trailing zero") << "de_DE"
                                                    << "1,50"
                                                    << "1,5";
    QTest::newRow("seven digits") << "C"
                                  << "0.3333333"
                                  << "0.3333333";
    QTest::newRow("seven digits comma") << "de_DE"
                                        << "1234,567"
                                        << "1234,567";
    QTest::newRow("exponent typed plainly") << "C"
                                            << "25000000"
                                            << "2.5E+07";
    QTest::newRow("blank padded") << "C"
                                  << " 0.080 "
                                  << "0.08";
    QTest::newRow("negative zero typed") << "C"
                                         << "-0"
                                         << "0";
    QTest::newRow("exponent form") << "de_DE"
                                   << "2,5E-06"
                                   << "2,5E-06";
}

void TestNumberText::textSurvivesRoundTrip()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    const QLocale l(locale);
    const SingleFromText read = TextToSingle(typed, l);
    QVERIFY(read.ok());
    QCOMPARE(SingleToText(read.value, l), shown);
    const SingleFromText again = TextToSingle(shown, l);
    QVERIFY(again.ok());
    QCOMPARE(again.value, read.value);
}

void TestNumberText::everyFloatTextIsStable_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("point") << "C";
    QTest::newRow("comma") << "de_DE";
    QTest::newRow("unicode minus") << "sv_SE";
}

// Any value shown once must read back to a value that shows the same text, across all
// magnitudes, so a field or a stored setting never drifts when it goes round again.
void TestNumberText::everyFloatTextIsStable()
{
    QFETCH(QString, locale);
    const QLocale l(locale);
    QRandomGenerator random(20261207);
    for (int i = 0; i < 200000; ++i) {
        const float value = std::bit_cast<float>(random.generate());
        if (!std::isfinite(value))
            continue;
        const QString text = SingleToText(value, l);
        const SingleFromText read = TextToSingle(text, l);
        QVERIFY2(read.ok(), qPrintable(text));
        QCOMPARE(SingleToText(read.value, l), text);
        // Seven significant digits pin the value to within half a unit of the seventh digit,
        // plus half a float step when the text is read back.
        const double tolerance = std::abs(double(value)) * 5.7e-7 + 1e-45;
        QVERIFY2(std::abs(double(read.value) - double(value)) <= tolerance, qPrintable(text));
    }
}

void TestNumberText::localeFreeFormsUsePoint()
{
    char buffer[32];
    QCOMPARE(SingleToText(-12.5f, buffer), std::string_view("-12.5"));
    QCOMPARE(TextToSingle(std::string_view("1,5")).error, NumberTextError::NotANumber);
    QCOMPARE(TextToSingle(std::string_view("0.08")).value, 0.08f);
}

// A value converted for showing starts from the number typed, not from its float, and keeps at
// most 7 significant digits; ExactDoubleToText writes the double that gives.
void TestNumberText::convertedFromTheNumberTyped_data()
{
    QTest::addColumn<float>("typed");
    QTest::addColumn<double>("factor"); // the conversion: typed x factor
    QTest::addColumn<QString>("typedText");
    QTest::addColumn<QString>("converted");

    // 0.3f is 0.30000001192...; 0.3 x 0.2 from it is 0.060000002 as a float.
    QTest::newRow("0.3 x 0.2 is 0.06") << 0.3f << 0.2 << "0.3"
                                       << "0.06";
    QTest::newRow("70 in is 177.8004 cm") << 70.0f << 1 / 0.3937 << "70"
                                          << "177.8004";
    QTest::newRow("every digit typed kept") << 0.060000002f << 1.0 << "0.060000002"
                                            << "0.06";
    QTest::newRow("a large number, 7 digits") << 123456789.0f << 1.0 << "123456792"
                                              << "123456800";
    QTest::newRow("a small one") << 1e-05f << 3.0 << "1e-05"
                                 << "3e-05";
}

void TestNumberText::convertedFromTheNumberTyped()
{
    QFETCH(float, typed);
    QFETCH(double, factor);
    QFETCH(QString, typedText);
    QFETCH(QString, converted);
    char buffer[32];
    const double number = TypedDouble(typed);
    QCOMPARE(QString::fromLatin1(ExactDoubleToText(number, buffer)), typedText);
    QCOMPARE(QString::fromLatin1(ExactDoubleToText(SevenDigits(number * factor), buffer)),
             converted);
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
