#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#ifdef Q_OS_LINUX
#include <sys/mount.h>
#endif

// A small disk (tmpfs) mounted on `folder` while it lives, to fill up or to mount read-only, so
// that a save meets a full disk for real. Only root can mount one; elsewhere, and where the
// system has no such disks, mounted() is false and the test skips with skipReason.
class SmallDisk {
public:
    static constexpr const char *skipReason =
        "Only root can mount a small disk (tmpfs) to fill, on Linux.";

    explicit SmallDisk(const QString &folder, const QByteArray &size = "16k", bool readOnly = false)
        : m_folder(QFile::encodeName(folder))
    {
#ifdef Q_OS_LINUX
        QDir().mkpath(folder);
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", readOnly ? MS_RDONLY : 0,
                            ("size=" + size).constData()) == 0;
#else
        Q_UNUSED(size);
        Q_UNUSED(readOnly);
#endif
    }
    ~SmallDisk()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
#endif
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const
    {
        return m_mounted;
    }

    // Fills every free block with a file of zeros, as dd would.
    void fill() const
    {
        QFile filler(QFile::decodeName(m_folder) + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, '\0');
        while (filler.write(block) > 0) {
        }
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
