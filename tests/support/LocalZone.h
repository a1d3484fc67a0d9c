#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// The computer's time zone set to `zone` (as TZ names it) while this lives, and then put back,
// so that a test meets a clock that is put forward or back for summer time.
class LocalZone {
public:
    explicit LocalZone(const char *zone)
        : m_wasSet(qEnvironmentVariableIsSet("TZ")), m_before(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone()
    {
        if (m_wasSet)
            qputenv("TZ", m_before);
        else
            qunsetenv("TZ");
        tzset();
    }
    LocalZone(const LocalZone &) = delete;
    LocalZone &operator=(const LocalZone &) = delete;

private:
    bool m_wasSet;
    QByteArray m_before;
};
