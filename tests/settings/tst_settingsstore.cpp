#include "appinfo/AppInfo.h"
#include "settings/SettingsStore.h"
#include "settings/StoredSettings.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/WithoutFileRights.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <bit>
#include <charconv>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

const QString App = QStringLiteral("Pourwise");
const QString Section = QStringLiteral("Settings");

float parseC(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    float value = 0;
    std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    return value;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry below `folder` with its bytes, to tell whether anything was created or changed.
QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries << path + QLatin1Char(' ') + QString::fromLatin1(readFile(path).toHex());
    }
    entries.sort();
    return entries;
}

// The keys of the sections named `section` in any letter case, in file order, read straight
// from the file's lines.
QStringList keysInFile(const QString &path, int *sectionCount = nullptr)
{
    QStringList keys;
    bool inSection = false;
    int sections = 0;
    for (const QByteArray &raw : readFile(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inSection = line.compare(QLatin1Char('[') + Section + QLatin1Char(']'),
                                     Qt::CaseInsensitive) == 0;
            sections += inSection ? 1 : 0;
        } else if (inSection && line.contains(QLatin1Char('='))) {
            keys << line.section(QLatin1Char('='), 0, 0);
        }
    }
    if (sectionCount)
        *sectionCount = sections;
    return keys;
}

// The loaded value of the i-th number key.
float numberAt(const StoredSettings::Loaded &loaded, std::size_t i)
{
    return loaded.values.number(StoredSettings::MainWindowKeys[i].readName);
}

} // namespace

Q_DECLARE_METATYPE(SettingsStatus)

class TestSettingsStore : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> temp;
    QString folder() const { return temp->path() + QStringLiteral("/config"); }
    QString iniPath() const { return folder() + QStringLiteral("/Pourwise/Pourwise.ini"); }
    SettingsStore store() const { return SettingsStore(folder()); }

