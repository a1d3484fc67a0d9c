#include "forms/Module1.h"
#include "forms/frmAbout.h"
#include "forms/frmInfo.h"
#include "forms/frmMain.h"
#include "forms/frmSplash.h"
#include "settings/SettingsStore.h"

#include <QAccessible>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

// What a screen reader meets: every control that is shown must be announced by a name.
class TestAccessibility : public QObject {
    Q_OBJECT

private:
    QTemporaryDir settingsFolder;

    static void collectUnnamed(QAccessibleInterface *node, const QString &path,
                               QStringList &unnamed)
    {
        if (!node || node->state().invisible)
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

private slots:
    void everyShownControlHasAName_data();
    void everyShownControlHasAName();
    void framesAreNamedByTheirCaptions();
};

void TestAccessibility::framesAreNamedByTheirCaptions()
{
    frmInfo form(Module1::dosingState, Module1::bodyInCm);
    form.show();
    const QStringList expected = {"Participant Characteristics", "Gender", "Other Information",
                                  "Dosing Results"};
    QStringList names;
    for (const char *frame : {"Frame1", "Frame2", "Frame3", "Frame4"})
        names << QAccessible::queryAccessibleInterface(form.findChild<QWidget *>(frame))
                     ->text(QAccessible::Name);
    QCOMPARE(names, expected);
}

void TestAccessibility::everyShownControlHasAName_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("input and output") << "frmInfo";
    QTest::newRow("input and output, metric") << "frmInfoMetric";
    QTest::newRow("about") << "frmAbout";
    QTest::newRow("splash") << "frmSplash";
    QTest::newRow("main") << "frmMain";
}

void TestAccessibility::everyShownControlHasAName()
{
    QFETCH(QString, window);
    std::unique_ptr<QWidget> form;
    if (window.startsWith(QLatin1String("frmInfo"))) {
        const BodyUnits units = window.endsWith(QLatin1String("Metric"))
                                    ? BodyUnits::CentimetresKilograms
                                    : BodyUnits::InchesPounds;
        auto *info = new frmInfo(Module1::dosingState, Module1::bodyInCm, units);
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
    } else {
        form = std::make_unique<frmMain>(Module1::dosingState, Module1::bodyInCm,
                                         SettingsStore(settingsFolder.path()));
    }
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));

    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(form.get()), QString(), unnamed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
