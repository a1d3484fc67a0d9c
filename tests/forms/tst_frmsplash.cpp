#include "appinfo/AppInfo.h"
#include "calc/dose/DosingState.h"
#include "forms/common/Twips.h"
#include "forms/main/Module1.h"
#include "forms/main/frmMain.h"
#include "forms/main/frmSplash.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestFrmSplash : public QObject {
    Q_OBJECT

private:
    QTemporaryDir configHome;

    template <typename T = QWidget> T *control(const char *name)
    {
        T *found = Module1::Splash->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString settingsFile() const { return configHome.filePath("Pourwise/Pourwise.ini"); }
    static int mainWindowCount()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return int(std::count_if(windows.begin(), windows.end(),
                                 [](QWidget *w) { return qobject_cast<frmMain *>(w) != nullptr; }));
    }
    static void processDeletions()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainClearsParticipantOnly();
    void layoutMatchesDesign_data();
    void layoutMatchesDesign();
    void windowHasNoTitleBarAndIsCentred();
    void beginOpensOneMainWindow();
    void keysLeadOnlyThroughBegin();
    void closingWithoutBeginEndsTheProgram();
};

void TestFrmSplash::initTestCase()
{
    // The settings store follows the user's configuration folder: keep it in a temporary one.
    QVERIFY(configHome.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
}

void TestFrmSplash::init()
{
    QLocale::setDefault(QLocale::c());
    QDir().mkpath(configHome.filePath("Pourwise"));
    QFile stored(settingsFile());
    QVERIFY(stored.open(QIODevice::WriteOnly));
    stored.write("[Settings]\nBAL=0.1\ndd=60\nProof=100\nRatio=4\n");
    stored.close();
    Module1::dosingState = DosingState{};
    Module1::dosingState.Height = 70;
    Module1::dosingState.Weight = 160;
    Module1::dosingState.Age = 25;
    Module1::dosingState.Gender = Gender::Male;
    Module1::dosingState.AlcDose = 68;
    Module1::Main();
    QVERIFY(QTest::qWaitForWindowExposed(Module1::Splash));
}

void TestFrmSplash::cleanup()
{
    delete Module1::Splash.data();
    delete Module1::MainWindow.data();
    processDeletions();
    QFile::remove(settingsFile());
}

void TestFrmSplash::mainClearsParticipantOnly()
{
    const DosingState &s = Module1::dosingState;
    QCOMPARE(s.Gender, Gender::NotSpecified);
    QCOMPARE(s.Height, 0.0f);
    QCOMPARE(s.Weight, 0.0f);
    QCOMPARE(s.Age, 0.0f);
    QCOMPARE(s.AlcDose, 68.0f); // results are left alone
    // The settings are not read before Begin: the parameters are still zero.
    QCOMPARE(s.BAL, 0.0f);
    QCOMPARE(s.DD, 0.0f);
    QCOMPARE(s.Proof, 0.0f);
    QCOMPARE(s.Ratio, 0.0f);
    QCOMPARE(mainWindowCount(), 0);
    QVERIFY(!Module1::MainWindow);
    QCOMPARE(control<QLabel>("lblVersion")->text(), QStringLiteral("Version 2.1.0"));
}

void TestFrmSplash::layoutMatchesDesign_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<double>("points");
    QTest::addColumn<QString>("text");
    QTest::newRow("lblAuthor") << "lblAuthor" << QRect(4320, 3000, 3375, 315) << 12.0
                               << QStringLiteral("code by ") +
                                      QString::fromUtf8(AppInfo::AuthorName);
    QTest::newRow("cmdBegin") << "cmdBegin" << QRect(6000, 3960, 1215, 495) << 12.0 << "Begin";
    QTest::newRow("Label1") << "Label1" << QRect(2700, 240, 4935, 615) << 24.0 << "Pour";
    QTest::newRow("Label2") << "Label2" << QRect(2700, 840, 2895, 735) << 24.0 << "wise";
    QTest::newRow("Label6") << "Label6" << QRect(4325, 3360, 3015, 495) << 12.0
                            << QString::fromUtf8(AppInfo::AuthorEmail);
}

