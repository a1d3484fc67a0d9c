#pragma once

#include <QFont>
#include <QStringList>

// The windows are laid out in twips for the classic Windows dialog faces. Where those faces are
// missing, a face of the same metrics (Liberation Sans matches Arial) keeps the captions inside
// their boxes; the platform's sans-serif is the last resort.
namespace Fonts {

inline QFont face(const QString &family, double points, bool bold = false)
{
    QFont font(family);
    font.setFamilies({family, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

inline QFont msSansSerif(double points, bool bold = false)
{
    return face(QStringLiteral("MS Sans Serif"), points, bold);
}

inline QFont arial(double points, bool bold = false)
{
    return face(QStringLiteral("Arial"), points, bold);
}

} // namespace Fonts
