#include "calc/files/FolderNames.h"

// Windows keeps names in UTF-16, which a QString holds whatever they are.
QStringList FolderNames::notUtf8(const QString &)
{
    return {};
}
