#include "forms/common/Controls.h"
#include "forms/main/Module1.h"
#include "forms/main/frmAbout.h"
#include "forms/main/frmHistory.h"
#include "forms/main/frmInfo.h"
#include "forms/main/frmLimits.h"
#include "forms/main/frmMain.h"
#include "forms/main/frmSplash.h"
#include "forms/session/frmChange.h"
#include "forms/session/frmInitials.h"
#include "forms/session/frmLabDay.h"
#include "forms/session/frmPlan.h"
#include "forms/study/frmStudy.h"
#include "settings/SettingsStore.h"
#include "tests/support/SessionSupport.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <functional>
#include <memory>

// What an operator and a screen reader meet on each window: every control that is shown is
// announced by a name, and every caption can be read whole with the fonts actually used.
class TestAccessibility : public QObject {
    Q_OBJECT

private:
    QTemporaryDir settingsFolder;
    SessionPlanSettings planSettings;
    std::unique_ptr<frmPlan> labDaySession; // the session the Lab Day lists

    std::unique_ptr<QWidget> openWindow(const QString &window);
    static void addWindowRows();

    static void collectUnnamed(QAccessibleInterface *node, const QString &path,
                               QStringList &unnamed)
    {
        // A part Qt adds of its own that takes no room on the screen is not shown: a table's
        // corner, beside row headers that are hidden.
        if (!node || node->state().invisible || (!node->object() && node->rect().isEmpty()))
            return;
        const QString name = node->text(QAccessible::Name);
        const QString here =
            path + QLatin1Char('/') + (node->object() ? node->object()->objectName() : QString()) +
            QLatin1Char('(') + QString::number(int(node->role()), 16) + QLatin1Char(')');
        if (name.trimmed().isEmpty())
            unnamed << here;
        for (int i = 0; i < node->childCount(); ++i)
            collectUnnamed(node->child(i), here, unnamed);
    }

    // The names that still hold an access key's "&": one before anything but a blank, once each
    // "&&" is read as the one "&" it shows ("User Input & Output" is a name as it should be).
    static void collectAmpersands(QAccessibleInterface *node, QStringList &found)
    {
        if (!node)
            return;
        static const QRegularExpression accessKey(QStringLiteral("&[^&\\s]"));
        const QString name = node->text(QAccessible::Name);
        if (QString(name).remove(QStringLiteral("&&")).contains(accessKey))
            found << name;
        for (int i = 0; i < node->childCount(); ++i)
            collectAmpersands(node->child(i), found);
    }

private slots:
    void everyShownControlHasAName_data();
    void everyShownControlHasAName();
    void everyCaptionFits_data() { addWindowRows(); }
    void everyCaptionFits();
    void framesAreNamedByTheirCaptions();
    void noNameHoldsAnAccessKey_data() { addWindowRows(); }
    void noNameHoldsAnAccessKey();
    void noFieldTurnsByTheWheelWithoutTheFocus_data() { addWindowRows(); }
    void alarmTextReads_data();
    void alarmTextReads();
    void noFieldTurnsByTheWheelWithoutTheFocus();
};

void TestAccessibility::framesAreNamedByTheirCaptions()
{
    frmInfo form(Module1::dosingState, Module1::run);
    form.show();
    const QStringList expected = {"Participant Characteristics", "Gender", "Other Information",
                                  "Dosing Results"};
    QStringList names;
    for (const char *frame : {"Frame1", "Frame2", "Frame3", "Frame4"})
        names << QAccessible::queryAccessibleInterface(form.findChild<QWidget *>(frame))
                     ->text(QAccessible::Name);
    QCOMPARE(names, expected);
}

void TestAccessibility::addWindowRows()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("input and output") << "frmInfo";
    QTest::newRow("input and output, metric") << "frmInfoMetric";
    QTest::newRow("about") << "frmAbout";
    QTest::newRow("splash") << "frmSplash";
    QTest::newRow("main") << "frmMain";
    QTest::newRow("session plan") << "frmPlan";
    QTest::newRow("session plan, readings") << "frmPlan/tabReadings";
    QTest::newRow("session plan, booster") << "frmPlan/tabBooster";
    QTest::newRow("protocol limits") << "frmLimits";
    QTest::newRow("operator's initials") << "frmInitials";
    QTest::newRow("operator's initials and session code") << "frmInitials/code";
    QTest::newRow("correct entry") << "frmChange";
    QTest::newRow("session history") << "frmHistory";
    QTest::newRow("lab day") << "frmLabDay";
    QTest::newRow("study summary") << "frmStudy";
}

void TestAccessibility::everyShownControlHasAName_data()
{
    addWindowRows();
}

