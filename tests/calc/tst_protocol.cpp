#include "calc/dose/DoseEvaluation.h"
#include "calc/dose/Plausibility.h"
#include "calc/dose/Protocol.h"
#include "calc/dose/ProtocolCheck.h"
#include "tests/support/SmallDisk.h"

#include <QTemporaryDir>
#include <QTest>
#include <limits>

// A protocol file is taken whole or not at all, reads back as it was written, and its limits
// judge every dose beside the cap on ethanol per kg that is always on.
class TestProtocol : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void release_data();
    void release();
    void roundTrip_data();
    void roundTrip();
    void limitRules_data();
    void limitRules();
    void acceptedLimit_data();
    void acceptedLimit();
    void savedFile_data();
    void savedFile();
};

namespace {

const QByteArray ArmA = R"({"name": "Arm A",
 "target": {"value": "0.08", "unit": "g/210L", "breathRatio": "2100"},
 "drinkingPeriodMinutes": "15", "proof": "80", "mixerRatio": "3", "portions": "3",
 "releaseLevel": "0.02", "limits": {"ethanolGramsPerKg": "1.0"}})";

// Arm A with the text `from` replaced by `to`.
QByteArray armA(const char *from, const char *to)
{
    QByteArray bytes = ArmA;
    return bytes.replace(from, to);
}

} // namespace

