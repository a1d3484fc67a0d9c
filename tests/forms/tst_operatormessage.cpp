#include "forms/common/OperatorMessage.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

// The real modal box, not the capture: what the operator sees and that OK closes it.
class TestOperatorMessage : public QObject {
    Q_OBJECT

private slots:
    void realBoxIsTitledWithOkOnly_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("plain") << QStringLiteral("ERROR: Must Specify Participant Gender");
        QTest::newRow("typed markup") << QStringLiteral("ERROR: Height \"<b>7O</b><br>\" is not a "
                                                        "number. &amp; <i>x</i>");
    }
    void realBoxIsTitledWithOkOnly()
    {
        QFETCH(QString, message);
        QString title, text, shown;
        int buttonCount = -1;
        QMessageBox::Icon icon = QMessageBox::Warning;
        bool okPressed = false;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            // What the operator reads: the box's label with its rich text, if any, rendered.
            if (auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
                QTextDocument rendered;
                if (label->textFormat() == Qt::PlainText)
                    rendered.setPlainText(label->text());
                else
                    rendered.setHtml(label->text());
                shown = rendered.toPlainText();
            }
            icon = box->icon();
            buttonCount = int(box->buttons().size());
            QAbstractButton *ok = box->button(QMessageBox::Ok);
            QVERIFY(ok);
            QTest::mouseClick(ok, Qt::LeftButton);
            okPressed = true;
        });
        OperatorMessage::show(nullptr, message);
        QVERIFY(okPressed);
        QCOMPARE(title, QStringLiteral("Pourwise"));
        QCOMPARE(text, message);
        QCOMPARE(shown, message);
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
