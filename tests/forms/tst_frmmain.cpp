#include "calc/dose/DosingState.h"
#include "calc/session/SessionFaultTexts.h"
#include "forms/common/ModalDialog.h"
#include "forms/common/OperatorMessage.h"
#include "forms/main/Module1.h"
#include "forms/main/ProtocolMenu.h"
#include "forms/main/frmHistory.h"
#include "forms/main/frmInfo.h"
#include "forms/main/frmLimits.h"
#include "forms/main/frmMain.h"
#include "forms/session/frmLabDay.h"
#include "forms/session/frmPlan.h"
#include "forms/study/frmStudy.h"
#include "settings/SettingsStore.h"
#include "settings/StoredSettings.h"
#include "tests/support/WorkedExample.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <bit>
#include <charconv>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(LevelScale)

namespace {

const QStringList WrittenKeys = {"MainLeft",    "MainTop",  "MainWidth",   "MainHeight",
                                 "BAL",         "dd",       "Proof",       "Ratio",
                                 "Portions",    "Release",  "Units",       "LevelUnit",
                                 "BreathRatio", "Protocol", "RecordFolder"};

float parseC(const QString &text)
{
    const QByteArray bytes = text.toLatin1();
    float value = 0;
    std::from_chars(bytes.constData(), bytes.constData() + bytes.size(), value);
    return value;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The [Settings] lines of an INI file as key -> text, quotes removed, read without Qt's parser.
QMap<QString, QString> settingsInFile(const QString &path)
{
    QMap<QString, QString> values;
    bool inSection = false;
    for (const QByteArray &raw : readFile(path).split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inSection = line == QLatin1String("[Settings]");
        else if (inSection && line.contains(QLatin1Char('=')))
            values.insert(line.section(QLatin1Char('='), 0, 0),
                          line.section(QLatin1Char('='), 1).remove(QLatin1Char('"')));
    }
    return values;
}

void setParameters(float bal, float dd, float proof, float ratio)
{
    DosingState &state = Module1::dosingState;
    state.BAL = bal;
    state.DD = dd;
    state.Proof = proof;
    state.Ratio = ratio;
}

QList<float> parameters()
{
    const DosingState &state = Module1::dosingState;
    return {state.BAL, state.DD, state.Proof, state.Ratio};
}

QList<quint32> bits(const QList<float> &values)
{
    QList<quint32> result;
    for (float value : values)
        result << std::bit_cast<quint32>(value);
    return result;
}

QStringList sortedKeys()
{
    QStringList keys = WrittenKeys;
    keys.sort();
    return keys;
}

// Sentinels that no stored value or default equals, to see which parameters a load replaced.
const QList<float> Untouched = {-1, -2, -3, -4};

} // namespace

class TestFrmMain : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> temp;
    QStringList messages;

    QString folder() const { return temp->path() + QStringLiteral("/config"); }
    QString iniPath() const { return folder() + QStringLiteral("/Pourwise/Pourwise.ini"); }
    std::unique_ptr<frmMain> newWindow() const
    {
        return std::make_unique<frmMain>(Module1::dosingState, Module1::run,
                                         SettingsStore(folder()));
    }
    void writeIni(const QByteArray &content)
    {
        QVERIFY(QDir().mkpath(QFileInfo(iniPath()).absolutePath()));
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static void showAndWait(QWidget *window)
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    static QList<QLabel *> panels(frmMain *window)
    {
        QList<QLabel *> found = window->statusBar()->findChildren<QLabel *>();
        std::sort(found.begin(), found.end(), [](QLabel *a, QLabel *b) { return a->x() < b->x(); });
        return found;
    }
    // Runs `work` on the input and output window that "Input Parameters" opens, then closes it.
    static bool inInputWindow(frmMain *window, const std::function<void(QWidget *)> &work)
    {
        bool opened = false;
        QTimer probe;
        int waited = 0;
        QObject::connect(&probe, &QTimer::timeout, window, [&] {
            if (QWidget *active = QApplication::activeModalWidget()) {
                probe.stop();
                opened = true;
                work(active);
                active->close();
            } else if (++waited > 500) { // never hang the run on a missing window
                probe.stop();
            }
        });
        probe.start(10);
        menuCommand(window, QStringLiteral("Input Parameters"))->trigger();
        return QTest::qWaitFor([&] { return !probe.isActive(); }) && opened;
    }
    // The item with this caption, on the menu bar or in one of its menus.
    static QAction *menuCommand(frmMain *window, const QString &text)
    {
        QList<QAction *> items = window->menuBar()->actions();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items[i]->text() == text)
                return items[i];
            if (QMenu *menu = items[i]->menu())
                items += menu->actions();
        }
        return nullptr;
    }
    // Chooses the menu command and, once the modal window it opens is up, runs `inspect` on it
    // and closes it. False when no modal window opened within five seconds.
    static bool inModalWindow(frmMain *window, const QString &command,
                              const std::function<void(QWidget *)> &inspect)
    {
        bool opened = false;
        QTimer probe;
        int waited = 0;
        connect(&probe, &QTimer::timeout, [&] {
            if (QWidget *active = QApplication::activeModalWidget()) {
                probe.stop();
                opened = true;
                inspect(active);
                active->close();
            } else if (++waited > 500) { // never hang the run on a missing window
                probe.stop();
            }
        });
        probe.start(10);
        menuCommand(window, command)->trigger();
        if (opened) // the command must return before its modal window opens
            return false;
        return QTest::qWaitFor([&] { return !probe.isActive(); }, 10000) && opened;
    }

    // Chooses Session Plan and, once its window is up, runs `inspect` on it and closes it. False
    // when no session window opened within five seconds.
    static bool inSessionWindow(frmMain *window, const std::function<void(QWidget *)> &inspect)
    {
        menuCommand(window, QStringLiteral("&Session Plan"))->trigger();
        if (!QTest::qWaitFor([window] { return !window->openSessions().isEmpty(); }, 5000))
            return false;
        frmPlan *plan = window->openSessions().constLast();
        inspect(plan);
        return plan->close();
    }

