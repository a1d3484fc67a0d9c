#include "forms/ObserverSheet.h"

#include "forms/Fonts.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

bool ObserverSheet::paint(QPagedPaintDevice &device, const SessionReport &report,
                          const QDateTime &printedAt)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QLocale locale;
    painter.setFont(Fonts::arial(16, true));
    painter.drawText(
        QRectF(0, 0, device.width(), device.height()), Qt::AlignLeft | Qt::AlignTop,
        QStringLiteral("Pourwise Observer Sheet\nSession code: %1\nPrinted %2")
            .arg(report.setup.sessionCode, locale.toString(printedAt, QLocale::ShortFormat)));
    return painter.end();
}
