#include "forms/common/OperatorMessage.h"
#include "forms/common/Twips.h"
#include "forms/main/frmAbout.h"
#include "sysinfo/SysInfoLauncher.h"

#include "forms/common/LineShape.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// A machine without the tool: every key is missing. Counts the searches.
class MachineWithoutTool : public SysInfoPlatform {
public:
    explicit MachineWithoutTool(int &opens, std::function<void(const std::string &)> show)
        : m_opens(opens), m_show(std::move(show))
    {
    }
    std::int32_t openKey(std::uint32_t, const std::string &, std::uint32_t, std::uint32_t,
                         KeyHandle &) override
    {
        ++m_opens;
        return 2; // not found
    }
    std::int32_t queryValue(KeyHandle, const std::string &, std::uint32_t &, char *,
                            std::uint32_t &) override
    {
        return 2;
    }
    void closeKey(KeyHandle) override {}
    std::string findFile(const std::string &) override { return {}; }
    void startProgram(const std::string &) override { throw std::runtime_error("no program"); }
    void showMessage(const std::string &text) override { m_show(text); }

private:
    int &m_opens;
    std::function<void(const std::string &)> m_show;
};

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmAbout> form;
    QStringList messages;
    int keyOpens = 0;

    template <typename T = QWidget> T *control(const char *name)
    {
        T *found = form->findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString text(const char *name) { return control<QLabel>(name)->text(); }

private slots:
    void init();
    void cleanup();
    void layoutMatchesDesign_data();
    void layoutMatchesDesign();
    void windowIsAFixedDialog();
    void loadSetsCaptions();
    void descriptionWrapsInsideItsBox();
    void ruleIsTwoLines();
    void closes_data();
    void closes();
    void closesFromRealModalLoop();
    void sysInfoWithoutToolShowsMessageAndStaysOpen();
};

void TestFrmAbout::init()
{
    messages.clear();
    keyOpens = 0;
    OperatorMessage::setCapture([this](const QString &t) { messages << t; });
    form = std::make_unique<frmAbout>();
    form->setPlatformFactory([this](std::function<void(const std::string &)> show) {
        return std::make_unique<MachineWithoutTool>(keyOpens, std::move(show));
    });
    form->Form_Load();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestFrmAbout::cleanup()
{
    form.reset();
    OperatorMessage::setCapture({});
}

void TestFrmAbout::layoutMatchesDesign_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("bold");
    QTest::newRow("cmdOK") << "cmdOK" << QRect(4245, 2625, 1260, 345) << false;
    QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(4260, 3075, 1245, 345) << false;
    QTest::newRow("Label2") << "Label2" << QRect(240, 3000, 3135, 255) << true;
    QTest::newRow("Label1") << "Label1" << QRect(240, 2760, 3135, 255) << true;
    QTest::newRow("lblEmail") << "lblEmail" << QRect(240, 3240, 2415, 345) << true;
    QTest::newRow("lblAuthor") << "lblAuthor" << QRect(240, 2520, 2670, 315) << true;
    QTest::newRow("lblDescription") << "lblDescription" << QRect(1050, 1125, 3885, 690) << false;
    QTest::newRow("lblTitle") << "lblTitle" << QRect(1050, 240, 3885, 480) << true;
    QTest::newRow("lblVersion") << "lblVersion" << QRect(1050, 780, 3885, 225) << false;
}

