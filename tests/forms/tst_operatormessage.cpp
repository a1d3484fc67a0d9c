#include "forms/OperatorMessage.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The real modal box, not the capture: what the operator sees and that OK closes it.
class TestOperatorMessage : public QObject {
    Q_OBJECT

private slots:
    void realBoxIsTitledWithOkOnly()
    {
        QString title, text;
        int buttonCount = -1;
        QMessageBox::Icon icon = QMessageBox::Warning;
        bool okPressed = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttonCount = int(box->buttons().size());
            QAbstractButton *ok = box->button(QMessageBox::Ok);
            QVERIFY(ok);
            QTest::mouseClick(ok, Qt::LeftButton);
            okPressed = true;
        });
        OperatorMessage::show(nullptr, QStringLiteral("ERROR: Must Specify Participant Gender"));
        QVERIFY(okPressed);
        QCOMPARE(title, QStringLiteral("Pourwise"));
        QCOMPARE(text, QStringLiteral("ERROR: Must Specify Participant Gender"));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttonCount, 1);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void captureReplacesTheBox()
    {
        QStringList captured;
        OperatorMessage::setCapture([&](const QString &text) { captured << text; });
        OperatorMessage::show(nullptr, QStringLiteral("ERROR: one"));
        OperatorMessage::setCapture({});
        QCOMPARE(captured, QStringList{QStringLiteral("ERROR: one")});
    }
};

QTEST_MAIN(TestOperatorMessage)
#include "tst_operatormessage.moc"
