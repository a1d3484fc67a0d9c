#pragma once

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

// While it lives, the test's thread obeys files' permissions as any user does, even as root (as
// the tests run in CI): root's rights to read, write and search whatever the permissions say are
// left out of what it may use, and given back after. Elsewhere a test runs as a user who has no
// such rights anyway; where they cannot be left out, applies() is false and the test skips.
class WithoutFileRights {
public:
    static constexpr const char *skipReason =
        "The test runs as root and cannot leave out root's rights over files.";

    WithoutFileRights()
    {
#ifdef Q_OS_LINUX
        if (::geteuid() != 0) {
            m_applies = true;
            return;
        }
        if (::syscall(SYS_capget, &m_header, m_data) != 0)
            return;
        __user_cap_data_struct changed[2] = {m_data[0], m_data[1]};
        changed[0].effective &= ~Rights;
        m_dropped = ::syscall(SYS_capset, &m_header, changed) == 0;
        m_applies = m_dropped;
#else
        m_applies = true;
#endif
    }
    ~WithoutFileRights()
    {
#ifdef Q_OS_LINUX
        if (m_dropped)
            ::syscall(SYS_capset, &m_header, m_data);
#endif
    }
    WithoutFileRights(const WithoutFileRights &) = delete;
    WithoutFileRights &operator=(const WithoutFileRights &) = delete;

    bool applies() const
    {
        return m_applies;
    }

private:
    bool m_applies = false;
#ifdef Q_OS_LINUX
    static constexpr unsigned Rights =
        (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_data[2]{};
    bool m_dropped = false;
#endif
};
