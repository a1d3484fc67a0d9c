#include "calc/files/DurableFile.h"

#include <cstring>

namespace {

DurableFile *replacement = nullptr;

} // namespace

QString DurableFile::reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

DurableFile &DurableFile::current()
{
    return replacement ? *replacement : system();
}

void DurableFile::replaceForTests(DurableFile *files)
{
    replacement = files;
}
