#pragma once

#include <QString>
#include <functional>

class QWidget;

// Every message to the operator goes through here: a modal box titled with the application
// title, an OK button only and no icon, its text shown as plain text. Tests install a capture to
// read messages without a modal loop.
namespace OperatorMessage {

using Capture = std::function<void(const QString &text)>;

void show(QWidget *parent, const QString &text);

// Replaces the modal box by `capture` until reset with an empty function.
void setCapture(Capture capture);

} // namespace OperatorMessage
