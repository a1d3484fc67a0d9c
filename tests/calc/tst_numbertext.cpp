#include "NumberText.h"

#include <QTest>

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void placeholder() { QCOMPARE(SingleToText(0.08f, QLocale::c()), QStringLiteral("0.08")); }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
