#include "appinfo/AppInfo.h"
#include "settings/SettingsStore.h"
#include "settings/StoredSettings.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <bit>
#include <charconv>

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

} // namespace

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
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("valueInC");
        const QStringList defaults = {QStringLiteral("1000"), QStringLiteral("1000"),
                                      QStringLiteral("6500"), QStringLiteral("6500"),
                                      QStringLiteral("0.08"), QStringLiteral("40"),
                                      QStringLiteral("200"),  QStringLiteral("6")};
        for (int i = 0; i < 8; ++i) {
            QTest::addRow("%s", StoredSettings::InOrder[i].readName)
                << QStringLiteral("C") << i << defaults[i] << defaults[i];
        }
        QTest::newRow("BAL, German")
            << QStringLiteral("de_DE") << 4 << QStringLiteral("0,08") << QStringLiteral("0.08");
        QTest::newRow("DD, German")
            << QStringLiteral("de_DE") << 5 << QStringLiteral("40") << QStringLiteral("40");
    }
    void emptyStoreReadsDefaults()
    {
        QFETCH(QString, locale);
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QString, valueInC);
        QLocale::setDefault(QLocale(locale));

        const StoredSettings::Reading reading =
            StoredSettings::read(store(), StoredSettings::InOrder[key]);
        QCOMPARE(reading.text, text);
        QVERIFY(reading.ok);
        QCOMPARE(std::bit_cast<quint32>(reading.value), std::bit_cast<quint32>(parseC(valueInC)));
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

    void roundTripOfAllEightKeys_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("values"); // written in C notation
        const QStringList defaults = {"1000", "1000", "6500", "6500", "0.08", "40", "200", "6"};
        const QStringList fractions = {"0.3333333", "12.5", "-3",   "1E-05",
                                       "3.4E+38",   "1005", "6495", "0.1"};
        QTest::newRow("defaults") << QStringLiteral("C") << defaults;
        QTest::newRow("fractions and extremes") << QStringLiteral("C") << fractions;
        QTest::newRow("fractions, German") << QStringLiteral("de_DE") << fractions;
        QTest::newRow("defaults, French") << QStringLiteral("fr_FR") << defaults;
    }
    void roundTripOfAllEightKeys()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, values);
        QLocale::setDefault(QLocale(locale));

        for (int i = 0; i < 8; ++i)
            QVERIFY(StoredSettings::save(store(), StoredSettings::InOrder[i], parseC(values[i])));
        for (int i = 0; i < 8; ++i) {
            const StoredSettings::Reading reading =
                StoredSettings::read(store(), StoredSettings::InOrder[i]);
            QVERIFY2(reading.ok, qPrintable(reading.text));
            QCOMPARE(std::bit_cast<quint32>(reading.value),
                     std::bit_cast<quint32>(parseC(values[i])));
        }
        QCOMPARE(keysInFile(iniPath()).size(), 8);
        QVERIFY(keysInFile(iniPath()).contains(QStringLiteral("dd")));
    }

    void storedNumbers_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("outOfRange");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("valueInC");
        QTest::newRow("plain") << "C" << QByteArray("BAL=0.1") << true << false << "0.1"
                               << "0.1";
        QTest::newRow("blanks around")
            << "C" << QByteArray("BAL=\" 0.1 \"") << true << false << " 0.1 "
            << "0.1";
        QTest::newRow("words") << "C" << QByteArray("BAL=abc") << false << false << "abc"
                               << "0";
        QTest::newRow("empty") << "C" << QByteArray("BAL=") << false << false << ""
                               << "0";
        QTest::newRow("beyond float") << "C" << QByteArray("BAL=1e39") << false << true << "1e39"
                                      << "0";
        QTest::newRow("comma where a point belongs")
            << "C" << QByteArray("BAL=\"0,08\"") << false << false << "0,08"
            << "0";
        QTest::newRow("German comma, hand-written unquoted")
            << "de_DE" << QByteArray("BAL=0,08") << true << false << "0,08"
            << "0.08";
        QTest::newRow("point where a German comma belongs")
            << "de_DE" << QByteArray("BAL=0.08") << false << false << "0.08"
            << "0";
    }
    void storedNumbers()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, line);
        QFETCH(bool, ok);
        QFETCH(bool, outOfRange);
        QFETCH(QString, text);
        QFETCH(QString, valueInC);
        QLocale::setDefault(QLocale(locale));
        writeFile(iniPath(), "[Settings]\n" + line + "\n");

        const StoredSettings::Reading reading =
            StoredSettings::read(store(), StoredSettings::InOrder[4]);
        QCOMPARE(reading.text, text);
        QCOMPARE(reading.ok, ok);
        QCOMPARE(reading.outOfRange, outOfRange);
        if (ok)
            QCOMPARE(std::bit_cast<quint32>(reading.value),
                     std::bit_cast<quint32>(parseC(valueInC)));
    }

    void damagedStore_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("readText");
        QTest::addColumn<bool>("canSave");
        QTest::newRow("binary garbage") << "garbage"
                                        << "0.08" << true;
        QTest::newRow("cut in a section name") << "cut"
                                               << "0.1" << true;
        QTest::newRow("folder in the file's place") << "folder"
                                                    << "0.08" << false;
        QTest::newRow("file in the folder's place") << "blocked"
                                                    << "0.08" << false;
    }
    void damagedStore()
    {
        QFETCH(QString, damage);
        QFETCH(QString, readText);
        QFETCH(bool, canSave);
        SettingsStatus readStatus = SettingsStatus::Ok;
        if (damage == QLatin1String("garbage")) {
            QByteArray bytes;
            for (int i = 0; i < 4096; ++i)
                bytes.append(char((i * 151 + 7) % 256));
            writeFile(iniPath(), bytes);
        } else if (damage == QLatin1String("cut")) {
            writeFile(iniPath(), "[Settings]\nBAL=0.1\nProof=80\n[Sett");
            readStatus = SettingsStatus::Damaged;
        } else if (damage == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(iniPath()));
            readStatus = SettingsStatus::Unreadable;
        } else {
            writeFile(QFileInfo(iniPath()).absolutePath(), "not a folder");
        }
        const SettingsStore damaged = store();

        QCOMPARE(damaged.GetSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("0.08")),
                 readText);
        if (damage != QLatin1String("garbage")) // garbage may or may not parse as an empty file
            QCOMPARE(damaged.status(), readStatus);

        QCOMPARE(damaged.SaveSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("0.2")),
                 canSave);
        QCOMPARE(damaged.status(), canSave ? SettingsStatus::Ok : SettingsStatus::NotSaved);
        if (!canSave)
            return;
        // The save leaves a clean file that keeps what could be read before.
        QCOMPARE(damaged.GetSetting(App, Section, QStringLiteral("BAL"), QString()),
                 QStringLiteral("0.2"));
        QCOMPARE(damaged.status(), SettingsStatus::Ok);
        if (damage == QLatin1String("cut"))
            QCOMPARE(damaged.GetSetting(App, Section, QStringLiteral("Proof"), QString()),
                     QStringLiteral("80"));
    }

    void interruptedSaveLeavesOldOrNewFile()
    {
        // A value is whole when its filler of x's has its full length and ":end" follows it.
        const QRegularExpression written(QStringLiteral("^W-\\d+:(x+):end$"));
        const auto whole = [&written](const QString &text) {
            return text == QLatin1String("seed") ||
                   written.match(text).captured(1).size() == 100000;
        };
        for (int attempt = 0; attempt < 12; ++attempt) {
            for (const StoredSettings::Key &key : StoredSettings::InOrder)
                QVERIFY(store().SaveSetting(App, Section, QLatin1String(key.writtenName),
                                            QStringLiteral("seed")));
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

            const SettingsStore after = store();
            for (const StoredSettings::Key &key : StoredSettings::InOrder) {
                const QString text =
                    after.GetSetting(App, Section, QLatin1String(key.writtenName), QString());
                QCOMPARE(after.status(), SettingsStatus::Ok);
                QVERIFY2(whole(text), key.writtenName);
            }
            // The killed writer's lock does not hold up the next save.
            QElapsedTimer timer;
            timer.start();
            QVERIFY(
                store().SaveSetting(App, Section, QStringLiteral("BAL"), QStringLiteral("seed")));
            QVERIFY(timer.elapsed() < 5000);
        }
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
        for (const StoredSettings::Key &key : StoredSettings::InOrder) {
            const QString text =
                store().GetSetting(App, Section, QLatin1String(key.writtenName), QString());
            QVERIFY2(whole.match(text).hasMatch(), key.writtenName);
        }
        QCOMPARE(keysInFile(iniPath()).size(), 8);

        // The copy that saves last decides what the next run finds.
        QProcess last;
        startWriter(last, QStringLiteral("B"), 1);
        QVERIFY(last.waitForFinished(60000));
        for (const StoredSettings::Key &key : StoredSettings::InOrder) {
            QCOMPARE(store().GetSetting(App, Section, QLatin1String(key.writtenName), QString()),
                     QStringLiteral("B-1:%1:end").arg(QString(1000, QLatin1Char('x'))));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
