#pragma once

#include <QString>
#include <memory>

class QSettings;

// How the last call to a store went.
enum class SettingsStatus {
    Ok,
    Unreadable, // the stored values could not be read (a folder in the file's place, no access)
    Damaged,    // the file is not well-formed; what could be read was used
    NotSaved,   // a save did not reach the store
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
// Reading never creates anything. In a file, a save is written to a new file that replaces the
// old one in a single rename, so an interrupted save leaves either the old or the new file, and a
// lock file keeps two copies of the program from saving at the same moment; each save merges its
// one key into the file as it is then, so the copy that saves last decides.
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

    SettingsStatus status() const { return m_status; }
    // Where the values of `appName` live, for messages: a file path or a registry key.
    QString location(const QString &appName) const;

private:
    std::unique_ptr<QSettings> open(const QString &appName) const;
    void noteReadStatus(const QSettings &settings) const;

    QString m_folder;
    bool m_registry = false;
    mutable SettingsStatus m_status = SettingsStatus::Ok;
};
