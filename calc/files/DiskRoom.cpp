#include "calc/files/DiskRoom.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

std::optional<qint64> tooLittleRoom(const QString &path, std::initializer_list<qint64> sizes)
{
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    if (!storage.isValid())
        return std::nullopt;
    const qint64 block = std::max(storage.blockSize(), 512);
    qint64 needed = block;
    for (const qint64 size : sizes)
        needed += (size + block - 1) / block * block;
    if (storage.bytesAvailable() >= needed)
        return std::nullopt;
    return storage.bytesAvailable();
}