void TestProtocol::reading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error"); // the start of the reason; empty when read

    QTest::newRow("arm A") << ArmA << "";
    QTest::newRow("plain JSON numbers, no limits")
        << QByteArray(R"({"name": "B", "target": {"value": 0.4, "unit": "mg/L"},
              "drinkingPeriodMinutes": 15, "proof": 80, "mixerRatio": 3, "portions": 3,
              "releaseLevel": 0.1})")
        << "";
    QTest::newRow("a limit left null") << armA(R"("1.0")", "null") << "";
    QTest::newRow("not JSON") << QByteArray("[Protocol]\nname=A\n") << "it is not a JSON file";
    QTest::newRow("a list, not an object") << QByteArray("[1, 2]") << "it holds no JSON object";
    QTest::newRow("no target") << armA(R"("target")", R"("aim")")
                               << R"(the key "aim" is not a key of a protocol)";
    QTest::newRow("misspelt limit") << armA("ethanolGramsPerKg", "ethanolGramsPerKG")
                                    << R"(the key "limits.ethanolGramsPerKG" is not a key)";
    QTest::newRow("proof above 200")
        << armA(R"("proof": "80")", R"("proof": "400")")
        << R"(the key "proof" is 400, not a number above 0 and at most 200)";
    QTest::newRow("decimal comma")
        << armA(R"("0.02")", R"("0,02")") << R"(the key "releaseLevel" is not a number)";
    QTest::newRow("unknown unit") << armA("g/210L", "promille")
                                  << R"(the key "target.unit" is "promille", not a unit of levels)";
    QTest::newRow("ratio out of range")
        << armA(R"("2100")", R"("5000")") << R"(the key "target.breathRatio" is 5000)";
    QTest::newRow("portions not whole") << armA(R"("portions": "3")", R"("portions": "2.5")")
                                        << R"(the key "portions" is 2.5, not a whole number)";
    QTest::newRow("portions beyond any whole number")
        << armA(R"("portions": "3")", R"("portions": 1e22)") << R"(the key "portions" is 1)";
    QTest::newRow("limit of zero")
        << armA(R"("1.0")", R"("0")") << R"(the key "limits.ethanolGramsPerKg" is 0)";
    QTest::newRow("empty name") << armA(R"("Arm A")", R"("  ")") << R"(the key "name" must hold)";
    // A record dosed under a name with a NUL could not be read again.
    QTest::newRow("a name with a NUL, escaped")
        << armA(R"("Arm A")", R"("Arm\u0000A")")
        << R"(the key "name" holds a control character ("Arm\x00A"))";
    QTest::newRow("a name with a raw NUL")
        << QByteArray(ArmA).replace("Arm A", QByteArray("Arm\0A", 5))
        << R"(the key "name" holds a control character ("Arm\x00A"))";
    QTest::newRow("a name with an escape sequence")
        << armA(R"("Arm A")", R"("Arm \u001b[2JA")")
        << R"(the key "name" holds a control character ("Arm \x1b[2JA"))";
    QTest::newRow("a name on two lines")
        << armA(R"("Arm A")", R"("Arm\nA")") << R"(the key "name" holds a control character)";
    QTest::newRow("a name with a line separator")
        << armA(R"("Arm A")", R"("Arm\u2028A")")
        << R"(the key "name" holds a control character ("Arm\u2028A"))";
    QTest::newRow("a name with letters of other scripts")
        << armA(R"("Arm A")", R"("Bras \u00e9t\u00e9 \u2013 \u6599")") << "";
    QTest::newRow("a formula for a name, which is text")
        << armA(R"("Arm A")", R"("=cmd|' /C calc'!A0")") << "";
    QTest::newRow("an unknown unit with an escape")
        << armA("g/210L", R"(\u001b[31m)")
        << R"(the key "target.unit" is "\x1b[31m", not a unit of levels)";
    // A JSON reader keeps the last of two equal keys: the file is refused instead.
    QTest::newRow("proof given twice")
        << armA(R"("proof": "80")", R"("proof": "80", "proof": "40")")
        << R"(the key "proof" is given twice)";
    QTest::newRow("limits given twice")
        << armA(R"("limits")", R"("limits": {"totalBeverageMl": "900"}, "limits")")
        << R"(the key "limits" is given twice)";
    QTest::newRow("a limit given twice")
        << armA(R"("ethanolGramsPerKg": "1.0")",
                R"("ethanolGramsPerKg": "1.0", "ethanolGramsPerKg": "2.0")")
        << R"(the key "limits.ethanolGramsPerKg" is given twice)";
    QTest::newRow("a key given twice, once escaped")
        << armA(R"("proof": "80")", R"("proof": "80", "proof": "40")")
        << R"(the key "proof" is given twice)";
    QTest::newRow("the same key in two objects")
        << armA(R"("ethanolGramsPerKg": "1.0")", R"("target": "0.1")") << "";
    QTest::newRow("target not above zero")
        << armA(R"("0.08")", R"("-0.08")") << R"(the key "target.value" is -0.08)";
    // The device's reading noise is checked as every other key.
    QTest::newRow("a device's reading SD")
        << armA(R"("limits")", R"("device": {"readingSd": "0.02"}, "limits")") << "";
    QTest::newRow("a reading SD of zero")
        << armA(R"("limits")", R"("device": {"readingSd": "0"}, "limits")")
        << R"(the key "device.readingSd" is 0, not a number above 0)";
    QTest::newRow("a misspelt device key")
        << armA(R"("limits")", R"("device": {"readingSD": "0.02"}, "limits")")
        << R"(the key "device.readingSD" is not a key of a protocol; the keys are readingSd)";
    QTest::newRow("a device that is not an object")
        << armA(R"("limits")", R"("device": "0.02", "limits")")
        << R"(the key "device" is not an object)";
    const auto schedule = [](const char *keys) {
        return armA(R"("limits")",
                    (QByteArray(R"("schedule": {)") + keys + R"(}, "limits")").constData());
    };
    QTest::newRow("a schedule") << schedule(R"("readingEveryMinutes": "10", )"
                                            R"("readingsDuringDrinking": true)")
                                << "";
    QTest::newRow("a schedule with its defaults left out") << schedule("") << "";
    QTest::newRow("readings every 0 minutes")
        << schedule(R"("readingEveryMinutes": "0")")
        << R"(the key "schedule.readingEveryMinutes" is 0, not a whole number from 1 to 120)";
    QTest::newRow("readings every 2.5 minutes")
        << schedule(R"("readingEveryMinutes": 2.5)")
        << R"(the key "schedule.readingEveryMinutes" is 2.5, not a whole number)";
    QTest::newRow("readings every 121 minutes")
        << schedule(R"("readingEveryMinutes": 121)")
        << R"(the key "schedule.readingEveryMinutes" is 121)";
    QTest::newRow("during drinking as text")
        << schedule(R"("readingsDuringDrinking": "yes")")
        << R"(the key "schedule.readingsDuringDrinking" is not true or false)";
    QTest::newRow("misspelt schedule key")
        << schedule(R"("readingEveryMinute": 10)")
        << R"(the key "schedule.readingEveryMinute" is not a key)";
}

void TestProtocol::reading()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    const ProtocolReading reading = readProtocol(file);
    QVERIFY2(error.isEmpty() ? reading.error.isEmpty() : reading.error.startsWith(error),
             qPrintable(reading.error));
    QCOMPARE(reading.protocol.has_value(), error.isEmpty());
}

// The release's readings, "N/M": how many release and how many minutes apart; or why the file is
// refused.
void TestProtocol::release_data()
{
    QTest::addColumn<QByteArray>("release"); // the key and its value, after "limits"
    QTest::addColumn<QString>("read");

    QTest::newRow("none: one reading") << QByteArray() << "1/5";
    QTest::newRow("two readings 10 minutes apart")
        << QByteArray(R"("release": {"confirmingReadings": "2", "minutesApart": "10"})") << "2/10";
    QTest::newRow("three readings, 5 minutes apart unless said")
        << QByteArray(R"("release": {"confirmingReadings": 3})") << "3/5";
    QTest::newRow("six readings")
        << QByteArray(R"("release": {"confirmingReadings": "6"})")
        << R"(the key "release.confirmingReadings" is 6, not a whole number from 1 to 5)";
    QTest::newRow("half a reading") << QByteArray(R"("release": {"confirmingReadings": "1.5"})")
                                    << R"(the key "release.confirmingReadings" is 1.5)";
    QTest::newRow("0 minutes apart")
        << QByteArray(R"("release": {"minutesApart": "0"})")
        << R"(the key "release.minutesApart" is 0, not a whole number of minutes from 1 to 60)";
    QTest::newRow("61 minutes apart") << QByteArray(R"("release": {"minutesApart": "61"})")
                                      << R"(the key "release.minutesApart" is 61)";
    QTest::newRow("a misspelt key") << QByteArray(R"("release": {"minutesapart": "5"})")
                                    << R"(the key "release.minutesapart" is not a key)";
    QTest::newRow("not an object")
        << QByteArray(R"("release": 2)") << R"(the key "release" is not an object)";
}

void TestProtocol::release()
{
    QFETCH(QByteArray, release);
    QFETCH(QString, read);
    QByteArray file = ArmA;
    if (!release.isEmpty())
        file.insert(file.lastIndexOf('}'), ", " + release);
    const ProtocolReading reading = readProtocol(file);
    QCOMPARE(reading.protocol ? QStringLiteral("%1/%2")
                                    .arg(reading.protocol->release.confirmingReadings)
                                    .arg(reading.protocol->release.minutesApart)
                              : reading.error.left(read.size()),
             read);
}

void TestProtocol::roundTrip_data()
{
    QTest::addColumn<Protocol>("protocol");
    Protocol armA = *readProtocol(ArmA).protocol;
    QTest::newRow("arm A") << armA;
    Protocol odd;
    odd.name = QStringLiteral("Bras \u00e9tranger \"B\"");
    odd.level = {LevelUnit::MicrogramsPer100Ml, 2317.5f};
    odd.target = 35.000004f;
    odd.drinkingPeriod = 0;
    odd.proof = 200;
    odd.mixerRatio = 0.1f;
    odd.portions = 12;
    odd.releaseLevel = 1e-5f;
    odd.limits = {std::nullopt, 1234.5f, 40.0f};
    odd.readingSd = 0.0200000014f;
    odd.release = {3, 12};
    QTest::newRow("floats that need every digit, a breath unit") << odd;
    Protocol scheduled = armA;
    scheduled.schedule = {5, true};
    QTest::newRow("readings every 5 minutes, during drinking too") << scheduled;
}

void TestProtocol::roundTrip()
{
    QFETCH(Protocol, protocol);
    const ProtocolReading again = readProtocol(writeProtocol(protocol));
    QVERIFY2(again.protocol, qPrintable(again.error));
    QCOMPARE(again.protocol, std::optional(protocol));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("arm.json"));
    QCOMPARE(writeProtocolFile(path, protocol), QString());
    QCOMPARE(readProtocolFile(path).protocol, std::optional(protocol));
    QVERIFY(!writeProtocolFile(dir.filePath(QStringLiteral("no/such/folder.json")), protocol)
                 .isEmpty());
    QVERIFY(!readProtocolFile(dir.path()).error.isEmpty()); // a folder is no protocol
}

