#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The steps of a save that only the system can do durably, behind one small interface: the
// system's own, one file per platform, or one a test puts in its place to meet a disk that
// misbehaves. Each step gives an empty text when done, and otherwise the system's own reason
// ("No space left on device").
class DurableFile {
public:
    virtual ~DurableFile() = default;

    // Creates `path`, which must not exist yet, holding `bytes` with the permissions of the
    // regular file `permissionsOf` (when there is one), and flushes it to the disk. On a failure
    // nothing is left at `path`; `nameTaken` says whether the failure was that something was
    // there already.
    virtual QString create(const QString &path, const QByteArray &bytes,
                           const QString &permissionsOf, bool &nameTaken) = 0;

    // The bytes of the file at `path` as the disk gives them now; none when it cannot be read.
    virtual std::optional<QByteArray> read(const QString &path) = 0;

    // Puts the file `from` in the place of `to` in one step, replacing what was there, and
    // flushes the change to the disk.
    virtual QString replace(const QString &from, const QString &to) = 0;

    // Removes the file at `path`, as a save that failed removes its temporary file.
    virtual void remove(const QString &path) = 0;

    // How many names (hard links) the file at `path` has; 0 when the system cannot tell.
    virtual int names(const QString &path) = 0;

    // The system's words for an error number of the C library (errno).
    static QString reasonOf(int error);

    // The one every save goes through: the system's, unless a test put another in its place.
    static DurableFile &current();
    // Puts `files` in the system's place until called again; none gives the system's back.
    static void replaceForTests(DurableFile *files);
    // The platform's own.
    static DurableFile &system();
};
