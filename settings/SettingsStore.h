#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QSettings;

// How the last call to a store went.
enum class SettingsStatus {
    Ok,
    Unreadable, // the stored values could not be read (no access; a folder, a named pipe or a
                // device in the file's place)
    Damaged,    // the file is not well-formed; the values of its intact lines were used
    NotSaved,   // a save did not reach the store
    Locked,     // a save found another copy of the program holding the store's lock, and waited
                // for it in vain: nothing was written
};

// One key and its text, as saved.
struct SettingsEntry {
    QString key;
    QString text;
};

// A per-user text store addressed by application, section and key. Keys and sections are matched
// without regard to letter case on every platform, and a save replaces every other spelling of
// its key, so the store never holds two spellings of one key.
//
// The user's store is, on Windows, the registry key HKEY_CURRENT_USER\Software\<application>
// and, elsewhere, the INI file <configuration folder>/<application>/<application>.ini, where the
// configuration folder is the user's ($XDG_CONFIG_HOME or ~/.config on Linux). A store can also
// be rooted in any folder, which tests use to keep away from the real settings.
//
// Reading never creates anything in the store. In a file, Qt's reading of the whole file is
// checked against a plain reading of its lines one by one, and a value standing on an intact
// line key=value of the section is never lost: where the two readings differ, or a line cannot
// stand on its own (a quote left open, a backslash at its end, no '=', bytes that are not
// text), the file reads as Damaged, problem() names the first such line, and every intact line
// keeps its value. A line key=value whose only damage is a quote left open or a backslash at its
// end reads as it would standing alone: to the line's end, without that backslash
// (settings/SettingsLines.h). A byte-order mark is no damage. Only a regular file is read or
// written: anything else in its place (a folder, a named pipe, a device) reads as Unreadable and is
// never opened.
//
// In a file, a save writes every entry into a new file that replaces the old one in a single
// rename once it reads back whole (calc/files/SafeWrite.h), so an interrupted save leaves either
// the old or the new file whole, and a lock file keeps two copies of the program from saving at the
// same moment; the copy that saves last decides. A lock left behind empty or unreadable by a copy
// killed while taking it holds up a save for about a second; a temporary file left by a copy killed
// while saving is removed by the next save. A save over a damaged file first keeps a copy of it
// beside the new one
// (<file>.damaged), then writes a clean file: what could be read of the section saved to, and
// the entries; when that copy cannot be made, the damaged file is left as it is and the save
// fails.
class SettingsStore {
public:
    // The user's own store.
    SettingsStore();
    // A store keeping <folder>/<application>/<application>.ini on every platform.
    explicit SettingsStore(const QString &folder);

    // The stored text of the key, or `defaultText` when the application, section or key is
    // missing or the store cannot be read.
    QString GetSetting(const QString &appName, const QString &section, const QString &key,
                       const QString &defaultText) const;
    // Stores the text and reads it back; false when it did not reach the store.
    bool SaveSetting(const QString &appName, const QString &section, const QString &key,
                     const QString &text) const;

    // The stored texts of `keys`, in their order, from one reading of the store; no value where
    // a key is missing.
    QList<std::optional<QString>> GetSettings(const QString &appName, const QString &section,
                                              const QStringList &keys) const;
    // Stores every entry in one replacement of the store and reads them all back; false when
    // any of them did not reach the store.
    bool SaveSettings(const QString &appName, const QString &section,
                      const QList<SettingsEntry> &entries) const;

    // How long a save waits for another copy of the program that holds the store's lock before it
    // gives up with the status Locked: 30 seconds unless set. A window that must not freeze waits
    // briefly and asks the operator instead.
    void setLockWait(int milliseconds) { m_lockWaitMs = milliseconds; }
    // The lock a save holds, for messages; empty for the registry.
    QString lockLocation(const QString &appName) const;

    SettingsStatus status() const { return m_status; }
    // What went wrong in the last call, for messages; empty when nothing did. After a reading:
    // the first damaged line ("line 3 ("BAL="0.1") has a quote (") that is not closed on that
    // line") or what stands in the file's place ("it is a named pipe, not a regular file").
    // After a failed save: why, e.g. the damaged copy's path and why it could not be made.
    QString problem() const { return m_problem; }
    // Where the values of `appName` live, for messages: a file path or a registry key.
    QString location(const QString &appName) const;
    // Where a save keeps the damaged file it replaces.
    QString damagedCopyLocation(const QString &appName) const;

private:
    struct Reading;

    std::unique_ptr<QSettings> open(const QString &appName) const;
    // One reading of the store: its status and problem, and the section's values.
    Reading read(const QString &appName, const QString &section) const;
    // Keeps `bytes`, the damaged file, at damagedCopyLocation() when its disk has room for it and
    // a new file of `newFileSize`; else says why not in problem().
    bool keepDamagedCopy(const QString &appName, const QByteArray &bytes, qint64 newFileSize) const;

    QString m_folder;
    bool m_registry = false;
    int m_lockWaitMs = 30000;
    mutable SettingsStatus m_status = SettingsStatus::Ok;
    mutable QString m_problem;
};
