#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>
#include <utility>

class QWidget;

// Every message to the operator goes through here: a modal box titled with the application
// title, an OK button only and no icon, its text shown as plain text. Tests install a capture to
// read messages without a modal loop.
namespace OperatorMessage {

using Capture = std::function<void(const QString &text)>;

void show(QWidget *parent, const QString &text);

// Replaces the modal box by `capture` until reset with an empty function.
void setCapture(Capture capture);

// A question with `buttons`, `defaultButton` taken by Enter; the button pressed, or Cancel when
// the box is closed. `captions` name buttons whose standard caption would not say what they do.
// A test's answer replaces the box until reset with an empty function.
using Answer = std::function<QMessageBox::StandardButton(const QString &text)>;
using Captions = QList<std::pair<QMessageBox::StandardButton, QString>>;
QMessageBox::StandardButton ask(QWidget *parent, const QString &text,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton,
                                const Captions &captions = {});
void setAnswer(Answer answer);

} // namespace OperatorMessage
