#include "calc/dose/ControlCharacters.h"

#include <QTest>

// Which characters are control characters, refused in what the operator names and writes, and
// how a message quoting text from a file shows them: escaped, so that none reaches a terminal.
class TestControlCharacters : public QObject {
    Q_OBJECT

private slots:
    void characters_data();
    void characters();
    void fileText_data();
    void fileText();
};

void TestControlCharacters::characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("escaped");

    QTest::newRow("plain") << "Arm A, site 2" << false << "Arm A, site 2";
    QTest::newRow("NUL") << QString(QChar(0)) << true << "\\x00";
    QTest::newRow("a tab") << "a\tb" << true << "a\\x09b";
    QTest::newRow("CR LF") << "a\r\nb" << true << "a\\x0d\\x0ab";
    QTest::newRow("the last of C0") << "\x1f" << true << "\\x1f";
    QTest::newRow("a space, the first that is none") << " " << false << " ";
    QTest::newRow("ESC and a screen's command") << "\x1b[2J" << true << "\\x1b[2J";
    QTest::newRow("DEL") << "\x7f" << true << "\\x7f";
    QTest::newRow("C1's NEL") << QString(QChar(0x85)) << true << "\\x85";
    QTest::newRow("C1's CSI") << QString(QChar(0x9b)) << true << "\\x9b";
    QTest::newRow("a no-break space, the first after C1")
        << QString(QChar(0xa0)) << false << QString(QChar(0xa0));
    QTest::newRow("the line separator") << QString(QChar(0x2028)) << true << "\\u2028";
    QTest::newRow("the paragraph separator") << QString(QChar(0x2029)) << true << "\\u2029";
    QTest::newRow("letters of other scripts, a dash")
        << QStringLiteral("\u00e9t\u00e9 \u2013 \u6599") << false
        << QStringLiteral("\u00e9t\u00e9 \u2013 \u6599");
    QTest::newRow("a letter beyond the first 65536")
        << QStringLiteral("\U0001D400") << false << QStringLiteral("\U0001D400");
    QTest::newRow("a backslash, left as it is") << "C:\\x1b" << false << "C:\\x1b";
}

void TestControlCharacters::characters()
{
    QFETCH(QString, text);
    QFETCH(bool, held);
    QFETCH(QString, escaped);
    QCOMPARE(holdsControlCharacter(text), held);
    QCOMPARE(escapedControlCharacters(text), escaped);
    QVERIFY(!holdsControlCharacter(escapedControlCharacters(text)));
}

void TestControlCharacters::fileText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");

    QTest::newRow("UTF-8") << QByteArray("\xc3\xa9t\xc3\xa9") << QStringLiteral("\u00e9t\u00e9");
    QTest::newRow("a title set by an escape")
        << QByteArray("\x1b]0;owned\x07") << "\\x1b]0;owned\\x07";
    QTest::newRow("C1's CSI in UTF-8") << QByteArray("\xc2\x9b"
                                                     "31m")
                                       << "\\x9b31m";
    QTest::newRow("a byte that is no UTF-8") << QByteArray("a\xff") << QStringLiteral("a\ufffd");
}

void TestControlCharacters::fileText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(escapedFileText(bytes), shown);
}

QTEST_APPLESS_MAIN(TestControlCharacters)
#include "tst_controlcharacters.moc"
