#include "forms/common/OuterGeometry.h"

#include "forms/common/Twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

constexpr double CoordinateLimit = 32000;
// Enough of the title bar below the screen's top edge to take hold of it.
constexpr int TitleBarHold = 24;

int pixelsFromTwips(float twips)
{
    return int(std::lround(
        std::clamp(double(twips) / Twips::PerPixel, -CoordinateLimit, CoordinateLimit)));
}

qint64 area(const QRect &rect)
{
    return rect.isEmpty() ? 0 : qint64(rect.width()) * rect.height();
}

bool holdsEnough(const QRect &outer, const QRect &screen)
{
    return 2 * area(outer & screen) >= area(outer) && outer.top() >= screen.top() &&
           outer.top() + TitleBarHold <= screen.bottom() + 1;
}

// Distance from the window's centre to the screen, zero inside it.
double distance(const QRect &outer, const QRect &screen)
{
    const QPoint centre = outer.center();
    const double dx = std::max({screen.left() - centre.x(), 0, centre.x() - screen.right()});
    const double dy = std::max({screen.top() - centre.y(), 0, centre.y() - screen.bottom()});
    return std::hypot(dx, dy);
}

} // namespace

QRect OuterGeometry::fromTwips(std::span<const float, 4> twips)
{
    return QRect(pixelsFromTwips(twips[0]), pixelsFromTwips(twips[1]),
                 std::max(pixelsFromTwips(twips[2]), 0), std::max(pixelsFromTwips(twips[3]), 0));
}

std::array<float, 4> OuterGeometry::toTwips(const QRect &outer)
{
    return {float(Twips::fromPixels(outer.left())), float(Twips::fromPixels(outer.top())),
            float(Twips::fromPixels(outer.width())), float(Twips::fromPixels(outer.height()))};
}

QRect OuterGeometry::reachable(const QRect &outer, std::span<const QRect> screens)
{
    if (screens.empty() || std::ranges::any_of(screens, [&outer](const QRect &screen) {
            return holdsEnough(outer, screen);
        }))
        return outer;
    const QRect &screen = *std::ranges::min_element(
        screens, {}, [&outer](const QRect &each) { return distance(outer, each); });
    // The whole width where it fits, and at least half the height below the top edge.
    const int left = std::clamp(outer.left(), screen.left(),
                                std::max(screen.left(), screen.right() + 1 - outer.width()));
    const int top = std::clamp(outer.top(), screen.top(),
                               std::max(screen.top(), screen.bottom() + 1 - outer.height() / 2));
    return QRect(QPoint(left, top), outer.size());
}

OuterGeometry::Settling OuterGeometry::settle(const QRect &pending, const QRect &client,
                                              const QMargins &frame, bool normalState, bool visible)
{
    if (!normalState || client.size() != pending.size())
        return Settling::Forget;
    if (frame.isNull()) // the window manager may have moved it already; nobody else did
        return Settling::Wait;
    const QPoint put = pending.topLeft();
    if (client.topLeft() != put && client.topLeft() != put + QPoint(frame.left(), frame.top()))
        return Settling::Forget;
    return visible ? Settling::Done : Settling::Wait;
}

QMargins OuterGeometry::frameMargins() const
{
    return m_window->windowHandle() ? m_window->windowHandle()->frameMargins() : QMargins();
}

QRect OuterGeometry::outer() const
{
    return m_window->frameGeometry();
}

void OuterGeometry::place(const QRect &stored)
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QMargins frame = frameMargins();
    if (m_window->layout()) // sets the window's minimum size now rather than when first shown
        m_window->layout()->activate();
    m_window->resize(stored.size().shrunkBy(frame));
    // Judged at the size the window took, which is never below its minimum.
    const QRect outer =
        reachable(QRect(stored.topLeft(), m_window->size().grownBy(frame)), screens);
    m_window->move(outer.topLeft()); // a window's position is that of its frame
    m_pending.reset();
    if (frame.isNull())
        m_pending = outer;
}

void OuterGeometry::windowEvent(const QEvent *event)
{
    const QEvent::Type type = event->type();
    if (!m_pending || (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize &&
                       type != QEvent::WindowStateChange))
        return;
    const QMargins frame = frameMargins();
    switch (settle(*m_pending, m_window->geometry(), frame,
                   m_window->windowState() == Qt::WindowNoState, m_window->isVisible())) {
    case Settling::Wait:
        return;
    case Settling::Done: {
        const QRect client = m_pending->marginsRemoved(frame);
        m_pending.reset();
        m_window->setGeometry(client);
        return;
    }
    case Settling::Forget:
        m_pending.reset();
        return;
    }
}
