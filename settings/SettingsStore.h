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
    Unreadable, // the stored values could not be read (a folder in the file's place, no access)
    Damaged,    // the file is not well-formed; what could be read was used
    NotSaved,   // a save did not reach the store
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
// Reading never creates anything; a file that is not well-formed anywhere in it, or not text at
// all, reads as Damaged with whatever could be read. In a file, a save writes every entry into a
// new file that replaces the old one in a single rename, so an interrupted save leaves either
// the old or the new file whole, and a lock file keeps two copies of the program from saving at
// the same moment; the copy that saves last decides. A save over a damaged file keeps a copy of
// it beside the new one (<file>.damaged) and writes a clean file: what could be read of the
// section saved to, and the entries.
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

    SettingsStatus status() const { return m_status; }
    // Where the values of `appName` live, for messages: a file path or a registry key.
    QString location(const QString &appName) const;
    // Where a save keeps the damaged file it replaces.
    QString damagedCopyLocation(const QString &appName) const;

private:
    std::unique_ptr<QSettings> open(const QString &appName) const;
    SettingsStatus readStatus(QSettings &settings, const QString &appName) const;

    QString m_folder;
    bool m_registry = false;
    mutable SettingsStatus m_status = SettingsStatus::Ok;
    mutable bool m_damageSeen = false;
};
