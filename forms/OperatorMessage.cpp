#include "forms/OperatorMessage.h"

#include "appinfo/AppInfo.h"

#include <QMessageBox>

namespace {
OperatorMessage::Capture &capture()
{
    static OperatorMessage::Capture instance;
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
