#include "forms/common/OperatorMessage.h"

#include "appinfo/AppInfo.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace {
OperatorMessage::Capture &capture()
{
    static OperatorMessage::Capture instance;
    return instance;
}

OperatorMessage::Answer &messageAnswer()
{
    static OperatorMessage::Answer instance;
    return instance;
}
} // namespace

void OperatorMessage::show(QWidget *parent, const QString &text)
{
    if (capture()) {
        capture()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(AppInfo::Title), text, QMessageBox::Ok,
                    parent);
    box.setObjectName(QStringLiteral("operatorMessage"));
    // Typed or stored text such as "<b>7O</b>" is shown as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void OperatorMessage::setCapture(Capture newCapture)
{
    capture() = std::move(newCapture);
}

QMessageBox::StandardButton OperatorMessage::ask(QWidget *parent, const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton,
                                                 const Captions &captions)
{
    if (messageAnswer())
        return messageAnswer()(text);
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(AppInfo::Title), text, buttons, parent);
    box.setObjectName(QStringLiteral("operatorQuestion"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    for (const auto &[button, caption] : captions) {
        if (QAbstractButton *named = box.button(button))
            named->setText(caption);
    }
    const int pressed = box.exec();
    return buttons.testFlag(QMessageBox::StandardButton(pressed))
               ? QMessageBox::StandardButton(pressed)
               : QMessageBox::Cancel;
}

void OperatorMessage::setAnswer(Answer newAnswer)
{
    messageAnswer() = std::move(newAnswer);
}
