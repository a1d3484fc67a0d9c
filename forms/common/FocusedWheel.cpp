#include "forms/common/FocusedWheel.h"

#include <QAbstractSpinBox>
#include <QEvent>

namespace {

class WheelFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget *>(watched)->hasFocus())
            return false;
        // Ignored, the wheel goes on to the field's parents as if the field were not there.
        event->ignore();
        return true;
    }
};

} // namespace

void FocusedWheel::applyTo(QWidget *window)
{
    auto *filter = new WheelFilter(window);
    for (QAbstractSpinBox *field : window->findChildren<QAbstractSpinBox *>()) {
        field->setFocusPolicy(Qt::StrongFocus); // the wheel does not give it the focus either
        field->installEventFilter(filter);
    }
}
