#pragma once

#include "calc/files/DurableFile.h"

#include <cerrno>

// A disk that misbehaves as real ones do, put in the system's place (DurableFile) for as long as
// it lives: every step goes to the system's, but for the fault it was made with. A full disk has
// taken a file it cut short or emptied and said it was done (docs: full-disk notes), so a save is
// proved only by reading the file back.
class FaultyDisk : public DurableFile {
public:
    enum class Fault {
        None,
        CutShort,    // keeps the first half of a new file, and says it was done
        Emptied,     // keeps a new file empty, and says it was done
        ByteFlipped, // keeps a new file with its last byte changed, and says it was done
        Full,        // refuses every new file for want of room
    };

    explicit FaultyDisk(Fault fault) : m_fault(fault) { DurableFile::replaceForTests(this); }
    ~FaultyDisk() override { DurableFile::replaceForTests(nullptr); }
    FaultyDisk(const FaultyDisk &) = delete;
    FaultyDisk &operator=(const FaultyDisk &) = delete;

    void setFault(Fault fault) { m_fault = fault; }

    QString create(const QString &path, const QByteArray &bytes, const QString &permissionsOf,
                   bool &nameTaken) override
    {
        if (m_fault == Fault::Full) {
            nameTaken = false;
            return reasonOf(ENOSPC);
        }
        QByteArray kept = bytes;
        if (m_fault == Fault::CutShort)
            kept.truncate(bytes.size() / 2);
        else if (m_fault == Fault::Emptied)
            kept.clear();
        else if (m_fault == Fault::ByteFlipped && !kept.isEmpty())
            kept.back() = char(kept.back() ^ 0x01);
        return system().create(path, kept, permissionsOf, nameTaken);
    }
    std::optional<QByteArray> read(const QString &path) override { return system().read(path); }
    QString replace(const QString &from, const QString &to) override
    {
        return system().replace(from, to);
    }
    void remove(const QString &path) override { system().remove(path); }
    int names(const QString &path) override { return system().names(path); }

private:
    Fault m_fault;
};