void TestFrmSplash::layoutMatchesDesign()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(double, points);
    QFETCH(QString, text);
    QWidget *widget = control(name.toLatin1().constData());
    QCOMPARE(widget->parentWidget()->objectName(), QStringLiteral("fraMainFrame"));
    QCOMPARE(widget->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(widget->font().pointSizeF(), points);
    QVERIFY(widget->font().bold());
    const QString shown = qobject_cast<QLabel *>(widget)
                              ? qobject_cast<QLabel *>(widget)->text()
                              : qobject_cast<QPushButton *>(widget)->text();
    QCOMPARE(shown, text);
}

void TestFrmSplash::windowHasNoTitleBarAndIsCentred()
{
    frmSplash *splash = Module1::Splash;
    QCOMPARE(splash->windowTitle(), QString());
    QVERIFY(!(splash->windowFlags() & Qt::WindowTitleHint));
    QCOMPARE(splash->size(), QSize(521, 316));
    QCOMPARE(splash->minimumSize(), splash->maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offCentre = splash->frameGeometry().center() - screen.center();
    QVERIFY2(offCentre.manhattanLength() <= 4,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));

    auto *logo = control<QLabel>("picLogo");
    QCOMPARE(logo->pixmap().size(), QSize(150, 178));
    QCOMPARE(logo->geometry(), QRect(8, 16, 154, 182));
    QCOMPARE(control<QGroupBox>("fraMainFrame")->geometry(), Twips::rect(45, -15, 7740, 4710));
    // Labels that grow to fit: the platform line and the version line show their whole text.
    for (const char *name : {"lblPlatform", "lblVersion"}) {
        auto *label = control<QLabel>(name);
        QVERIFY(label->width() >= label->sizeHint().width());
        QCOMPARE(label->x(), 12);
    }
    QCOMPARE(control<QLabel>("lblPlatform")->text(), QStringLiteral("Windows 95"));
    QVERIFY(!control<QPushButton>("cmdBegin")->isDefault());
    QVERIFY(!control<QPushButton>("cmdBegin")->autoDefault());
}

void TestFrmSplash::beginOpensOneMainWindow()
{
    QPointer<frmSplash> splash = Module1::Splash;
    QSignalSpy lastWindow(qApp, &QGuiApplication::lastWindowClosed);
    QTest::mouseClick(control("cmdBegin"), Qt::LeftButton);
    processDeletions();

    QVERIFY(!splash);
    QCOMPARE(mainWindowCount(), 1);
    QVERIFY(Module1::MainWindow);
    QVERIFY(Module1::MainWindow->isVisible());
    QCOMPARE(lastWindow.count(), 0); // the program goes on in its main window
    QVERIFY(QApplication::quitOnLastWindowClosed());
    // The main window's load step has read the stored parameters.
    const DosingState &s = Module1::dosingState;
    QCOMPARE(s.BAL, 0.1f);
    QCOMPARE(s.DD, 60.0f);
    QCOMPARE(s.Proof, 100.0f);
    QCOMPARE(s.Ratio, 4.0f);
}

void TestFrmSplash::keysLeadOnlyThroughBegin()
{
    QPointer<frmSplash> splash = Module1::Splash;
    QTest::keyClick(splash, Qt::Key_Escape);
    QTest::keyClick(splash, Qt::Key_Return);
    processDeletions();
    QVERIFY(splash && splash->isVisible());
    QCOMPARE(mainWindowCount(), 0);

    control("cmdBegin")->setFocus();
    QTest::keyClick(control("cmdBegin"), Qt::Key_Return);
    processDeletions();
    QVERIFY(!splash);
    QCOMPARE(mainWindowCount(), 1);
}

void TestFrmSplash::closingWithoutBeginEndsTheProgram()
{
    // Run the program's event loop as it would be, close the splash as a system close command
    // does, and see the loop end by itself (the backstop timer would end it with status 2).
    QPointer<frmSplash> splash = Module1::Splash;
    QSignalSpy lastWindow(qApp, &QGuiApplication::lastWindowClosed);
    QTimer::singleShot(0, splash, [splash] { splash->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(2); });
    QCOMPARE(QApplication::exec(), 0);
    processDeletions();
    QVERIFY(!splash);
    QCOMPARE(lastWindow.count(), 1);
    QCOMPARE(mainWindowCount(), 0);
    QCOMPARE(Module1::dosingState.BAL, 0.0f);
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