private slots:
    void init()
    {
        temp = std::make_unique<QTemporaryDir>();
        QVERIFY(temp->isValid());
        QLocale::setDefault(QLocale::c());
        messages.clear();
        OperatorMessage::setCapture([this](const QString &text) { messages << text; });
        Module1::dosingState = DosingState{};
        DosingState &state = Module1::dosingState;
        state.Height = 71;
        state.Weight = 163;
        state.Age = 27;
        state.Gender = Gender::Male;
        setParameters(Untouched[0], Untouched[1], Untouched[2], Untouched[3]);
        Module1::run = RunValues{};
    }
    void cleanup()
    {
        OperatorMessage::setCapture({});
        OperatorMessage::setAnswer({});
        ModalDialog::setAnswer({});
        QLocale::setDefault(QLocale::c());
    }

    void loadTakesStoredValues_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QList<int>>("outer"); // pixels; empty: somewhere on the screen
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QStringList>("message"); // parts of the one message, none: no message

        // 1000 twips are 66.7 pixels and 6500 twips 433.3.
        QTest::newRow("empty store") << QByteArray() << QList<int>{67, 67, 433, 433}
                                     << QStringList{"0.08", "40", "200", "6"} << QStringList{};
        QTest::newRow("saved by an earlier run")
            << QByteArray("[Settings]\nMainLeft=1500\nMainTop=750\nMainWidth=9000\n"
                          "MainHeight=6000\nBAL=0.1\ndd=60\nProof=100\nRatio=4\n")
            << QList<int>{100, 50, 600, 400} << QStringList{"0.1", "60", "100", "4"}
            << QStringList{};
        QTest::newRow("twips between pixels")
            << QByteArray("[Settings]\nMainLeft=1007\nMainTop=1008\nMainWidth=6008\n"
                          "MainHeight=6007\n")
            << QList<int>{67, 67, 401, 400} << QStringList{"0.08", "40", "200", "6"}
            << QStringList{};
        // One unreadable key takes its default; every other key keeps its stored value.
        QTest::newRow("unreadable width")
            << QByteArray("[Settings]\nMainLeft=1500\nMainTop=750\nMainWidth=wide\n"
                          "MainHeight=6000\nBAL=0.1\n")
            << QList<int>{100, 50, 433, 400} << QStringList{"0.1", "40", "200", "6"}
            << QStringList{"ERROR: ", "MainWidth \"wide\" (now 6500)"};
        QTest::newRow("unreadable left, parameters after it")
            << QByteArray("[Settings]\nMainLeft=abc\nBAL=0.1\nDD=60\nProof=100\nRatio=4\n")
            << QList<int>{67, 67, 433, 433} << QStringList{"0.1", "60", "100", "4"}
            << QStringList{"ERROR: ", "MainLeft \"abc\" (now 1000)"};
        QTest::newRow("unreadable ratio and proof beyond the float range")
            << QByteArray("[Settings]\nBAL=0.1\ndd=60\nProof=1e39\nRatio=lots\n")
            << QList<int>{67, 67, 433, 433} << QStringList{"0.1", "60", "200", "6"}
            << QStringList{"ERROR: ", "Proof \"1e39\" (now 200)", "Ratio \"lots\" (now 6)"};
        QTest::newRow("empty target level")
            << QByteArray("[Settings]\nBAL=\n") << QList<int>{67, 67, 433, 433}
            << QStringList{"0.08", "40", "200", "6"}
            << QStringList{"ERROR: ", "BAL \"\" (now 0.08)"};
        QTest::newRow("far outside any screen")
            << QByteArray("[Settings]\nMainLeft=1E+30\nMainTop=-1E+30\nMainWidth=-50\n")
            << QList<int>{} << QStringList{"0.08", "40", "200", "6"} << QStringList{};
        QTest::newRow("off every screen")
            << QByteArray("[Settings]\nMainLeft=200000\nMainTop=-90000\n") << QList<int>{}
            << QStringList{"0.08", "40", "200", "6"} << QStringList{};
    }
    void loadTakesStoredValues()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QList<int>, outer);
        QFETCH(QStringList, params);
        QFETCH(QStringList, message);
        if (!ini.isEmpty())
            writeIni(ini);
        const QByteArray stored = readFile(iniPath());
        const auto window = newWindow();

        window->MDIForm_Load();

        const QRect after = window->frameGeometry();
        if (outer.isEmpty()) {
            const QRect screen = window->screen()->availableGeometry();
            QVERIFY2(screen.contains(after.topLeft()), qPrintable(QString::number(after.x())));
            QVERIFY(2 * (after & screen).height() >= after.height());
        } else {
            QCOMPARE(after, QRect(outer[0], outer[1], outer[2], outer[3]));
        }
        QList<float> expected;
        for (const QString &param : params)
            expected << parseC(param);
        QCOMPARE(bits(parameters()), bits(expected));
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        for (const QString &part : message)
            QVERIFY2(messages.first().contains(part), qPrintable(messages.first()));
        QCOMPARE(readFile(iniPath()), stored); // reading changes nothing
        QCOMPARE(QFileInfo::exists(folder()), !ini.isEmpty());
    }

    void damagedStoreStillOpensAndWorks_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("loadMessage"); // empty: none
        QTest::addColumn<bool>("saved");
        QTest::newRow("binary garbage") << "garbage"
                                        << "is damaged" << true;
        QTest::newRow("cut in a section name") << "cut"
                                               << "is damaged" << true;
        QTest::newRow("folder in the file's place") << "folder"
                                                    << "cannot be read" << false;
        QTest::newRow("file in the folder's place") << "blocked"
                                                    << "" << false;
    }
    void damagedStoreStillOpensAndWorks()
    {
        QFETCH(QString, damage);
        QFETCH(QString, loadMessage);
        QFETCH(bool, saved);
        if (damage == QLatin1String("garbage")) {
            QByteArray bytes;
            for (int i = 0; i < 4096; ++i)
                bytes.append(char((i * 151 + 7) % 256));
            writeIni(bytes);
        } else if (damage == QLatin1String("cut")) {
            writeIni("[Settings]\nBAL=0.1\n[Sett");
        } else if (damage == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(iniPath()));
        } else {
            QVERIFY(QDir().mkpath(folder()));
            QFile blocker(folder() + QStringLiteral("/Pourwise"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        QCOMPARE(messages.size(), loadMessage.isEmpty() ? 0 : 1);
        if (!loadMessage.isEmpty()) {
            QVERIFY(messages.first().startsWith(QLatin1String("ERROR: ")));
            QVERIFY2(messages.first().contains(loadMessage), qPrintable(messages.first()));
            QVERIFY(messages.first().contains(iniPath()));
        }
        QVERIFY(Module1::dosingState.Proof == 200); // the default, as the store had none
        if (saved && !loadMessage.isEmpty())        // it tells where the damaged file will be kept
            QVERIFY(messages.first().contains(QStringLiteral("copy")));
        messages.clear();

        setParameters(0.07f, 45, 150, 5);
        menuCommand(window.get(), QStringLiteral("Exit"))->trigger();
        QVERIFY(!window->isVisible());
        if (saved) {
            QVERIFY(messages.isEmpty());
            QCOMPARE(settingsInFile(iniPath()).value(QStringLiteral("BAL")),
                     QStringLiteral("0.07"));
        } else {
            // The operator can still note every value that was not saved.
            QCOMPARE(messages.size(), 1);
            for (const char *part :
                 {"ERROR: ", "could not be saved", "target BAL 0.07 g/100 ml",
                  "drinking period 45 minutes", "proof 150", "5 parts mixer", "3 portions",
                  "release level 0.02 g/100 ml", "height and weight in inches and pounds", "twips"})
                QVERIFY2(messages.first().contains(QLatin1String(part)),
                         qPrintable(messages.first()));
        }
    }

    void unloadSavesUnlessMinimised_data()
    {
        QTest::addColumn<Qt::WindowState>("state");
        QTest::addColumn<QString>("closeBy");
        QTest::addColumn<QByteArray>("earlier");
        const QByteArray earlier("[Settings]\nMainLeft=15\nMainTop=30\nMainWidth=6000\n"
                                 "MainHeight=4500\nBAL=0.1\ndd=60\nProof=100\nRatio=4\n"
                                 "Portions=7\nRelease=0.03\n");
        QTest::newRow("normal, Exit") << Qt::WindowNoState << "Exit" << QByteArray();
        QTest::newRow("normal, close box") << Qt::WindowNoState << "close box" << earlier;
        QTest::newRow("maximised, Exit") << Qt::WindowMaximized << "Exit" << earlier;
        QTest::newRow("minimised, Exit, first run")
            << Qt::WindowMinimized << "Exit" << QByteArray();
        QTest::newRow("minimised, close box") << Qt::WindowMinimized << "close box" << earlier;
    }
    void unloadSavesUnlessMinimised()
    {
        QFETCH(Qt::WindowState, state);
        QFETCH(QString, closeBy);
        QFETCH(QByteArray, earlier);
        if (!earlier.isEmpty())
            writeIni(earlier);
        const QByteArray before = readFile(iniPath());
        const auto window = newWindow();
        window->MDIForm_Load();
        window->setGeometry(120, 90, 500, 380);
        showAndWait(window.get());
        window->setWindowState(state);
        QTRY_COMPARE(window->windowState(), state);
        if (state == Qt::WindowMaximized)
            QTRY_COMPARE(window->frameGeometry(), window->screen()->availableGeometry());
        const QRect outer = window->frameGeometry();
        const QMargins frame = window->windowHandle()->frameMargins();
        setParameters(0.12f, 45, 150, 5);

        if (closeBy == QLatin1String("Exit"))
            menuCommand(window.get(), QStringLiteral("Exit"))->trigger();
        else
            window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(messages.isEmpty());

        if (state == Qt::WindowMinimized) {
            QCOMPARE(readFile(iniPath()), before);
            QCOMPARE(QFileInfo::exists(iniPath()), !earlier.isEmpty());
            return;
        }
        const QMap<QString, QString> stored = settingsInFile(iniPath());
        QCOMPARE(stored.keys(), sortedKeys());
        const QStringList expected = {
            QString::number(outer.left() * 15), QString::number(outer.top() * 15),
            QString::number(outer.width() * 15), QString::number(outer.height() * 15), "0.12", "45",
            "150", "5",
            // the session plan's choices as loaded
            earlier.isEmpty() ? "3" : "7", earlier.isEmpty() ? "0.02" : "0.03", "US", "g/100ml",
            "2100", "", ""};
        for (int i = 0; i < WrittenKeys.size(); ++i)
            QCOMPARE(stored.value(WrittenKeys[i]), expected[i]);
        if (state == Qt::WindowNoState) { // the frame lies around the client area set above
            QCOMPARE(stored.value("MainLeft"), QString::number((120 - frame.left()) * 15));
            QCOMPARE(stored.value("MainWidth"),
                     QString::number((500 + frame.left() + frame.right()) * 15));
        }
    }

    // Exit waits only briefly while another copy of Pourwise holds the settings' lock, then says
    // so and asks: Retry saves once the other copy is done, Discard changes exits without saving,
    // and closing the question keeps Pourwise running.
    void exitWhileAnotherCopyHoldsTheSettings_data()
    {
        QTest::addColumn<QString>("answers"); // in turn
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Discard changes") << "Discard" << true << false;
        QTest::newRow("Retry, the other copy still saving, then Discard changes")
            << "Retry Discard" << true << false;
        QTest::newRow("Retry once the other copy is done") << "Retry-done" << true << true;
        QTest::newRow("the question closed") << "Cancel" << false << false;
    }
    void exitWhileAnotherCopyHoldsTheSettings()
    {
        QFETCH(QString, answers);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        QVERIFY(QDir().mkpath(QFileInfo(iniPath()).absolutePath()));
        auto other = std::make_unique<QLockFile>(iniPath() + QStringLiteral(".lock"));
        QVERIFY(other->tryLock(0));
        QStringList asked;
        QStringList left = answers.split(QLatin1Char(' '));
        OperatorMessage::setAnswer([&](const QString &text) {
            asked << text;
            const QString answer = left.takeFirst();
            if (answer == QLatin1String("Retry-done"))
                other.reset();
            return answer.startsWith(QLatin1String("Retry")) ? QMessageBox::Retry
                   : answer == QLatin1String("Discard")      ? QMessageBox::Discard
                                                             : QMessageBox::Cancel;
        });

        QElapsedTimer waited;
        waited.start();
        window->close();
        // Asked after a second or two each time, never after the half minute a save may wait.
        QVERIFY2(waited.elapsed() < 2500 * asked.size(),
                 qPrintable(QString::number(waited.elapsed())));
        QVERIFY(left.isEmpty());
        QCOMPARE(window->isVisible(), !closed);
        QCOMPARE(asked.size(), answers.count(QLatin1Char(' ')) + 1);
        for (const QString &question : std::as_const(asked))
            QCOMPARE(question, StoredSettings::lockedQuestion(SettingsStore(folder())));
        QVERIFY(asked[0].startsWith(QLatin1String("Another copy of Pourwise holds the settings")));
        QCOMPARE(QFileInfo::exists(iniPath()), saved);
        QVERIFY(messages.isEmpty());
        OperatorMessage::setAnswer({});
    }

    void restartRestoresGeometryAndParameters_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QStringList>("params");
        QTest::newRow("moved and resized")
            << "C" << QRect(150, 100, 640, 480) << QStringList{"0.1", "60", "100", "4"};
        QTest::newRow("German, fractions")
            << "de_DE" << QRect(33, 44, 555, 377) << QStringList{"0.05", "90", "80", "2.5"};
        QTest::newRow("extreme parameters")
            << "C" << QRect(10, 12, 450, 350) << QStringList{"0.3333333", "1E-05", "3.4E+38", "0"};
    }
    void restartRestoresGeometryAndParameters()
    {
        QFETCH(QString, locale);
        QFETCH(QRect, geometry);
        QFETCH(QStringList, params);
        QLocale::setDefault(QLocale(locale));
        QList<float> values;
        for (const QString &text : params)
            values << parseC(text);

        QRect left;
        QMargins frame;
        {
            const auto first = newWindow();
            first->MDIForm_Load();
            first->setGeometry(geometry);
            showAndWait(first.get());
            setParameters(values[0], values[1], values[2], values[3]);
            left = first->frameGeometry();
            frame = first->windowHandle()->frameMargins();
            menuCommand(first.get(), QStringLiteral("Exit"))->trigger();
        }
        QCOMPARE(left.size().shrunkBy(frame), geometry.size());
        // Only the window's keys are stored: no participant data and no results.
        QCOMPARE(settingsInFile(iniPath()).keys(), sortedKeys());

        setParameters(Untouched[0], Untouched[1], Untouched[2], Untouched[3]);
        const auto second = newWindow();
        second->MDIForm_Load();
        QCOMPARE(second->frameGeometry(), left);
        QCOMPARE(bits(parameters()), bits(values));
        showAndWait(second.get());
        QCOMPARE(second->frameGeometry(), left);
        QVERIFY(messages.isEmpty());
    }

    void menuBarInOrder()
    {
        const auto window = newWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Pourwise"));
        const QList<QAction *> bar = window->menuBar()->actions();
        QStringList captions, names;
        for (QAction *action : bar) {
            captions << action->text();
            names << action->objectName();
        }
        QCOMPARE(captions, (QStringList{"Input Parameters", "&Record", "&Units", "&Protocol",
                                        "&Help", "Exit"}));
        QCOMPARE(names, (QStringList{"mnuInput", "mnuRecord", "mnuUnits", "mnuProtocol", "mnuHelp",
                                     "mnuExit"}));
        for (int i : {0, 5}) // commands on the bar itself
            QVERIFY(!bar[i]->menu());
        for (int i : {1, 2, 3, 4})
            QVERIFY(bar[i]->menu());
        const QList<QAction *> record = bar[1]->menu()->actions();
        QStringList recordItems;
        for (QAction *item : record)
            recordItems << item->objectName() + u' ' + item->text();
        QCOMPARE(recordItems,
                 (QStringList{"mnuPlan &Session Plan", "mnuLabDay &Lab Day",
                              "mnuRecordOpen &Open Record...", "mnuHistory &History...",
                              "mnuStudy S&tudy Summary..."}));
        QCOMPARE(record[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
        const QList<QAction *> units = bar[2]->menu()->actions();
        QStringList choices;
        for (QAction *item : units)
            choices << (item->isSeparator() ? QStringLiteral("-- ") + item->text() : item->text());
        QCOMPARE(choices, (QStringList{"&Inches and Pounds", "&Centimetres and Kilograms",
                                       "-- Alcohol level", "Blood, g/100 ml (BAL)", "Blood, g/L",
                                       "Blood, mg/100 ml", "Breath, g/210 L", "Breath, mg/L",
                                       "Breath, \u00b5g/100 ml", "-- Blood/breath ratio", "2000:1",
                                       "2100:1", "2300:1", "Other..."}));
        QCOMPARE(units[0]->text(), QStringLiteral("&Inches and Pounds"));
        QCOMPARE(units[0]->objectName(), QStringLiteral("mnuUnitsUS"));
        QCOMPARE(units[1]->text(), QStringLiteral("&Centimetres and Kilograms"));
        QCOMPARE(units[1]->objectName(), QStringLiteral("mnuUnitsMetric"));
        QStringList protocol;
        for (QAction *item : bar[3]->menu()->actions())
            protocol << (item->isSeparator() ? QStringLiteral("--")
                                             : item->objectName() + u' ' + item->text());
        QCOMPARE(protocol, (QStringList{"mnuProtocolOpen &Open Protocol...",
                                        "mnuProtocolSave &Save Protocol As...",
                                        "mnuProtocolLimits &Limits...", "--",
                                        "mnuProtocolNone &No Protocol"}));
        const QList<QAction *> help = bar[4]->menu()->actions();
        QCOMPARE(help.size(), 1);
        QCOMPARE(help[0]->text(), QStringLiteral("&About Pourwise..."));
        QCOMPARE(help[0]->objectName(), QStringLiteral("mnuHelpAbout"));
        // Only the Lab Day has a shortcut, Ctrl+L, as above.
        for (QAction *action : bar + record + units + help)
            QVERIFY2(action == record[1] || action->shortcuts().isEmpty(),
                     qPrintable(action->text()));
    }

    // No two items of the menu bar, nor of one menu, answer to the same access key.
    void menuAccessKeysAreUnique_data()
    {
        QTest::addColumn<QString>("menu"); // the object name of the bar or of a menu
        for (const char *menu : {"menuBar", "mnuRecord", "mnuUnits", "mnuProtocol", "mnuHelp"})
            QTest::newRow(menu) << QString::fromLatin1(menu);
    }
    void menuAccessKeysAreUnique()
    {
        QFETCH(QString, menu);
        const auto window = newWindow();
        const auto *holder = window->findChild<QWidget *>(menu);
        QVERIFY(holder);
        QMap<QKeySequence, QString> taken; // by key, the item that has it
        QStringList shared;
        for (const QAction *item : holder->actions()) {
            const QKeySequence key = QKeySequence::mnemonic(item->text());
            if (key.isEmpty())
                continue;
            if (taken.contains(key))
                shared << QStringLiteral("%1: %2 and %3")
                              .arg(key.toString(QKeySequence::NativeText), taken[key],
                                   item->text());
            taken.insert(key, item->text());
        }
        QVERIFY(!taken.isEmpty());
        QVERIFY2(shared.isEmpty(), qPrintable(shared.join(QLatin1Char('\n'))));
    }

    // At the size of a first run every item of the menu bar shows on the bar, none behind its
    // overflow button, so that each, Exit too, can be reached from the keyboard. CTest runs this
    // again at twice the scale, as on a high-density screen.
    void menuBarShowsEveryItem()
    {
        const auto window = newWindow();
        window->MDIForm_Load(); // an empty store: the default geometry
        showAndWait(window.get());
        QCOMPARE(window->devicePixelRatio(),
                 qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
        QMenuBar *bar = window->menuBar();
        QStringList hidden;
        for (QAction *action : bar->actions()) {
            const QRect place = bar->actionGeometry(action);
            if (place.isEmpty() || !bar->rect().contains(place))
                hidden << action->text();
        }
        QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QStringLiteral(", "))));
        // Qt's name for the bar's overflow button.
        auto *overflow = bar->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(overflow);
        QVERIFY(!overflow->isVisible());
    }

    // One choice of each group is checked at any time; the choices are saved with the other keys
    // at exit. An unusable unit of levels or ratio is named, as it changes every level shown.
    void unitsAreRemembered_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("loaded"); // the checked item after the load
        QTest::addColumn<QString>("choose"); // the item chosen before Exit, or "ratio TEXT"
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("message"); // at the load or the choice
        QTest::newRow("first run, switched to metric") << QByteArray() << "mnuUnitsUS"
                                                       << "mnuUnitsMetric"
                                                       << "Units"
                                                       << "Metric" << false;
        QTest::newRow("metric kept") << QByteArray("[Settings]\nUnits=Metric\n") << "mnuUnitsMetric"
                                     << ""
                                     << "Units"
                                     << "Metric" << false;
        QTest::newRow("metric back to US")
            << QByteArray("[Settings]\nUnits=Metric\n") << "mnuUnitsMetric"
            << "mnuUnitsUS"
            << "Units"
            << "US" << false;
        QTest::newRow("another letter case and key spelling")
            << QByteArray("[Settings]\nunits=METRIC\n") << "mnuUnitsMetric"
            << ""
            << "Units"
            << "Metric" << false;
        QTest::newRow("an unknown word reads as US")
            << QByteArray("[Settings]\nUnits=Imperial\nBAL=0.1\n") << "mnuUnitsUS"
            << ""
            << "Units"
            << "US" << false;
        QTest::newRow("empty reads as US") << QByteArray("[Settings]\nUnits=\n") << "mnuUnitsUS"
                                           << "mnuUnitsUS"
                                           << "Units"
                                           << "US" << false;
        QTest::newRow("first run, switched to breath in mg/L") << QByteArray() << "mnuLevelg100ml"
                                                               << "mnuLevelmgL"
                                                               << "LevelUnit"
                                                               << "mg/L" << false;
        QTest::newRow("micrograms kept, any letter case")
            << QByteArray("[Settings]\nlevelunit=UG/100ML\n") << "mnuLevelug100ml"
            << ""
            << "LevelUnit"
            << "ug/100ml" << false;
        QTest::newRow("an unknown unit of levels is named")
            << QByteArray("[Settings]\nLevelUnit=promille\n") << "mnuLevelg100ml"
            << ""
            << "LevelUnit"
            << "g/100ml" << true;
        QTest::newRow("ratio 2300 kept")
            << QByteArray("[Settings]\nBreathRatio=2300\n") << "mnuRatio2300"
            << ""
            << "BreathRatio"
            << "2300" << false;
        QTest::newRow("another ratio") << QByteArray() << "mnuRatio2100"
                                       << "ratio 2150.5"
                                       << "BreathRatio"
                                       << "2150.5" << false;
        QTest::newRow("a ratio out of range is refused")
            << QByteArray("[Settings]\nBreathRatio=2000\n") << "mnuRatio2000"
            << "ratio 999"
            << "BreathRatio"
            << "2000" << true;
        QTest::newRow("a stored ratio out of range is named")
            << QByteArray("[Settings]\nBreathRatio=50\n") << "mnuRatio2100"
            << ""
            << "BreathRatio"
            << "2100" << true;
    }
    void unitsAreRemembered()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, loaded);
        QFETCH(QString, choose);
        QFETCH(QString, key);
        QFETCH(QString, saved);
        QFETCH(bool, message);
        if (!ini.isEmpty())
            writeIni(ini);
        const auto window = newWindow();
        window->MDIForm_Load();
        auto *checked = window->findChild<QAction *>(loaded);
        QVERIFY(checked && checked->isCheckable());
        QVERIFY(checked->isChecked());
        if (choose.startsWith(QLatin1String("ratio ")))
            window->setBreathRatioText(choose.mid(6));
        else if (!choose.isEmpty())
            window->findChild<QAction *>(choose)->trigger();
        QCOMPARE(messages.size(), message ? 1 : 0);
        if (message)
            QVERIFY2(messages.first().startsWith(QLatin1String("ERROR: ")),
                     qPrintable(messages[0]));
        // One item of each exclusive group is checked.
        for (const char *group : {"mnuUnits", "mnuLevel", "mnuRatio"}) {
            int count = 0;
            for (QAction *item : window->findChildren<QAction *>()) {
                count += item->objectName().startsWith(QLatin1String(group)) && item->isChecked();
            }
            QCOMPARE(count, 1);
        }
        showAndWait(window.get());
        menuCommand(window.get(), QStringLiteral("Exit"))->trigger();
        const QMap<QString, QString> stored = settingsInFile(iniPath());
        QCOMPARE(stored.keys(), sortedKeys()); // saved with the others, in one spelling
        QCOMPARE(stored.value(key), saved);
    }

    // After each calculation the first panel names the implausible values, or says "Status".
    void noticeInStatusBar_data()
    {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QList<QStringList>>("presses"); // height, weight, age[, proof]
        QTest::addColumn<QString>("notice");

        // 178 in at 160 lb is caught twice: by its height and by its dose.
        const QString height178 = QStringLiteral("Check 2 values: height 178 in is outside 48–90 "
                                                 "in; ethanol 1.22 g/kg is above 1.2 g/kg");
        QTest::newRow("plausible participant")
            << "mnuUnitsUS"
            << "C" << QList<QStringList>{{"70", "160", "25"}} << "Status";
        QTest::newRow("178 typed as inches")
            << "mnuUnitsUS"
            << "C" << QList<QStringList>{{"178", "160", "25"}} << height178;
        QTest::newRow("three values")
            << "mnuUnitsUS"
            << "C" << QList<QStringList>{{"178", "20", "15"}}
            << "Check 4 values: height 178 in is outside 48–90 in; weight 20 lb is outside "
               "70–500 lb; age 15 years is outside 18–100 years; ethanol 7.11 g/kg is above 1.2 "
               "g/kg";
        QTest::newRow("178 cm in metric")
            << "mnuUnitsMetric"
            << "C" << QList<QStringList>{{"178", "80", "25"}} << "Status";
        QTest::newRow("70 typed as centimetres") << "mnuUnitsMetric"
                                                 << "C" << QList<QStringList>{{"70", "160", "25"}}
                                                 << "Check: height 70 cm is outside 122–229 cm";
        QTest::newRow("a later calculation without notices restores Status")
            << "mnuUnitsUS"
            << "C" << QList<QStringList>{{"178", "160", "25"}, {"70", "160", "25"}} << "Status";
        QTest::newRow("a failed calculation leaves the notice")
            << "mnuUnitsUS"
            << "C" << QList<QStringList>{{"178", "160", "25"}, {"70", "160", "25", "0"}}
            << height178;
        QTest::newRow("regional decimal comma")
            << "mnuUnitsUS"
            << "de_DE" << QList<QStringList>{{"178,5", "160", "25"}}
            << "Check 2 values: height 178,5 in is outside 48–90 in; ethanol 1,22 g/kg is above "
               "1,2 g/kg";
    }
    void noticeInStatusBar()
    {
        QFETCH(QString, units);
        QFETCH(QString, locale);
        QFETCH(QList<QStringList>, presses);
        QFETCH(QString, notice);
        QLocale::setDefault(QLocale(locale));
        const auto window = newWindow();
        window->MDIForm_Load();
        window->findChild<QAction *>(units)->trigger();
        window->resize(1200, 300); // room for the longest notice
        showAndWait(window.get());
        QLabel *panel = panels(window.get()).first();

        QString shownWhileOpen;
        const bool opened = inInputWindow(window.get(), [&](QWidget *info) {
            const char *fields[] = {"txtHeight", "txtWeight", "txtAge", "txtProof"};
            for (const QStringList &press : presses) {
                for (int i = 0; i < press.size(); ++i) {
                    auto *field = info->findChild<QLineEdit *>(QLatin1String(fields[i]));
                    field->clear();
                    QTest::keyClicks(field, press[i]);
                }
                QTest::mouseClick(info->findChild<QRadioButton *>(QStringLiteral("optMale")),
                                  Qt::LeftButton);
                QTest::mouseClick(info->findChild<QPushButton *>(QStringLiteral("cmdCalcNow")),
                                  Qt::LeftButton);
            }
            shownWhileOpen = panel->text();
        });
        QVERIFY(opened);
        QCOMPARE(shownWhileOpen, notice); // at once, not only when the window closes
        QCOMPARE(panel->text(), notice);
        QCOMPARE(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name), notice);
        const auto errors = std::count_if(messages.cbegin(), messages.cend(), [](const QString &m) {
            return m.startsWith(QLatin1String("ERROR: "));
        });
        QCOMPARE(errors, presses.constLast().size() > 3 ? 1 : 0);

        // In a narrow window the panel shows the start of the notice, cut to fit; a screen
        // reader still hears all of it.
        window->resize(300, 300);
        QTRY_VERIFY(panel->width() < 200);
        const QString cut = panel->text();
        QVERIFY2(cut == notice ||
                     (cut.endsWith(QChar(0x2026)) && notice.startsWith(cut.chopped(1))),
                 qPrintable(cut));
        QVERIFY(panel->fontMetrics().horizontalAdvance(cut) <= panel->contentsRect().width());
        QCOMPARE(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name), notice);
    }

    void statusBarPanels_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("dateFormat");
        QTest::addColumn<QString>("timeFormat");
        QTest::newRow("US English") << "en_US"
                                    << "M/d/yy"
                                    << "h:mm AP";
        QTest::newRow("German") << "de_DE"
                                << "dd.MM.yy"
                                << "HH:mm";
        QTest::newRow("C, whose short time has seconds") << "C"
                                                         << "d MMM yyyy"
                                                         << "HH:mm";
    }
    void statusBarPanels()
    {
        QFETCH(QString, locale);
        QFETCH(QString, dateFormat);
        QFETCH(QString, timeFormat);
        QLocale::setDefault(QLocale(locale));
        const QLocale formats(locale);

        const QDateTime before = QDateTime::currentDateTime();
        const auto window = newWindow();
        const QDateTime after = QDateTime::currentDateTime();
        window->resize(500, 300);
        showAndWait(window.get());

        const QList<QLabel *> found = panels(window.get());
        QCOMPARE(found.size(), 3);
        QCOMPARE(found[0]->text(), QStringLiteral("Status"));
        QVERIFY2(found[1]->text() == formats.toString(before.date(), dateFormat) ||
                     found[1]->text() == formats.toString(after.date(), dateFormat),
                 qPrintable(found[1]->text()));
        QVERIFY2(found[2]->text() == formats.toString(before.time(), timeFormat) ||
                     found[2]->text() == formats.toString(after.time(), timeFormat),
                 qPrintable(found[2]->text()));

        QStatusBar *bar = window->statusBar();
        QCOMPARE(bar->objectName(), QStringLiteral("sbStatusBar"));
        QVERIFY(bar->height() >= 18); // 270 twips, or what the panels' text needs
        for (QLabel *panel : found) {
            QVERIFY(panel->width() >= 96); // 1440 twips
            QVERIFY(panel->geometry().bottom() < bar->height());
        }
        // The first panel takes what the date and time leave.
        const QList<int> widths = {found[0]->width(), found[1]->width(), found[2]->width()};
        window->resize(700, 300);
        QTRY_COMPARE(found[0]->width(), widths[0] + 200);
        QCOMPARE(found[1]->width(), widths[1]);
        QCOMPARE(found[2]->width(), widths[2]);
    }

    void clockWakesAtTheNextMinute_data()
    {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<int>("msecs");
        QTest::newRow("on the minute") << QTime(12, 0, 0, 0) << 60000;
        QTest::newRow("a millisecond before") << QTime(12, 0, 59, 999) << 1;
        QTest::newRow("half past") << QTime(8, 30, 30, 500) << 29500;
        QTest::newRow("last minute of the day") << QTime(23, 59, 45, 0) << 15000;
    }
    void clockWakesAtTheNextMinute()
    {
        QFETCH(QTime, now);
        QFETCH(int, msecs);
        QCOMPARE(frmMain::msecsToNextMinute(now), msecs);
    }

    void inputParametersOpensInfoWindowModally_data()
    {
        QTest::addColumn<float>("bal");
        QTest::addColumn<QString>("shown");
        QTest::newRow("loaded default") << 0.0f << "0.08";
        QTest::newRow("changed since the load") << 0.25f << "0.25";
    }
    void inputParametersOpensInfoWindowModally()
    {
        QFETCH(float, bal);
        QFETCH(QString, shown);
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        if (bal != 0)
            Module1::dosingState.BAL = bal;

        QPointer<QWidget> opened;
        QWidget *owner = nullptr;
        bool isInfoWindow = false;
        bool modal = false;
        QString balText;
        QTimer probe;
        int waited = 0;
        connect(&probe, &QTimer::timeout, this, [&] {
            QWidget *active = QApplication::activeModalWidget();
            if (active) {
                probe.stop();
                opened = active;
                owner = active->parentWidget();
                isInfoWindow = qobject_cast<frmInfo *>(active) != nullptr;
                modal = active->isModal();
                if (auto *field = active->findChild<QLineEdit *>(QStringLiteral("txtBAL")))
                    balText = field->text();
                active->close();
            } else if (++waited > 500) { // never hang the run on a missing window
                probe.stop();
                for (QDialog *dialog : window->findChildren<QDialog *>())
                    dialog->close();
            }
        });
        probe.start(10);
        menuCommand(window.get(), QStringLiteral("Input Parameters"))->trigger();
        QVERIFY2(!isInfoWindow, "the trigger must return before the modal window opens");

        QTRY_VERIFY2(isInfoWindow, "no input and output window opened");
        QCOMPARE(owner, window.get());
        QVERIFY(modal);
        QCOMPARE(balText, shown);
        QVERIFY(opened.isNull()); // destroyed on closing, so the next opening starts afresh
        QVERIFY(window->findChildren<frmInfo *>().isEmpty());
        QVERIFY(window->isVisible());
    }

    void sessionPlanWithoutADose()
    {
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        menuCommand(window.get(), QStringLiteral("&Session Plan"))->trigger();
        QTRY_COMPARE(messages, QStringList{"ERROR: Calculate a dose in Input Parameters first."});
        QVERIFY(window->findChildren<frmPlan *>().isEmpty());
    }

    // Not modal: the main window's menu stays usable while the session runs.
    void sessionPlanOpensForTheLastDose()
    {
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        Module1::run.lastDose = workedExampleInput();
        menuCommand(window.get(), QStringLiteral("&Session Plan"))->trigger();
        QVERIFY2(window->openSessions().isEmpty(), "the trigger must return before it opens");
        QTRY_COMPARE(window->openSessions().size(), 1);
        frmPlan *plan = window->openSessions().constFirst();
        QVERIFY(!plan->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(plan->parentWidget(), window.get());
        const QString peak = plan->findChild<QLabel *>(QStringLiteral("lblPeak"))->text();
        QVERIFY2(peak.startsWith(QLatin1String("Expected peak BAL: 0.0807 g/100 ml at ")),
                 qPrintable(peak));
        QVERIFY(plan->close());
        QTRY_VERIFY(window->findChildren<frmPlan *>().isEmpty()); // destroyed once closed
        QVERIFY(messages.isEmpty());
    }

    // Up to eight sessions at once, each with a session of its own; a ninth is refused. Closing
    // the main window asks first, naming them, and No keeps everything open.
    void severalSessionsAtOnce()
    {
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        Module1::run.lastDose = workedExampleInput();
        for (int i = 0; i < frmMain::MostSessions; ++i) {
            window->mnuPlan_Click();
            auto *code = window->openSessions().constLast()->findChild<QLineEdit *>(
                QStringLiteral("txtSessionCode"));
            code->setText(QStringLiteral("S%1").arg(i + 1));
        }
        const QList<frmPlan *> open = window->openSessions();
        QCOMPARE(open.size(), frmMain::MostSessions);
        QCOMPARE(QSet<const Session *>({&open[0]->session(), &open[7]->session()}).size(), 2);
        QVERIFY(messages.isEmpty());
        window->mnuPlan_Click();
        QCOMPARE(messages, QStringList{tooManySessionsMessage(frmMain::MostSessions)});
        QCOMPARE(window->openSessions().size(), frmMain::MostSessions);

        QStringList questions;
        QMessageBox::StandardButton answer = QMessageBox::No;
        OperatorMessage::setAnswer([&](const QString &text) {
            questions << text;
            return answer;
        });
        QVERIFY(!window->close());
        QCOMPARE(questions, QStringList{"8 sessions are open: S1, S2, S3, S4, S5, S6, S7, S8. "
                                        "Close them and exit?"});
        QCOMPARE(window->openSessions().size(), frmMain::MostSessions);
        answer = QMessageBox::Yes;
        QVERIFY(window->close());
        QVERIFY(window->openSessions().isEmpty());
    }

    // History opens beside the sessions, which go on; the Lab Day lists them, and a row chosen
    // brings its session to the front.
    void historyAndLabDayBesideTheSessions()
    {
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        Module1::run.lastDose = workedExampleInput();
        window->mnuPlan_Click();
        window->mnuPlan_Click();
        const QList<frmPlan *> open = window->openSessions();
        QCOMPARE(open.size(), 2);
        open[0]
            ->findChild<QLineEdit *>(QStringLiteral("txtSessionCode"))
            ->setText(QStringLiteral("P-017"));

        const QString record = temp->filePath(QStringLiteral("P-017-2026-03-02.csv"));
        QFile::copy(QStringLiteral(POURWISE_TEST_DATA "/v2-alcohol.csv"), record);
        window->showHistory(record);
        QTRY_VERIFY(window->findChild<frmHistory *>() != nullptr);
        auto *history = window->findChild<frmHistory *>();
        QVERIFY(history->isVisible() && !history->isModal());
        QCOMPARE(window->openSessions().size(), 2);

        // From any of the program's windows.
        QTest::keySequence(open[1], QKeySequence(QStringLiteral("Ctrl+L")));
        QTRY_VERIFY(window->findChild<frmLabDay *>() != nullptr);
        auto *labDay = window->findChild<frmLabDay *>();
        QVERIFY(labDay->isVisible() && !labDay->isModal());
        auto *rows = labDay->findChild<QTreeWidget *>(QStringLiteral("grdLabDay"));
        QCOMPARE(rows->topLevelItemCount(), 2);
        QCOMPARE(rows->topLevelItem(0)->text(0), QStringLiteral("P-017"));
        QCOMPARE(rows->topLevelItem(1)->text(0), QStringLiteral("(no code yet)"));
        labDay->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(labDay));
        rows->setCurrentItem(rows->topLevelItem(0));
        QTest::keyClick(rows, Qt::Key_Return);
        QTRY_COMPARE(QApplication::activeWindow(), open[0]);
        open[1]->close();
        QTRY_COMPARE(rows->topLevelItemCount(), 1);
        open[0]->close();
        QTRY_VERIFY(labDay->findChild<QLabel *>(QStringLiteral("lblNoSession"))->isVisible());
    }

    void studySummaryOpensFromTheRecordMenu()
    {
        const auto window = newWindow();
        window->MDIForm_Load();
        showAndWait(window.get());
        bool isStudy = false;
        QWidget *owner = nullptr;
        QVERIFY(
            inModalWindow(window.get(), QStringLiteral("S&tudy Summary..."), [&](QWidget *active) {
                isStudy = qobject_cast<frmStudy *>(active) != nullptr;
                owner = active->parentWidget();
            }));
        QVERIFY(isStudy);
        QCOMPARE(owner, window.get());
        QVERIFY(window->findChildren<frmStudy *>().isEmpty());
        QVERIFY(messages.isEmpty());
    }

    // The plan's choices are the run's: changed in the window, saved with the other keys at
    // Exit, and offered again by the next run.
    void sessionPlanChoicesSurviveARestart()
    {
        Module1::run.lastDose = workedExampleInput();
        {
            const auto first = newWindow();
            first->MDIForm_Load();
            showAndWait(first.get());
            QVERIFY(inSessionWindow(first.get(), [](QWidget *plan) {
                plan->findChild<QSpinBox *>(QStringLiteral("spnPortions"))->setValue(5);
                plan->findChild<QLineEdit *>(QStringLiteral("txtRelease"))
                    ->setText(QStringLiteral("0.05"));
            }));
            menuCommand(first.get(), QStringLiteral("Exit"))->trigger();
        }
        const QMap<QString, QString> stored = settingsInFile(iniPath());
        QCOMPARE(stored.value(QStringLiteral("Portions")), QStringLiteral("5"));
        QCOMPARE(stored.value(QStringLiteral("Release")), QStringLiteral("0.05"));

        const auto second = newWindow();
        second->MDIForm_Load();
        showAndWait(second.get());
        int portions = 0;
        QString release;
        QVERIFY(inSessionWindow(second.get(), [&](QWidget *plan) {
            portions = plan->findChild<QSpinBox *>(QStringLiteral("spnPortions"))->value();
            release = plan->findChild<QLineEdit *>(QStringLiteral("txtRelease"))->text();
        }));
        QCOMPARE(portions, 5);
        QCOMPARE(release, QStringLiteral("0.05"));
        QVERIFY(messages.isEmpty());
    }

    // A protocol sets the parameters, the unit of levels and the plan's choices; one that cannot
    // be used changes nothing. At the next start it is opened again, or named once and given up.
    void protocolAcrossRuns_data()
    {
        QTest::addColumn<QString>("before"); // what happens to its file before the next start
        QTest::addColumn<QString>("status"); // the first panel after the next start
        QTest::addColumn<float>("dd");       // the drinking period after the next start
        QTest::addColumn<int>("messages");   // at the next start
        QTest::newRow("kept: its values again") << "kept"
                                                << "Protocol: Arm A" << 15.0f << 0;
        QTest::newRow("damaged: the last values") << "damaged"
                                                  << "Status" << 20.0f << 1;
        QTest::newRow("removed: the last values") << "removed"
                                                  << "Status" << 20.0f << 1;
        QTest::newRow("given up before Exit") << "no protocol"
                                              << "Status" << 20.0f << 0;
    }
    void protocolAcrossRuns()
    {
        QFETCH(QString, before);
        QFETCH(QString, status);
        QFETCH(float, dd);
        QFETCH(int, messages);
        const QString path = temp->filePath(QStringLiteral("arm A.json"));
        const auto writeFile = [&](const QByteArray &bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        writeFile(R"({"name": "Arm A", "target": {"value": "0.4", "unit": "mg/L",
            "breathRatio": "2000"}, "drinkingPeriodMinutes": "15", "proof": "80",
            "mixerRatio": "3", "portions": "4", "releaseLevel": "0.1"})");
        const DosingState &s = Module1::dosingState;
        {
            const auto first = newWindow();
            first->MDIForm_Load();
            auto *menu = first->findChild<ProtocolMenu *>();
            const DosingState loaded = s;
            QVERIFY(!menu->openProtocol(folder() + QStringLiteral("/missing.json")));
            QCOMPARE(this->messages.size(), 1);
            QVERIFY2(this->messages[0].startsWith("ERROR: The protocol \""),
                     qPrintable(this->messages[0]));
            QCOMPARE(s.DD, loaded.DD);

            QVERIFY(menu->openProtocol(path));
            QCOMPARE(std::bit_cast<quint32>(s.BAL), std::bit_cast<quint32>(0.08f));
            QCOMPARE(QList<float>({s.DD, s.Proof, s.Ratio}), QList<float>({15, 80, 3}));
            QVERIFY(first->findChild<QAction *>(QStringLiteral("mnuLevelmgL"))->isChecked());
            QVERIFY(first->findChild<QAction *>(QStringLiteral("mnuRatio2000"))->isChecked());
            QCOMPARE(panels(first.get()).first()->text(), QStringLiteral("Protocol: Arm A"));
            Module1::dosingState.DD = 20; // the operator may still change a value
            if (before == QLatin1String("no protocol")) {
                menu->mnuProtocolNone_Click();
                QCOMPARE(panels(first.get()).first()->text(), QStringLiteral("Status"));
            }
            menuCommand(first.get(), QStringLiteral("Exit"))->trigger();
        }
        if (before == QLatin1String("damaged"))
            writeFile("{\"name\": \"Arm A\", ");
        else if (before == QLatin1String("removed"))
            QVERIFY(QFile::remove(path));

        this->messages.clear();
        for (int start = 0; start < 2; ++start) { // said once only
            Module1::run = RunValues{};           // a new run of the program
            const auto next = newWindow();
            next->MDIForm_Load();
            QCOMPARE(this->messages.size(), messages);
            QCOMPARE(panels(next.get()).first()->text(), status);
            QCOMPARE(s.DD, dd);
            menuCommand(next.get(), QStringLiteral("Exit"))->trigger();
        }
    }

    // Open Record... and History... start in the folder of the record last opened or saved,
    // which the settings keep (a folder, never a file's name) until the next run.
    void recordDialogsStartInTheLastFolder_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Open Record...") << "&Open Record...";
        QTest::newRow("History...") << "&History...";
    }
    void recordDialogsStartInTheLastFolder()
    {
        QFETCH(QString, command);
        const QString records = temp->filePath(QStringLiteral("records"));
        QVERIFY(QDir().mkpath(records));
        const QString record = records + QStringLiteral("/P-017-2026-03-02.csv");
        {
            const auto first = newWindow();
            first->MDIForm_Load();
            showAndWait(first.get());
            QString started;
            QVERIFY(inModalWindow(first.get(), command, [&](QWidget *dialog) {
                if (auto *files = qobject_cast<QFileDialog *>(dialog))
                    started = files->directory().absolutePath();
            }));
            QCOMPARE(started, QDir::homePath()); // nothing opened yet
            // A file that is no record: named, and its folder remembered all the same.
            QFile file(record);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a record\r\n");
            file.close();
            if (command == QLatin1String("&History..."))
                first->showHistory(record);
            else
                first->openRecord(record);
            QCOMPARE(messages.size(), 1);
            menuCommand(first.get(), QStringLiteral("Exit"))->trigger();
        }
        QCOMPARE(settingsInFile(iniPath()).value(QStringLiteral("RecordFolder")), records);

        const auto second = newWindow();
        second->MDIForm_Load();
        showAndWait(second.get());
        QString started;
        QVERIFY(inModalWindow(second.get(), command, [&](QWidget *dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(dialog))
                started = files->directory().absolutePath();
        }));
        QCOMPARE(started, records);
    }

    // Limits... on a protocol opened from a file asks first, since every site that uses the file
    // gets them; No leaves the file as it is.
    void limitsOfAProtocolFileAskedFirst_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("shown"); // the Protocol Limits window
        QTest::newRow("a protocol's file, Yes") << true << QMessageBox::Yes << true << true;
        QTest::newRow("a protocol's file, No") << true << QMessageBox::No << true << false;
        QTest::newRow("no protocol: not asked") << false << QMessageBox::No << false << true;
    }
    void limitsOfAProtocolFileAskedFirst()
    {
        QFETCH(bool, fromFile);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, asked);
        QFETCH(bool, shown);
        const auto window = newWindow();
        window->MDIForm_Load();
        auto *menu = window->findChild<ProtocolMenu *>();
        const QString path = temp->filePath(QStringLiteral("arm A.json"));
        Protocol arm;
        arm.name = QStringLiteral("Arm A");
        QVERIFY(writeProtocolFile(path, arm).isEmpty());
        if (fromFile)
            QVERIFY(menu->openProtocol(path));
        const QByteArray before = readFile(path);
        QStringList questions;
        OperatorMessage::setAnswer([&](const QString &text) {
            questions << text;
            return answer;
        });
        bool limitsShown = false;
        ModalDialog::setAnswer([&](QDialog &dialog) {
            limitsShown = qobject_cast<frmLimits *>(&dialog) != nullptr;
            return int(QDialog::Rejected);
        });
        menu->mnuProtocolLimits_Click();
        QCOMPARE(questions.size(), asked ? 1 : 0);
        if (asked)
            QCOMPARE(questions[0], QStringLiteral("Change the limits in %1? Every site that uses "
                                                  "this file will get them.")
                                       .arg(QDir::toNativeSeparators(path)));
        QCOMPARE(limitsShown, shown);
        QCOMPARE(readFile(path), before);
    }

    // Save Protocol As... keeps the lab's device of the protocol in use: the reading noise the
    // personal forecast takes is the lab's, not the dose's.
    void savedProtocolKeepsItsDeviceAndSchedule_data()
    {
        QTest::addColumn<LevelScale>("level");
        QTest::addColumn<float>("readingSd");
        QTest::newRow("blood") << LevelScale{} << 0.005f;
        QTest::newRow("breath, mg/L") << LevelScale{LevelUnit::MilligramsPerLitre, 2100} << 0.02f;
    }
    void savedProtocolKeepsItsDeviceAndSchedule()
    {
        QFETCH(LevelScale, level);
        QFETCH(float, readingSd);
        const auto window = newWindow();
        window->MDIForm_Load();
        auto *menu = window->findChild<ProtocolMenu *>();
        Protocol arm;
        arm.name = QStringLiteral("Arm A");
        arm.level = level;
        arm.target = level.shownLevel(0.08f);
        arm.releaseLevel = level.shownLevel(0.02f);
        arm.readingSd = readingSd;
        arm.schedule = {10, true};
        const QString path = temp->filePath(QStringLiteral("arm A.json"));
        QVERIFY(writeProtocolFile(path, arm).isEmpty());
        QVERIFY(menu->openProtocol(path));
        const QString copy = temp->filePath(QStringLiteral("arm B.json"));
        QVERIFY(menu->saveProtocolAs(copy, QStringLiteral("Arm B")));
        const Protocol saved = readProtocolFile(copy).protocol.value_or(Protocol{});
        QCOMPARE(saved.readingSd, std::optional(readingSd));
        QCOMPARE(saved.schedule, arm.schedule);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
