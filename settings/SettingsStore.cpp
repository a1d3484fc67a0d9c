#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

// The spelling already stored for `name` among `names`, or `name` itself when there is none.
// An exact match wins over other spellings.
QString storedSpelling(const QStringList &names, const QString &name)
{
    if (names.contains(name))
        return name;
    for (const QString &candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return name;
}

// An unquoted comma makes the INI reader split the text into a list; the stored text is the
// list joined again.
QString textOf(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

// Qt's INI reader takes any bytes for keys and values and reports a malformed line only in a
// section it has parsed; a file that is not text at all may pass it.
bool isText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // missing: nothing to judge
    const QByteArray bytes = file.readAll();
    return !bytes.contains('\0') && QByteArrayView(bytes).isValidUtf8();
}

} // namespace

SettingsStore::SettingsStore()
{
#ifdef Q_OS_WIN
    m_registry = true;
#else
    m_folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (m_folder.isEmpty())
        m_folder = QDir::homePath() + QStringLiteral("/.config");
#endif
}

SettingsStore::SettingsStore(const QString &folder) : m_folder(folder) {}

QString SettingsStore::location(const QString &appName) const
{
    if (m_registry)
        return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + appName;
    return QDir::cleanPath(m_folder + QLatin1Char('/') + appName + QLatin1Char('/') + appName +
                           QStringLiteral(".ini"));
}

QString SettingsStore::damagedCopyLocation(const QString &appName) const
{
    return location(appName) + QStringLiteral(".damaged");
}

std::unique_ptr<QSettings> SettingsStore::open(const QString &appName) const
{
    return std::make_unique<QSettings>(location(appName),
                                       m_registry ? QSettings::NativeFormat : QSettings::IniFormat);
}

SettingsStatus SettingsStore::readStatus(QSettings &settings, const QString &appName) const
{
    settings.allKeys(); // parses every section, so a malformed line anywhere is found
    switch (settings.status()) {
    case QSettings::AccessError:
        return SettingsStatus::Unreadable;
    case QSettings::FormatError:
        return SettingsStatus::Damaged;
    case QSettings::NoError:
        break;
    }
    return m_registry || isText(location(appName)) ? SettingsStatus::Ok : SettingsStatus::Damaged;
}

QString SettingsStore::GetSetting(const QString &appName, const QString &section,
                                  const QString &key, const QString &defaultText) const
{
    return GetSettings(appName, section, {key}).constFirst().value_or(defaultText);
}

bool SettingsStore::SaveSetting(const QString &appName, const QString &section, const QString &key,
                                const QString &text) const
{
    return SaveSettings(appName, section, {{key, text}});
}

QList<std::optional<QString>> SettingsStore::GetSettings(const QString &appName,
                                                         const QString &section,
                                                         const QStringList &keys) const
{
    const auto settings = open(appName);
    m_status = readStatus(*settings, appName);
    m_damageSeen = m_damageSeen || m_status == SettingsStatus::Damaged;
    settings->beginGroup(storedSpelling(settings->childGroups(), section));
    const QStringList stored = settings->childKeys();
    QList<std::optional<QString>> texts;
    for (const QString &key : keys) {
        const QString storedKey = storedSpelling(stored, key);
        if (settings->contains(storedKey))
            texts << textOf(settings->value(storedKey));
        else
            texts << std::nullopt;
    }
    return texts;
}

bool SettingsStore::SaveSettings(const QString &appName, const QString &section,
                                 const QList<SettingsEntry> &entries) const
{
    {
        const auto settings = open(appName);
        // Qt parses a file once per process: a damage found by an earlier reading of this store
        // is not reported again.
        const bool damaged =
            m_damageSeen || readStatus(*settings, appName) == SettingsStatus::Damaged;
        settings->beginGroup(storedSpelling(settings->childGroups(), section));
        if (damaged) {
            // The new file keeps only what could be read of this section; nothing of the damaged
            // file is lost, as it stays beside the new one.
            const QString copy = damagedCopyLocation(appName);
            QFile::remove(copy);
            QFile::copy(location(appName), copy);
            QList<SettingsEntry> readable;
            for (const QString &key : settings->childKeys()) {
                if (!key.isEmpty()) // a line "=text" names no key
                    readable.append({key, textOf(settings->value(key))});
            }
            settings->endGroup();
            settings->clear();
            settings->beginGroup(section);
            for (const SettingsEntry &entry : readable)
                settings->setValue(entry.key, entry.text);
        }
        const QStringList stored = settings->childKeys();
        for (const SettingsEntry &entry : entries) {
            for (const QString &spelling : stored) {
                if (spelling != entry.key && spelling.compare(entry.key, Qt::CaseInsensitive) == 0)
                    settings->remove(spelling);
            }
            settings->setValue(entry.key, entry.text);
        }
        settings->endGroup();
        settings->sync(); // the one write of the file
    }
    // A damaged file keeps its read error in the status and hides a failed write, so the save
    // is judged by a fresh look at the store instead.
    const auto check = open(appName);
    check->beginGroup(storedSpelling(check->childGroups(), section));
    bool saved = check->status() == QSettings::NoError;
    const QStringList stored = check->childKeys();
    for (const SettingsEntry &entry : entries)
        saved =
            saved && stored.contains(entry.key) && textOf(check->value(entry.key)) == entry.text;
    m_status = saved ? SettingsStatus::Ok : SettingsStatus::NotSaved;
    m_damageSeen = m_damageSeen && !saved;
    return saved;
}