void TestProtocol::limitRules_data()
{
    QTest::addColumn<QList<float>>("values"); // height, weight, BAL, DD, proof, ratio; male, 18
    QTest::addColumn<ProtocolLimits>("limits");
    QTest::addColumn<QStringList>("said"); // the notice on ethanol, then the limits passed

    const QList<float> heavy = {90, 500, 0.2f, 240, 80, 3};  // 1080 ml of spirit, 4320 ml in all
    const QList<float> tall = {178, 160, 0.08f, 40, 200, 6}; // 178 cm typed as inches
    const QList<float> usual = {70, 160, 0.08f, 40, 200, 6};
    const QString heavyCap = QStringLiteral("ethanol 1.50 g/kg is above 1.2 g/kg");
    QTest::newRow("the cap without a protocol")
        << heavy << ProtocolLimits{} << QStringList{heavyCap};
    QTest::newRow("a slip of units is caught twice")
        << tall << ProtocolLimits{}
        << QStringList{"height 178 in is outside 48\u201390 in",
                       "ethanol 1.23 g/kg is above 1.2 g/kg"};
    QTest::newRow("a usual dose passes")
        << usual << ProtocolLimits{1.0f, 500.0f, 0.08f} << QStringList{};
    QTest::newRow("every limit passed")
        << heavy << ProtocolLimits{1.0f, 4000.0f, 0.1f}
        << QStringList{heavyCap, "over the protocol's limit: 1.50 g ethanol per kg (limit 1.00)",
                       "over the protocol's limit: 4320 ml total beverage (limit 4000)",
                       "over the protocol's limit: target BAL 0.2 g/100 ml (limit 0.1)"};
    QTest::newRow("at most means the limit itself is allowed")
        << heavy << ProtocolLimits{1.5f, 4320.0f, 0.2f} << QStringList{heavyCap};
    QTest::newRow("just over")
        << usual << ProtocolLimits{std::nullopt, 482.0f, 0.0799f}
        << QStringList{"over the protocol's limit: 483 ml total beverage (limit 482)",
                       "over the protocol's limit: target BAL 0.08 g/100 ml (limit "
                       "0.0799)"};
    QTest::newRow("a limit given to three decimals")
        << usual << ProtocolLimits{0.684f, std::nullopt, std::nullopt}
        << QStringList{"over the protocol's limit: 0.747 g ethanol per kg (limit 0.684)"};
}

