#pragma once

#include <QMargins>
#include <QRect>
#include <array>
#include <optional>
#include <span>

class QEvent;
class QWidget;

// Puts a top-level window's outer rectangle (frame included) where it was stored, and reads it
// back for saving. Until the window system has framed a new window its frame is unknown: the
// client then takes the whole outer size and is brought to the right size once the frame is
// known, unless the operator or the program has placed the window otherwise in the meantime.
class OuterGeometry {
public:
    explicit OuterGeometry(QWidget *window) : m_window(window) {}

    // Places the window at `outer`, in pixels, brought onto a screen first.
    void place(const QRect &outer);
    // Follows the window's events to finish a placement once the frame is known.
    void windowEvent(const QEvent *event);
    QRect outer() const;

    // Stored twips (left, top, width, height) and pixels. Window systems keep coordinates in 16
    // bits, so values far outside that range are brought to its edge rather than wrapped around;
    // a negative size is empty.
    static QRect fromTwips(std::span<const float, 4> twips);
    static std::array<float, 4> toTwips(const QRect &outer);

    // `outer` itself when at least half of it lies on one screen with its top edge, where the
    // title bar is, on that screen; otherwise moved onto the nearest screen so that it is. Its
    // size is kept.
    static QRect reachable(const QRect &outer, std::span<const QRect> screens);

    enum class Settling { Wait, Done, Forget };
    // What a placement still waiting for the frame does now: wait, be finished by setting the
    // client to `pending` less the frame, or be forgotten because the window was placed otherwise
    // since (its client no longer has the pending size, or stands neither where it was put nor
    // where the frame pushed it).
    static Settling settle(const QRect &pending, const QRect &client, const QMargins &frame,
                           bool normalState, bool visible);

private:
    QMargins frameMargins() const;

    QWidget *m_window;
    std::optional<QRect> m_pending;
};
