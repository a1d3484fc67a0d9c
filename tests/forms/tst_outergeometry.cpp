#include "forms/common/OuterGeometry.h"

#include <QTest>

// The main window's placement rules, without a window system.
class TestOuterGeometry : public QObject {
    Q_OBJECT

private slots:
    void reachable_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("placed");
        // Screens: a 1280x1024 one with a 1920x1080 one on its right.
        QTest::newRow("on a screen") << QRect(100, 100, 433, 433) << QRect(100, 100, 433, 433);
        QTest::newRow("across both screens, top on one")
            << QRect(1100, 50, 433, 433) << QRect(1100, 50, 433, 433);
        QTest::newRow("half below the bottom edge")
            << QRect(100, 808, 433, 432) << QRect(100, 808, 433, 432);
        QTest::newRow("title bar above the screen")
            << QRect(100, -10, 433, 433) << QRect(100, 0, 433, 433);
        QTest::newRow("far right and above")
            << QRect(13333, -6000, 433, 433) << QRect(2767, 0, 433, 433);
        QTest::newRow("far left and below")
            << QRect(-30000, 30000, 433, 433) << QRect(0, 808, 433, 433);
        QTest::newRow("mostly off the left edge")
            << QRect(-300, 200, 433, 433) << QRect(0, 200, 433, 433);
        QTest::newRow("in the gap below the smaller screen")
            << QRect(400, 1100, 400, 300) << QRect(400, 874, 400, 300);
        QTest::newRow("larger than any screen, centre on the right one")
            << QRect(-50, -50, 3000, 2000) << QRect(1280, 0, 3000, 2000);
    }
    void reachable()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, placed);
        const QRect screens[] = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
        QCOMPARE(OuterGeometry::reachable(stored, screens), placed);
    }

    void twipsToPixels_data()
    {
        QTest::addColumn<QList<float>>("twips");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("defaults") << QList<float>{1000, 1000, 6500, 6500}
                                  << QRect(67, 67, 433, 433);
        QTest::newRow("beyond 16 bits")
            << QList<float>{1e30f, -1e30f, 9e9f, 100} << QRect(32000, -32000, 32000, 7);
        QTest::newRow("negative size") << QList<float>{0, 0, -50, -15} << QRect(0, 0, 0, 0);
    }
    void twipsToPixels()
    {
        QFETCH(QList<float>, twips);
        QFETCH(QRect, pixels);
        QCOMPARE(OuterGeometry::fromTwips(std::span<const float, 4>(twips.constData(), 4)), pixels);
    }

    void settle_data()
    {
        QTest::addColumn<QRect>("client");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<bool>("normal");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("settling");
        using S = OuterGeometry::Settling;
        // Put at (100, 50) with the outer size 400x300 before the frame was known.
        QTest::newRow("frame not known yet")
            << QRect(100, 50, 400, 300) << QMargins() << true << true << int(S::Wait);
        QTest::newRow("framed where it was put")
            << QRect(100, 50, 400, 300) << QMargins(1, 20, 1, 1) << true << true << int(S::Done);
        QTest::newRow("framed, pushed by the frame")
            << QRect(101, 70, 400, 300) << QMargins(1, 20, 1, 1) << true << true << int(S::Done);
        QTest::newRow("framed, not shown yet")
            << QRect(100, 50, 400, 300) << QMargins(1, 20, 1, 1) << true << false << int(S::Wait);
        QTest::newRow("moved by the operator")
            << QRect(300, 50, 400, 300) << QMargins(1, 20, 1, 1) << true << true << int(S::Forget);
        QTest::newRow("resized") << QRect(100, 50, 500, 300) << QMargins() << true << true
                                 << int(S::Forget);
        QTest::newRow("maximised")
            << QRect(100, 50, 400, 300) << QMargins() << false << true << int(S::Forget);
    }
    void settle()
    {
        QFETCH(QRect, client);
        QFETCH(QMargins, frame);
        QFETCH(bool, normal);
        QFETCH(bool, visible);
        QFETCH(int, settling);
        QCOMPARE(
            int(OuterGeometry::settle(QRect(100, 50, 400, 300), client, frame, normal, visible)),
            settling);
    }
};

QTEST_GUILESS_MAIN(TestOuterGeometry)
#include "tst_outergeometry.moc"
