#include "tools/pourwise-dose/output/StandardStreams.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

UINT consoleCodePageBefore = 0;

// The console keeps its code page after the program ends: give the caller's back.
void restoreConsoleCodePage()
{
    SetConsoleOutputCP(consoleCodePageBefore);
}

} // namespace

void prepareStandardStreams()
{
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    consoleCodePageBefore = GetConsoleOutputCP();
    if (consoleCodePageBefore != 0 && consoleCodePageBefore != CP_UTF8 &&
        SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsoleCodePage);
}
