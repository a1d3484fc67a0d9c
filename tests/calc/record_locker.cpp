// Usage: record_locker RECORD
// Takes the lock of the session record RECORD as a window that records into it does, says
// "locked" or "refused" on standard output, and holds the lock until its standard input ends,
// so the tests can hold a record's lock from another process, kill it, or let it end.

#include "calc/files/RecordLock.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    RecordLock lock(app.arguments().at(1));
    const bool locked = lock.tryLock();
    std::puts(locked ? "locked" : "refused");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return locked ? 0 : 1;
}