void TestProtocol::limitRules()
{
    QFETCH(QList<float>, values);
    QFETCH(ProtocolLimits, limits);
    QFETCH(QStringList, said);
    DosingState s;
    s.Gender = Gender::Male;
    s.Age = 18;
    float *fields[] = {&s.Height, &s.Weight, &s.BAL, &s.DD, &s.Proof, &s.Ratio};
    for (qsizetype i = 0; i < values.size(); ++i)
        *fields[i] = values[i];
    Protocol protocol;
    protocol.limits = limits;
    DoseInput input;
    input.state = s;
    const DoseReport report = evaluateDose(input, {std::nullopt, protocol});
    QVERIFY(report.ok());
    QStringList shown;
    for (const PlausibilityNotice &notice : report.notices)
        shown << PlausibilityNoticeText(notice, QLocale::c());
    for (const LimitBreach &breach : report.breaches)
        shown << limitBreachText(breach, protocol, QLocale::c());
    QCOMPARE(shown, said);
    QVERIFY(report.differences.isEmpty()); // an unnamed protocol holds limits only
}

// A protocol file is saved whole or not at all, and its digest is that of its bytes as read.
// A limit typed in the window is taken as the protocol's file takes it: a number above 0.
void TestProtocol::acceptedLimit_data()
{
    QTest::addColumn<QByteArray>("limit"); // as written in the file
    QTest::addColumn<bool>("accepted");

    QTest::newRow("above 0") << QByteArray("0.5") << true;
    QTest::newRow("the smallest float above 0") << QByteArray("1e-45") << true;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("0 with a sign") << QByteArray("-0") << false;
    QTest::newRow("below 0") << QByteArray("-1") << false;
}

void TestProtocol::acceptedLimit()
{
    QFETCH(QByteArray, limit);
    QFETCH(bool, accepted);
    QCOMPARE(acceptsLimit(limit.toFloat()), accepted);
    // A device's spread takes what a limit takes, and no infinity beyond it.
    QCOMPARE(acceptsReadingSd(limit.toFloat()), accepted);
    QVERIFY(!acceptsReadingSd(std::numeric_limits<float>::infinity()));
    const QByteArray quoted = '"' + limit + '"';
    const ProtocolReading reading = readProtocol(armA(R"("1.0")", quoted.constData()));
    QVERIFY2(reading.error.isEmpty() == accepted, qPrintable(reading.error));
}

void TestProtocol::savedFile_data()
{
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<QString>("error"); // part of it; empty when saved

    QTest::newRow("saved") << false << "";
    QTest::newRow("a full disk") << true << "No space left on device";
}

void TestProtocol::savedFile()
{
    QFETCH(bool, fullDisk);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("disk"));
    std::optional<SmallDisk> disk;
    if (fullDisk) {
        disk.emplace(folder, "64k");
        if (!disk->mounted())
            QSKIP(SmallDisk::skipReason);
    }
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/arm.json");
    // "abc" is no protocol, but it has a well-known SHA-256.
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("abc"), 3);
    }
    const ProtocolReading abc = readProtocolFile(path);
    QVERIFY(!abc.protocol);
    QCOMPARE(abc.sha256,
             QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    if (disk)
        disk->fill();

    const Protocol protocol = *readProtocol(ArmA).protocol;
    const QString said = writeProtocolFile(path, protocol);
    QVERIFY2(said.contains(error), qPrintable(said));
    QCOMPARE(said.isEmpty(), error.isEmpty());
    const ProtocolReading reading = readProtocolFile(path);
    QCOMPARE(reading.protocol.has_value(), error.isEmpty());
    QCOMPARE(reading.sha256 == abc.sha256, !error.isEmpty()); // a failed save left "abc"
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