private slots:
    void init()
    {
        temp = std::make_unique<QTemporaryDir>();
        QVERIFY(temp->isValid());
        QLocale::setDefault(QLocale::c());
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void emptyStoreReadsDefaults_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("C") << QStringLiteral("C");
        QTest::newRow("German") << QStringLiteral("de_DE");
    }
    void emptyStoreReadsDefaults()
    {
        QFETCH(QString, locale);
        QLocale::setDefault(QLocale(locale));

        const StoredSettings::Loaded loaded = StoredSettings::load(store());
        const QStringList defaults = {"1000", "1000", "6500", "6500", "0.08", "40",
                                      "200",  "6",    "3",    "0.02", "2100"};
        QCOMPARE(qsizetype(StoredSettings::MainWindowKeys.size()), defaults.size());
        for (int i = 0; i < defaults.size(); ++i)
            QCOMPARE(std::bit_cast<quint32>(numberAt(loaded, std::size_t(i))),
                     std::bit_cast<quint32>(parseC(defaults[i])));
        QVERIFY(loaded.problemMessage().isEmpty());
        QVERIFY2(!QFileInfo::exists(folder()), "reading created the store's folder");
    }

    void readingCreatesNothing_data()
    {
        QTest::addColumn<bool>("makeFolder");
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::newRow("no folder") << false << QByteArray();
        QTest::newRow("empty application folder") << true << QByteArray();
        QTest::newRow("other section only") << true << QByteArray("[Other]\nProof=1\n");
        QTest::newRow("section without the key") << true << QByteArray("[Settings]\nBAL=0.1\n");
        QTest::newRow("damaged file") << true << QByteArray("[Settings]\nBAL=0.1\n[Sett");
    }
    void readingCreatesNothing()
    {
        QFETCH(bool, makeFolder);
        QFETCH(QByteArray, content);
        if (makeFolder)
            QVERIFY(QDir().mkpath(QFileInfo(iniPath()).absolutePath()));
        if (!content.isEmpty())
            writeFile(iniPath(), content);
        const QStringList before = snapshot(temp->path());

        QCOMPARE(store().GetSetting(App, Section, QStringLiteral("Proof"), QStringLiteral("200")),
                 QStringLiteral("200"));
        QCOMPARE(snapshot(temp->path()), before);
    }

    void keysMatchWithoutCase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("readKey");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("savedKey");
        QTest::newRow("dd stored, DD read")
            << QByteArray("[Settings]\ndd=60\n") << QStringLiteral("DD") << QStringLiteral("60")
            << QStringLiteral("dd");
        QTest::newRow("DD stored, dd saved")
            << QByteArray("[Settings]\nDD=60\n") << QStringLiteral("dd") << QStringLiteral("60")
            << QStringLiteral("dd");
        QTest::newRow("section in lower case")
            << QByteArray("[settings]\nProof=100\n") << QStringLiteral("PROOF")
            << QStringLiteral("100") << QStringLiteral("Proof");
        QTest::newRow("two spellings, exact one wins")
            << QByteArray("[Settings]\nDD=1\ndd=2\n") << QStringLiteral("dd") << QStringLiteral("2")
            << QStringLiteral("dd");
        QTest::newRow("geometry key in lower case")
            << QByteArray("[Settings]\nmainleft=1500\n") << QStringLiteral("MainLeft")
            << QStringLiteral("1500") << QStringLiteral("MainLeft");
    }
    void keysMatchWithoutCase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, readKey);
        QFETCH(QString, expected);
        QFETCH(QString, savedKey);
        writeFile(iniPath(), content);

        QCOMPARE(store().GetSetting(App, Section, readKey, QStringLiteral("default")), expected);
        QVERIFY(store().SaveSetting(App, Section, savedKey, QStringLiteral("77")));
        QCOMPARE(store().GetSetting(App, Section, readKey, QStringLiteral("default")),
                 QStringLiteral("77"));
        int sections = 0;
        QCOMPARE(keysInFile(iniPath(), &sections), QStringList{savedKey});
        QCOMPARE(sections, 1);
    }

    void roundTripOfAllKeys_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("values"); // written in C notation
        QTest::addColumn<QList<int>>("choices"); // of MainWindowChoices: units, unit of levels
        const QStringList defaults = {"1000", "1000", "6500", "6500", "0.08", "40",
                                      "200",  "6",    "3",    "0.02", "2100"};
        const QStringList fractions = {"0.3333333", "12.5", "-3", "1E-05",  "3.4E+38", "1005",
                                       "6495",      "0.1",  "12", "0.0125", "2300"};
        QTest::newRow("defaults") << QStringLiteral("C") << defaults << QList<int>{0, 0};
        QTest::newRow("fractions and extremes")
            << QStringLiteral("C") << fractions << QList<int>{1, 5}; // Metric, ug/100ml
        QTest::newRow("fractions, German")
            << QStringLiteral("de_DE") << fractions << QList<int>{1, 4}; // mg/L
        QTest::newRow("defaults, French")
            << QStringLiteral("fr_FR") << defaults << QList<int>{0, 1}; // g/L
    }
    void roundTripOfAllKeys()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, values);
        QFETCH(QList<int>, choices);
        QLocale::setDefault(QLocale(locale));

        QList<float> numbers;
        StoredSettings::Values saved;
        for (const QString &value : values) {
            numbers << parseC(value);
            saved.setNumber(
                StoredSettings::MainWindowKeys[std::size_t(numbers.size() - 1)].readName,
                numbers.last());
        }
        for (std::size_t i = 0; i < StoredSettings::MainWindowChoices.size(); ++i)
            saved.setChoice(StoredSettings::MainWindowChoices[i].name, choices[qsizetype(i)]);
        QVERIFY(StoredSettings::save(store(), saved));
        const StoredSettings::Loaded loaded = StoredSettings::load(store());
        // A file the program wrote is never taken for a damaged one.
        QCOMPARE(loaded.status, SettingsStatus::Ok);
        QVERIFY2(loaded.problemMessage().isEmpty(), qPrintable(loaded.problemMessage()));
        for (std::size_t i = 0; i < StoredSettings::MainWindowChoices.size(); ++i)
            QCOMPARE(loaded.values.choice(StoredSettings::MainWindowChoices[i].name),
                     choices[qsizetype(i)]);
        for (qsizetype i = 0; i < numbers.size(); ++i)
            QCOMPARE(std::bit_cast<quint32>(numberAt(loaded, std::size_t(i))),
                     std::bit_cast<quint32>(numbers[i]));
        QCOMPARE(keysInFile(iniPath()).size(), qsizetype(StoredSettings::MainWindowKeys.size() +
                                                         StoredSettings::MainWindowChoices.size() +
                                                         StoredSettings::MainWindowTexts.size()));
        QVERIFY(keysInFile(iniPath()).contains(QStringLiteral("dd")));
    }

    void storedNumbers_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("valueInC"); // empty: unreadable, the default is used
        QTest::newRow("plain") << "C" << QByteArray("BAL=0.1") << "0.1";
        QTest::newRow("blanks around") << "C" << QByteArray("BAL=\" 0.1 \"") << "0.1";
        QTest::newRow("words") << "C" << QByteArray("BAL=abc") << "";
        QTest::newRow("empty") << "C" << QByteArray("BAL=") << "";
        QTest::newRow("beyond float") << "C" << QByteArray("BAL=1e39") << "";
        QTest::newRow("comma where a point belongs") << "C" << QByteArray("BAL=\"0,08\"") << "";
        QTest::newRow("German comma, hand-written unquoted")
            << "de_DE" << QByteArray("BAL=0,08") << "0.08";
        QTest::newRow("point, written under another regional format")
            << "de_DE" << QByteArray("BAL=0.08") << "0.08";
        QTest::newRow("point and exponent, German")
            << "de_DE" << QByteArray("BAL=1.5E-01") << "0.15";
        QTest::newRow("thousands separator, German")
            << "de_DE" << QByteArray("BAL=\"1.000,5\"") << "";
        QTest::newRow("thousands separator") << "C" << QByteArray("BAL=\"1,000.5\"") << "";
    }
    void storedNumbers()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, line);
        QFETCH(QString, valueInC);
        QLocale::setDefault(QLocale(locale));
        writeFile(iniPath(), "[Settings]\nProof=80\n" + line + "\n");

        const StoredSettings::Loaded loaded = StoredSettings::load(store());
        const float bal = loaded.values.number("BAL");
        QCOMPARE(loaded.values.number("Proof"), 80.0f); // the other keys keep their values
        if (valueInC.isEmpty()) {
            QCOMPARE(bal, 0.08f);
            QCOMPARE(loaded.unreadable.size(), 1);
            const QString message = loaded.problemMessage();
            const QString text = QString::fromUtf8(line.mid(4)).remove(QLatin1Char('"')).trimmed();
            for (const QString &part : {QStringLiteral("ERROR: "), QStringLiteral("BAL"),
                                        QStringLiteral("\"%1\"").arg(text),
                                        QStringLiteral("now ") + QLocale().toString(0.08)})
                QVERIFY2(message.contains(part), qPrintable(message));
        } else {
            QCOMPARE(std::bit_cast<quint32>(bal), std::bit_cast<quint32>(parseC(valueInC)));
            QVERIFY(loaded.problemMessage().isEmpty());
        }
    }

    // The session plan's choices must be usable as they are: a number of portions the window
    // cannot show, or a release level never reached, takes its default.
    void sessionPlanChoicesOutsideTheirRange_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("portions"); // as loaded, in C notation
        QTest::addColumn<QString>("release");
        QTest::addColumn<QStringList>("message"); // parts; none: no message
        QTest::newRow("in range") << QByteArray("Portions=12\nRelease=0.05") << "12"
                                  << "0.05" << QStringList{};
        QTest::newRow("too many portions, release level 0")
            << QByteArray("Portions=20\nRelease=0") << "3"
            << "0.02" << QStringList{"Portions \"20\" (now 3)", "Release \"0\" (now 0.02)"};
        QTest::newRow("half a portion") << QByteArray("Portions=2.5\nRelease=0.05") << "3"
                                        << "0.05" << QStringList{"Portions \"2.5\" (now 3)"};
        QTest::newRow("negative release level")
            << QByteArray("Portions=1\nRelease=-0.02") << "1"
            << "0.02" << QStringList{"Release \"-0.02\" (now 0.02)"};
    }
    void sessionPlanChoicesOutsideTheirRange()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, portions);
        QFETCH(QString, release);
        QFETCH(QStringList, message);
        writeFile(iniPath(), "[Settings]\nProof=80\n" + lines + "\n");

        const StoredSettings::Loaded loaded = StoredSettings::load(store());
        QCOMPARE(loaded.values.number(StoredSettings::Portions), parseC(portions));
        QCOMPARE(loaded.values.number(StoredSettings::Release), parseC(release));
        QCOMPARE(loaded.values.number("Proof"), 80.0f); // the other keys keep their values
        const QString text = loaded.problemMessage();
        QCOMPARE(text.isEmpty(), message.isEmpty());
        for (const QString &part : message)
            QVERIFY2(text.contains(part), qPrintable(text));
    }

    void damagedStore_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("readText");
        QTest::addColumn<bool>("canSave");
        QTest::addColumn<QStringList>("others");   // "key=text" read beside BAL, and kept
        QTest::addColumn<QString>("readProblem");  // part of problem() after reading
        QTest::addColumn<QString>("savedProblem"); // part of problem() after a failed save
        const QStringList proof{"Proof=80"};
        const QStringList intact{"DD=60",      "Proof=100",    "Ratio=4",
                                 "Portions=5", "Release=0.03", "Units=Metric"};
        QTest::newRow("binary garbage")
            << "garbage"
            << "0.08" << true << QStringList{} << "bytes that are not text"
            << "";
        QTest::newRow("cut in a section name")
            << "cut"
            << "0.1" << true << proof << "line 4 (\"[Sett\") opens a section name"
            << "";
        QTest::newRow("malformed line in a later section")
            << "late"
            << "0.1" << true << proof
            << "line 5 (\"no equals sign here\") is neither a [section] nor key=value"
            << "";
        QTest::newRow("NUL byte") << "nul"
                                  << "0.1" << true << proof
                                  << "line 5 holds bytes that are not text"
                                  << "";
        QTest::newRow("folder in the file's place")
            << "folder"
            << "0.08" << false << QStringList{} << "it is a folder, not a regular file"
            << "is a folder, not a regular file, so nothing was written";
        QTest::newRow("file in the folder's place")
            << "blocked"
            << "0.08" << false << QStringList{} << ""
            << "Pourwise\" cannot be made (a file is in its place), so nothing was written";
        // Qt's reader runs a value on across lines from an open quote or a backslash at a line's
        // end, swallowing the lines after it; the lines read one by one keep their values, and
        // such a line reads as it would standing alone.
        QTest::newRow("stray quote in a value")
            << "[Settings]\nNote=a\"b\nBAL=0.1\nUnits=Metric\n"
            << "0.1" << true << intact + QStringList{"Note=ab"}
            << "line 2 (\"Note=a\"b\") has a quote (\") that is not "
               "closed on that line"
            << "";
        QTest::newRow("quote left open in another section")
            << "[Notes]\nwho=\"Dr X\n[Settings]\nBAL=0.1\nUnits=Metric\n"
            << "0.1" << true << intact << "line 2 (\"who=\"Dr X\") has a quote"
            << "";
        QTest::newRow("quoted key in another section")
            << "[Notes]\n\"x=1\n[Settings]\nBAL=0.1\nUnits=Metric\n"
            << "0.1" << true << intact << "line 2 (\"\"x=1\") has a quote"
            << "";
        QTest::newRow("backslash at a line's end")
            << "[Settings]\nUnits=Metric\\\nBAL=0.1\n"
            << "0.1" << true << intact
            << "line 2 (\"Units=Metric\\\") ends in a backslash (\\), which joins the next line "
               "to it"
            << "";
        QTest::newRow("quote left open in the value read")
            << "[Settings]\nBAL=\"0.1\nUnits=Metric\n"
            << "0.1" << true << intact << "line 2 (\"BAL=\"0.1\") has a quote"
            << "";
        // Qt keeps the spellings of a section apart; the store reads them as one, and the next
        // save leaves one.
        QTest::newRow("second spelling of the section")
            << "[Settings]\nBAL=0.1\nUnits=Metric\n[settings]\n"
            << "0.1" << true << intact
            << "the section [Settings] is headed in more than one letter case ([Settings], "
               "[settings])"
            << "";
        // Qt reads a key ending in a slash, but writes it back as "A\=4", which nobody reads.
        QTest::newRow("key ending in a slash in another section")
            << "[Notes]\nA/=4\n[Settings]\nBAL=0.1\nUnits=Metric\n"
            << "0.1" << true << intact
            << "the key \"Notes/A/\" ends in a slash (/), which cannot be written back"
            << "";
        QTest::newRow("byte-order mark") << "bom"
                                         << "0.1" << true << intact << ""
                                         << "";
        QTest::newRow("folder in the damaged copy's place")
            << "copy blocked"
            << "0.1" << false << proof << "line 4"
            << "Pourwise.ini.damaged\" (a folder of that name is in the way), so it was left as "
               "it is";
        // Qt 6.4 commits a file cut short by a full disk as if it were whole.
        QTest::newRow("disk nearly full for the damaged copy")
            << "copy full"
            << "0.1" << false << proof << "line 4"
            << "Pourwise.ini.damaged\" (only 4096 bytes are free on its disk, too few for the "
               "copy and a new file), so it was left as it is";
        QTest::newRow("disk nearly full") << "full"
                                          << "0.1" << false << proof << ""
                                          << "only 4096 bytes are free on its disk, too few to "
                                             "replace it safely, so it was left as it is";
