#pragma once

class QWidget;

// Spin boxes and time fields take the mouse wheel only when they have the focus: a wheel turned
// while the pointer passes over one scrolls the page, as over any other control, and never
// changes a number or a time the operator did not mean to touch. Every window with such fields
// applies it once they exist, so that a field added later gets it the same way.
namespace FocusedWheel {

// Every spin box and time field inside `window`.
void applyTo(QWidget *window);

} // namespace FocusedWheel
