#pragma once

#include <QString>
#include <initializer_list>
#include <optional>

// The bytes free beside `path` when they are too few for files of `sizes`, each rounded up to
// whole blocks, and a block to spare; none when there is room (or the disk cannot tell).
std::optional<qint64> tooLittleRoom(const QString &path, std::initializer_list<qint64> sizes);