#ifdef Q_OS_UNIX
        QTest::newRow("named pipe in the file's place")
            << "pipe"
            << "0.08" << false << QStringList{} << "it is a named pipe, not a regular file"
            << "is a named pipe, not a regular file, so nothing was written";
#endif
    }
    void damagedStore()
    {
        QFETCH(QString, damage);
        QFETCH(QString, readText);
        QFETCH(bool, canSave);
        QFETCH(QStringList, others);
        QFETCH(QString, readProblem);
        QFETCH(QString, savedProblem);
        SettingsStatus readStatus = SettingsStatus::Damaged;
        std::optional<SmallDisk> disk;
        if (damage == QLatin1String("garbage")) {
            QByteArray bytes;
            for (int i = 0; i < 4096; ++i)
                bytes.append(char((i * 151 + 7) % 256));
            writeFile(iniPath(), bytes);
        } else if (damage == QLatin1String("cut")) {
            writeFile(iniPath(), "[Settings]\nBAL=0.1\nProof=80\n[Sett");
        } else if (damage == QLatin1String("late")) {
            writeFile(iniPath(), "[Settings]\nBAL=0.1\nProof=80\n[Other]\nno equals sign here\n");
        } else if (damage == QLatin1String("nul")) {
            writeFile(iniPath(), QByteArray("[Settings]\nBAL=0.1\nProof=80\n[Other]\nx=\0\n", 40));
        } else if (damage == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(iniPath()));
            readStatus = SettingsStatus::Unreadable;
        } else if (damage == QLatin1String("blocked")) {
            writeFile(QFileInfo(iniPath()).absolutePath(), "not a folder");
            readStatus = SettingsStatus::Ok; // nothing there to read
        } else if (damage.startsWith(QLatin1String("copy")) || damage == QLatin1String("full")) {
            QByteArray bytes = "[Settings]\nBAL=0.1\nProof=80\n";
            if (damage == QLatin1String("full"))
                readStatus = SettingsStatus::Ok;
            else
                bytes += "[Sett\n";
            if (damage == QLatin1String("copy blocked"))
                QVERIFY(QDir().mkpath(iniPath() + QStringLiteral(".damaged")));
            else
                disk.emplace(QFileInfo(iniPath()).absolutePath());
            if (disk && !disk->mounted())
                QSKIP(SmallDisk::skipReason);
            bytes += QByteArray(2 * 4096, ';'); // 3 of a small disk's 4 blocks
            writeFile(iniPath(), bytes);
        } else if (damage == QLatin1String("bom")) {
            writeFile(iniPath(), "\xEF\xBB\xBF[Settings]\nBAL=0.1\nDD=60\nProof=100\nRatio=4\n"
                                 "Portions=5\nRelease=0.03\nUnits=Metric\n");
            readStatus = SettingsStatus::Ok;
        } else if (damage == QLatin1String("pipe")) {
#ifdef Q_OS_UNIX
            QVERIFY(QDir().mkpath(QFileInfo(iniPath()).absolutePath()));
            QCOMPARE(mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0);
#endif
            readStatus = SettingsStatus::Unreadable;
        } else {
            // Lines of [Settings] beside those of the row, from one file of the program's own.
            const QByteArray intact = "DD=60\nProof=100\nRatio=4\nPortions=5\nRelease=0.03\n";
            writeFile(iniPath(), damage.toUtf8() + intact);
        }
        // Opening a named pipe would wait for a writer.
        const bool existed = QFileInfo::exists(iniPath());
        const bool wasFile = QFileInfo(iniPath()).isFile();
        const QByteArray original = wasFile ? readFile(iniPath()) : QByteArray();
        const SettingsStore damaged = store();

        QCOMPARE(damaged.GetSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("0.08")),
                 readText);
        QCOMPARE(damaged.status(), readStatus);
        QVERIFY2(damaged.problem().contains(readProblem), qPrintable(damaged.problem()));
        QCOMPARE(damaged.problem().isEmpty(), readProblem.isEmpty());
        // One message tells the operator, naming what is wrong.
        const QString message = StoredSettings::load(damaged).problemMessage();
        QCOMPARE(message.isEmpty(), readStatus == SettingsStatus::Ok);
        QVERIFY2(message.isEmpty() ||
                     (message.startsWith(QLatin1String("ERROR: ")) && message.contains(iniPath()) &&
                      message.contains(damaged.problem())),
                 qPrintable(message));
        for (const QString &other : others) {
            const QString key = other.section(QLatin1Char('='), 0, 0);
            QCOMPARE(damaged.GetSetting(App, Section, key, QString()),
                     other.section(QLatin1Char('='), 1));
        }

        QCOMPARE(damaged.SaveSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("0.2")),
                 canSave);
        QCOMPARE(damaged.status(), canSave ? SettingsStatus::Ok : SettingsStatus::NotSaved);
        if (!canSave) {
            // Nothing is lost: what could not be saved over stays as it was.
            QVERIFY2(damaged.problem().contains(savedProblem), qPrintable(damaged.problem()));
            // The operator's message names the file and why, beside the values to note.
            const QString notSaved = StoredSettings::notSavedMessage(damaged, {});
            QVERIFY2(
                notSaved.contains(QStringLiteral("\"%1\": %2").arg(iniPath(), damaged.problem())),
                qPrintable(notSaved));
            QCOMPARE(QFileInfo::exists(iniPath()), existed);
            QCOMPARE(QFileInfo(iniPath()).isFile(), wasFile);
            QCOMPARE(wasFile ? readFile(iniPath()) : QByteArray(), original);
            QVERIFY(!QFileInfo(iniPath() + QStringLiteral(".damaged")).isFile());
            return;
        }
        // The save leaves a clean file of what it saved, and the damaged one beside it.
        QCOMPARE(damaged.GetSetting(App, Section, QStringLiteral("BAL"), QString()),
                 QStringLiteral("0.2"));
        QCOMPARE(damaged.status(), SettingsStatus::Ok);
        QStringList kept = keysInFile(iniPath());
        kept.sort();
        QStringList readable{"BAL"};
        for (const QString &other : others)
            readable << other.section(QLatin1Char('='), 0, 0);
        readable.sort();
        QCOMPARE(kept, readable);
        for (const QString &other : others) {
            const QString key = other.section(QLatin1Char('='), 0, 0);
            QCOMPARE(damaged.GetSetting(App, Section, key, QString()),
                     other.section(QLatin1Char('='), 1));
        }
        QCOMPARE(readFile(iniPath() + QStringLiteral(".damaged")),
                 readStatus == SettingsStatus::Damaged ? original : QByteArray());
    }

    // What a copy of the program killed while saving leaves beside the file: its lock, empty or
    // naming an ended copy, holds up the next save for at most a second or two, and that save
    // removes its temporary file; a file a person keeps there stays.
    void leftoversOfAKilledSave_data()
    {
        QTest::addColumn<QString>("name");       // beside Pourwise.ini
        QTest::addColumn<QByteArray>("content"); // "ended": a lock naming an ended copy
        QTest::addColumn<bool>("removed");
        QTest::newRow("empty lock") << ".lock" << QByteArray() << true;
        QTest::newRow("lock of an ended copy") << ".lock" << QByteArray("ended") << true;
        QTest::newRow("temporary file") << ".qWxErT" << QByteArray("[Settings]\nBAL=0.3\n") << true;
        QTest::newRow("backup") << ".backup" << QByteArray("[Settings]\nBAL=0.3\n") << false;
        QTest::newRow("word") << ".Before" << QByteArray("[Settings]\nBAL=0.3\n") << false;
        QTest::newRow("damaged copy")
            << ".damaged" << QByteArray("[Settings]\nBAL=\"0.3\n") << false;
    }
    void leftoversOfAKilledSave()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, removed);
        writeFile(iniPath(), "[Settings]\nBAL=0.1\n");
        if (content == "ended") {
            QProcess ended; // exits at once, given no arguments
            ended.start(QStringLiteral(SETTINGS_WRITER), QStringList());
            QVERIFY(ended.waitForStarted());
            content = QByteArray::number(ended.processId()) + "\nsettings_writer\n" +
                      QSysInfo::machineHostName().toUtf8() + '\n';
            QVERIFY(ended.waitForFinished());
        }
        writeFile(iniPath() + name, content);

        QElapsedTimer timer;
        timer.start();
        QVERIFY(store().SaveSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("0.2")));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(QFileInfo::exists(iniPath() + name), !removed);
    }

    void interruptedSaveLeavesOldOrNewFile()
    {
        // A value is whole when its filler of x's has its full length and ":end" follows it.
        const QRegularExpression written(QStringLiteral("^W-\\d+:(x+):end$"));
        const auto whole = [&written](const QString &text) {
            return text == QLatin1String("seed") ||
                   written.match(text).captured(1).size() == 100000;
        };
        QStringList keys;
        QList<SettingsEntry> seeds;
        for (const StoredSettings::NumberKey &key : StoredSettings::MainWindowKeys) {
            keys << QLatin1String(key.writtenName);
            seeds.append({keys.last(), QStringLiteral("seed")});
        }
        for (int attempt = 0; attempt < 12; ++attempt) {
            QVERIFY(StoredSettings::save(store(), seeds));
            const QByteArray seeded = readFile(iniPath());

            QProcess writer;
            writer.start(
                QStringLiteral(SETTINGS_WRITER),
                {folder(), QStringLiteral("W"), QStringLiteral("0"), QStringLiteral("100000")});
            QVERIFY(writer.waitForStarted());
            QTRY_VERIFY_WITH_TIMEOUT(readFile(iniPath()) != seeded, 10000);
            QTest::qWait(attempt * 3); // cut it at different points of its next saves
            writer.kill();
            QVERIFY(writer.waitForFinished());

            // All keys come from one save, the last one that finished: all old or all new.
            const SettingsStore after = store();
            const QList<std::optional<QString>> texts = after.GetSettings(App, Section, keys);
            QCOMPARE(after.status(), SettingsStatus::Ok);
            for (const std::optional<QString> &text : texts) {
                QVERIFY(text && whole(*text));
                QCOMPARE(*text, *texts.first());
            }
            // The killed writer's lock does not hold up the next save.
            QElapsedTimer timer;
            timer.start();
            QVERIFY(
                store().SaveSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("seed")));
            QVERIFY(timer.elapsed() < 20000); // a held lock would wait 30 s
        }
    }

    // A save that cannot be made says why in the system's words and what may be done; one that
    // meets another copy saving waits only as long as it was told to, and says so.
    void saveRefusedSaysWhy_data()
    {
        QTest::addColumn<QString>("meets");
        QTest::addColumn<SettingsStatus>("status");
        QTest::addColumn<QString>("problem"); // part of it
        QTest::newRow("a folder the user cannot write in")
            << "read-only folder" << SettingsStatus::NotSaved
            << "cannot be made (Permission denied), so nothing was written; let your user write in";
        QTest::newRow("another copy saving")
            << "locked" << SettingsStatus::Locked << "another copy of Pourwise holds its lock file";
    }
    void saveRefusedSaysWhy()
    {
        QFETCH(QString, meets);
        QFETCH(SettingsStatus, status);
        QFETCH(QString, problem);
        writeFile(iniPath(), "[Settings]\nBAL=0.1\n");
        const QString settingsFolder = QFileInfo(iniPath()).absolutePath();
        std::optional<WithoutFileRights> user;
        std::optional<QLockFile> other;
        if (meets == QLatin1String("read-only folder")) {
            QVERIFY(QFile::setPermissions(settingsFolder, QFile::ReadOwner | QFile::ExeOwner));
            user.emplace();
            if (!user->applies())
                QSKIP(WithoutFileRights::skipReason);
        } else {
            other.emplace(iniPath() + QStringLiteral(".lock"));
            QVERIFY(other->tryLock(0));
        }
        SettingsStore saving = store();
        saving.setLockWait(300);
        QElapsedTimer timer;
        timer.start();
        const bool saved =
            saving.SaveSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("0.2"));
        user.reset();
        QFile::setPermissions(settingsFolder,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!saved);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(saving.status(), status);
        QVERIFY2(saving.problem().contains(problem), qPrintable(saving.problem()));
        QCOMPARE(store().GetSetting(App, Section, QStringLiteral("BAL"), QString()),
                 QStringLiteral("0.1"));
    }

    void twoCopiesSavingAtOnce()
    {
        const auto startWriter = [this](QProcess &process, const QString &name, int rounds) {
            process.start(QStringLiteral(SETTINGS_WRITER),
                          {folder(), name, QString::number(rounds), QStringLiteral("1000")});
        };
        QProcess first, second;
        startWriter(first, QStringLiteral("A"), 25);
        startWriter(second, QStringLiteral("B"), 25);
        QVERIFY(first.waitForFinished(60000));
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);

        const QRegularExpression whole(QStringLiteral("^[AB]-\\d+:x{1000}:end$"));
        for (const StoredSettings::NumberKey &key : StoredSettings::MainWindowKeys) {
            const QString text =
                store().GetSetting(App, Section, QLatin1String(key.writtenName), QString());
            QVERIFY2(whole.match(text).hasMatch(), key.writtenName);
        }
        QCOMPARE(keysInFile(iniPath()).size(), qsizetype(StoredSettings::MainWindowKeys.size()));

        // The copy that saves last decides what the next run finds.
        QProcess last;
        startWriter(last, QStringLiteral("B"), 1);
        QVERIFY(last.waitForFinished(60000));
        for (const StoredSettings::NumberKey &key : StoredSettings::MainWindowKeys) {
            QCOMPARE(store().GetSetting(App, Section, QLatin1String(key.writtenName), QString()),
                     QStringLiteral("B-1:%1:end").arg(QString(1000, QLatin1Char('x'))));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