void TestFrmAbout::layoutMatchesDesign()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(bool, bold);
    QWidget *widget = control(name.toLatin1().constData());
    QCOMPARE(widget->parentWidget(), form.get());
    QCOMPARE(widget->geometry(), Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(widget->font().bold(), bold);
    QCOMPARE(widget->font().pointSizeF(), 8.25);
    if (bold) // the author's credit and the title are black whatever the theme
        QCOMPARE(widget->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void TestFrmAbout::windowIsAFixedDialog()
{
    QCOMPARE(form->windowTitle(), QStringLiteral("About Pourwise"));
    QCOMPARE(form->size(), QSize(377, 242));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY(!(form->windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(form->windowFlags() & Qt::WindowCloseButtonHint);
    auto *ok = control<QPushButton>("cmdOK");
    QVERIFY(ok->isDefault());
    QCOMPARE(control<QPushButton>("cmdSysInfo")->text(), QStringLiteral("&System Info..."));
    QCOMPARE(QApplication::focusWidget(), ok);
    auto *icon = control<QLabel>("picIcon");
    QCOMPARE(icon->geometry(), QRect(16, 16, 36, 36));
    QCOMPARE(icon->palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(icon->focusPolicy() & Qt::TabFocus);
    QVERIFY(!icon->pixmap().isNull());
}

void TestFrmAbout::loadSetsCaptions()
{
    QCOMPARE(text("lblVersion"), QStringLiteral("Version 2.1.0"));
    QCOMPARE(text("lblTitle"), QStringLiteral("Pourwise"));
    QCOMPARE(
        text("lblDescription"),
        QStringLiteral(
            "Estimates alcohol dose necessary to produce target BAL in research participants."));
    // A new window starts again from its definition until its load step runs.
    frmAbout fresh;
    QCOMPARE(fresh.findChild<QLabel *>("lblVersion")->text(), QStringLiteral("Version"));
    QCOMPARE(fresh.findChild<QLabel *>("lblTitle")->text(), QStringLiteral("Application Title"));
    QCOMPARE(fresh.findChild<QLabel *>("lblDescription")->text(),
             QStringLiteral("App Description"));
}

void TestFrmAbout::descriptionWrapsInsideItsBox()
{
    auto *description = control<QLabel>("lblDescription");
    QVERIFY(description->wordWrap());
    const int needed = description->heightForWidth(description->width());
    QVERIFY2(needed > description->fontMetrics().height(), "the description should wrap");
    QVERIFY2(needed <= description->height(), "the wrapped description must fit its box");
}

void TestFrmAbout::ruleIsTwoLines()
{
    const auto lines = form->findChildren<LineShape *>(QStringLiteral("Line1"));
    QCOMPARE(lines.size(), 2);
    for (LineShape *line : lines) {
        const int index = line->property("index").toInt();
        QCOMPARE(line->line().y1(), 160);
        QCOMPARE(line->line().y2(), 160);
        QCOMPARE(line->line().x2(), 363);
        QCOMPARE(line->colour(), index == 1 ? QColor(128, 128, 128) : QColor(255, 255, 255));
        QCOMPARE(line->penWidth(), index == 1 ? 1 : 2);
        QCOMPARE(line->line().x1(), index == 1 ? 15 : 16);
    }
    // Defined grey first, so the white line is painted over it.
    QCOMPARE(lines[0]->property("index").toInt(), 1);
}

void TestFrmAbout::closes_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("OK clicked") << "click";
    QTest::newRow("Enter on OK") << "enter-ok";
    QTest::newRow("Enter on the picture") << "enter-picture";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("close box") << "close";
}

void TestFrmAbout::closes()
{
    QFETCH(QString, how);
    if (how == QLatin1String("click")) {
        QTest::mouseClick(control("cmdOK"), Qt::LeftButton);
    } else if (how.startsWith(QLatin1String("enter"))) {
        QWidget *target = control(how == QLatin1String("enter-ok") ? "cmdOK" : "picIcon");
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
    } else if (how == QLatin1String("escape")) {
        QTest::keyClick(form.get(), Qt::Key_Escape);
    } else {
        form->close();
    }
    QVERIFY(!form->isVisible());
    QVERIFY(messages.isEmpty());
    QCOMPARE(keyOpens, 0);
}

void TestFrmAbout::closesFromRealModalLoop()
{
    form->hide();
    bool pressed = false;
    QTimer::singleShot(0, this, [&] {
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        pressed = true;
    });
    form->exec();
    QVERIFY(pressed);
    QVERIFY(!form->isVisible());
}

void TestFrmAbout::sysInfoWithoutToolShowsMessageAndStaysOpen()
{
    QTest::mouseClick(control("cmdSysInfo"), Qt::LeftButton);
    QCOMPARE(messages, QStringList{"System Information Is Unavailable At This Time"});
    QVERIFY(form->isVisible());
    const int firstSearch = keyOpens;
    QVERIFY(firstSearch > 0);

    // S is its access key; pressed again, the search runs again from the start.
    auto *sysInfo = control<QPushButton>("cmdSysInfo");
    QCOMPARE(sysInfo->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));
    sysInfo->animateClick();
    QTRY_COMPARE(messages.size(), 2);
    QCOMPARE(keyOpens, 2 * firstSearch);
    QVERIFY(form->isVisible());
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