// The window loaded and shown as the program shows it.
std::unique_ptr<QWidget> TestAccessibility::openWindow(const QString &window)
{
    std::unique_ptr<QWidget> form;
    if (window.startsWith(QLatin1String("frmInfo"))) {
        const BodyUnits units = window.endsWith(QLatin1String("Metric"))
                                    ? BodyUnits::CentimetresKilograms
                                    : BodyUnits::InchesPounds;
        auto *info = new frmInfo(Module1::dosingState, Module1::run, {units});
        info->Form_Load();
        form.reset(info);
    } else if (window == QLatin1String("frmAbout")) {
        auto *about = new frmAbout;
        about->Form_Load();
        form.reset(about);
    } else if (window == QLatin1String("frmSplash")) {
        auto *splash = new frmSplash;
        splash->setAttribute(Qt::WA_DeleteOnClose, false);
        splash->Form_Load();
        form.reset(splash);
    } else if (window.startsWith(QLatin1String("frmPlan"))) {
        form = std::make_unique<frmPlan>(workedExampleInput(), planSettings);
        // "frmPlan/<page>": with that tab shown.
        if (window.contains(QLatin1Char('/'))) {
            auto *tabs = form->findChild<QTabWidget *>(QStringLiteral("tabSession"));
            auto *page = tabs->findChild<QWidget *>(window.section(QLatin1Char('/'), 1));
            if (!page)
                return nullptr;
            tabs->setCurrentWidget(page);
        }
    } else if (window.startsWith(QLatin1String("frmInitials"))) {
        auto initials = std::make_unique<frmInitials>();
        if (window.endsWith(QLatin1String("/code"))) // a new session's first entry
            initials->askSessionCode(QString(), QString());
        form = std::move(initials);
    } else if (window == QLatin1String("frmChange")) {
        form = std::make_unique<frmChange>(
            frmChange::Kind::Correct, 5, QStringLiteral("the reading 0.06 g/100 ml at 15:10"),
            QList<ChangeField>{
                {"tmeChangeTime", QStringLiteral("&Time:"), QTime(15, 10)},
                {"txtChangeLevel", QStringLiteral("&Level (g/100 ml):"), std::nullopt, 0.06f}},
            [](const frmChange &) { return false; });
    } else if (window == QLatin1String("frmHistory")) {
        auto session = SessionSupport::workedSession();
        session->addReading(70, 0.6f, SessionSupport::at(80));
        EntryValues corrected;
        corrected.atMinute = 70;
        corrected.level = 0.06f;
        session->correct(5, corrected, QStringLiteral("mistyped value"), SessionSupport::at(80));
        form = std::make_unique<frmHistory>(session->record(), QStringLiteral("P-017.csv"));
    } else if (window == QLatin1String("frmLabDay")) {
        labDaySession = std::make_unique<frmPlan>(workedExampleInput(), planSettings);
        form =
            std::make_unique<frmLabDay>([this] { return QList<frmPlan *>{labDaySession.get()}; });
    } else if (window == QLatin1String("frmLimits")) {
        form = std::make_unique<frmLimits>(ProtocolLimits{}, LevelScale{}, QString());
    } else if (window == QLatin1String("frmStudy")) {
        auto *study = new frmStudy;
        form.reset(study);
        QSignalSpy ready(study, &frmStudy::summaryReady);
        study->summarise({QStringLiteral(POURWISE_TEST_DATA)});
        if (!ready.wait(20000))
            return nullptr;
    } else {
        form = std::make_unique<frmMain>(Module1::dosingState, Module1::run,
                                         SettingsStore(settingsFolder.path()));
    }
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        return nullptr;
    return form;
}

void TestAccessibility::everyCaptionFits()
{
    QFETCH(QString, window);
    const std::unique_ptr<QWidget> form = openWindow(window);
    QVERIFY(form);

    QStringList clipped;
    for (const QLabel *label : form->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(form.get()) || label->text().isEmpty())
            continue;
        const QRect room = label->contentsRect();
        const QFontMetrics metrics(label->font());
        const QSize needed = label->wordWrap()
                                 ? QSize(room.width(), label->heightForWidth(room.width()))
                                 : metrics.size(Qt::TextShowMnemonic, label->text());
        if (needed.width() > room.width() || needed.height() > room.height())
            clipped << QStringLiteral("%1 \"%2\": needs %3x%4, has %5x%6")
                           .arg(label->objectName(), label->text())
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

void TestAccessibility::everyShownControlHasAName()
{
    QFETCH(QString, window);
    const std::unique_ptr<QWidget> form = openWindow(window);
    QVERIFY(form);

    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(form.get()), QString(), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
}

// Screen readers say a caption's access key themselves; the "&" that marks it is not read out.
void TestAccessibility::noNameHoldsAnAccessKey()
{
    QFETCH(QString, window);
    const std::unique_ptr<QWidget> form = openWindow(window);
    QVERIFY(form);

    QStringList found;
    collectAmpersands(QAccessible::queryAccessibleInterface(form.get()), found);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

// A wheel turned over a spin box or time field that does not have the focus leaves its value: the
// operator scrolling a window changes nothing on the way.
void TestAccessibility::noFieldTurnsByTheWheelWithoutTheFocus()
{
    QFETCH(QString, window);
    const std::unique_ptr<QWidget> form = openWindow(window);
    QVERIFY(form);

    QStringList turned;
    for (QAbstractSpinBox *field : form->findChildren<QAbstractSpinBox *>()) {
        field->clearFocus();
        const QString before = field->text();
        const QPointF centre = field->rect().center();
        QWheelEvent wheel(centre, field->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(field, &wheel);
        if (field->text() != before)
            turned << field->objectName();
    }
    QVERIFY2(turned.isEmpty(), qPrintable(turned.join(QStringLiteral(", "))));
}

void TestAccessibility::alarmTextReads_data()
{
    QTest::addColumn<QColor>("window");
    QTest::newRow("light") << QColor(0xf0, 0xf0, 0xf0);
    QTest::newRow("white") << QColor(Qt::white);
    QTest::newRow("dark") << QColor(0x2b, 0x2b, 0x2b);
    QTest::newRow("black") << QColor(Qt::black);
}

// What is wrong is said in red that reads on the window's own background, light or dark: a
// contrast of at least 4.5 to 1, as for body text.
void TestAccessibility::alarmTextReads()
{
    QFETCH(QColor, window);
    const auto luminance = [](const QColor &colour) {
        const auto channel = [](double value) {
            return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
               0.0722 * channel(colour.blueF());
    };
    const double a = luminance(Controls::alarmColour(window));
    const double b = luminance(window);
    const double contrast = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
