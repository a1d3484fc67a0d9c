#include "forms/common/Resources.h"

#include <QDir>
#include <QImageReader>

// The pictures live in a static library, whose resources must be registered by hand once.
static void registerPictures()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap Resources::logo()
{
    registerPictures();
    return QPixmap(QStringLiteral(":/logo.jpg"));
}

QIcon Resources::icon()
{
    registerPictures();
    // The sixteen-colour picture stays the 32 px icon, the one the About window shows; the
    // desktop theme's full-colour pictures give the other sizes a window shows. The larger ones
    // are left to the installed icon theme: every size given here is decoded and handed to the
    // window system when the first window maps, which would slow the start noticeably.
    constexpr int LargestWindowIcon = 64;
    QIcon icon(QStringLiteral(":/pourwise.ico"));
    const QDir themeIcons(QStringLiteral(":/icons"));
    for (const QString &name : themeIcons.entryList(QDir::Files)) {
        const QString path = themeIcons.filePath(name);
        const QSize size = QImageReader(path).size();
        if (size.width() <= LargestWindowIcon && !icon.availableSizes().contains(size))
            icon.addFile(path, size);
    }
    return icon;
}
