#pragma once

#include <QRect>
#include <cmath>

// Window and control geometry is designed in twips (1440 to the inch). At 96 dots per inch a
// pixel is 15 twips; Qt's device-independent pixels carry the layout to other screen scales.
namespace Twips {
inline constexpr double PerPixel = 15.0;

inline int toPixels(double twips)
{
    return int(std::lround(twips / PerPixel));
}
inline double fromPixels(int pixels)
{
    return pixels * PerPixel;
}
inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

// Names a control and puts it where the design has it, in its container's client area.
template <typename Control>
Control *place(Control *control, const char *name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(rect(left, top, width, height));
    return control;
}
} // namespace Twips
