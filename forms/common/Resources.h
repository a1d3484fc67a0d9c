#pragma once

#include <QIcon>
#include <QPixmap>

// Our own pictures, compiled into the program.
namespace Resources {
QPixmap logo();
QIcon icon();
} // namespace Resources
