#include "forms/Resources.h"

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
    return QIcon(QStringLiteral(":/pourwise.ico"));
}
