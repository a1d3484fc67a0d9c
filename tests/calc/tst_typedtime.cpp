#include "calc/session/SessionFaultTexts.h"
#include "calc/session/TypedTime.h"

#include <QTest>

// Times as operators type them: each row a time typed on a clock showing `now`.
class TestTypedTime : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void refusalNamesTheForms();
};

void TestTypedTime::read_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QTime>("read"); // invalid: refused

    const QTime afternoon(14, 2, 30);
    const QTime refused;
    QTest::newRow("120pm") << "en_US" << afternoon << "120pm" << QTime(13, 20);
    QTest::newRow("1030a") << "en_US" << afternoon << "1030a" << QTime(10, 30);
    QTest::newRow("105pm") << "en_US" << afternoon << "105pm" << QTime(13, 5);
    QTest::newRow("h:mm with a space and PM") << "en_US" << afternoon << "1:20 PM" << QTime(13, 20);
    QTest::newRow("hh:mm am, in capitals") << "en_US" << afternoon << "11:45AM" << QTime(11, 45);
    QTest::newRow("hhmm p with a space") << "en_US" << afternoon << "1005 p" << QTime(22, 5);
    QTest::newRow("12:05am is after midnight") << "en_US" << afternoon << "12:05am" << QTime(0, 5);
    QTest::newRow("12:05 pm is after noon") << "en_US" << afternoon << "12:05 pm" << QTime(12, 5);
    QTest::newRow("no suffix: within the last 12 hours")
        << "en_US" << afternoon << "915" << QTime(9, 15);
    QTest::newRow("no suffix: a few minutes ahead")
        << "en_US" << afternoon << "205" << QTime(14, 5);
    QTest::newRow("no suffix: further ahead is the morning's")
        << "en_US" << afternoon << "210" << QTime(2, 10);
    QTest::newRow("no suffix, after midnight: the evening before")
        << "en_US" << QTime(0, 30) << "1130" << QTime(23, 30);
    QTest::newRow("no suffix, 13 hours and more: as typed")
        << "en_US" << afternoon << "1430" << QTime(14, 30);
    QTest::newRow("no suffix, hour 0: as typed") << "en_US" << afternoon << "0:40" << QTime(0, 40);
    QTest::newRow("as the field shows it") << "en_US" << afternoon << "2:02 PM" << QTime(14, 2);
    QTest::newRow("a dot for the colon") << "en_US" << afternoon << "9.15" << QTime(9, 15);
    QTest::newRow("24-hour hhmm") << "C" << afternoon << "2115" << QTime(21, 15);
    QTest::newRow("24-hour hmm") << "C" << afternoon << "915" << QTime(9, 15);
    QTest::newRow("24-hour hh:mm") << "C" << afternoon << "09:15" << QTime(9, 15);
    QTest::newRow("24-hour clock, a suffix given") << "C" << afternoon << "120pm" << QTime(13, 20);
    QTest::newRow("Finnish, as shown") << "fi_FI" << afternoon << "9.15" << QTime(9, 15);
    QTest::newRow("hour 25") << "C" << afternoon << "25:00" << refused;
    QTest::newRow("minute 60") << "en_US" << afternoon << "1260" << refused;
    QTest::newRow("13pm") << "en_US" << afternoon << "13:00pm" << refused;
    QTest::newRow("0am") << "en_US" << afternoon << "0:30am" << refused;
    QTest::newRow("hours alone") << "en_US" << afternoon << "9pm" << refused;
    QTest::newRow("one digit of minutes") << "C" << afternoon << "12:5" << refused;
    QTest::newRow("five digits") << "C" << afternoon << "12345" << refused;
    QTest::newRow("p.m.") << "en_US" << afternoon << "1:20 p.m." << refused;
    QTest::newRow("a letter for a digit") << "C" << afternoon << "1:2O" << refused;
    QTest::newRow("nothing") << "en_US" << afternoon << "" << refused;
}

void TestTypedTime::read()
{
    QFETCH(QString, locale);
    QFETCH(QTime, now);
    QFETCH(QString, typed);
    QFETCH(QTime, read);
    const std::optional<QTime> time = readTypedTime(typed, QLocale(locale), now);
    QCOMPARE(time.value_or(QTime()), read);
}

void TestTypedTime::refusalNamesTheForms()
{
    const QString message = typedTimeMessage(QStringLiteral("Served at"), QStringLiteral(" 25:00"));
    QVERIFY(message.startsWith(QLatin1String("ERROR: Served at \"25:00\" is not a time.")));
    for (const char *form : {"h:mm", "hmm", "hh:mm", "hhmm", "am", "pm"})
        QVERIFY2(message.contains(QLatin1String(form)), form);
}

QTEST_APPLESS_MAIN(TestTypedTime)
#include "tst_typedtime.moc"
