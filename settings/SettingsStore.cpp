#include "settings/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

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

std::unique_ptr<QSettings> SettingsStore::open(const QString &appName) const
{
    return std::make_unique<QSettings>(location(appName),
                                       m_registry ? QSettings::NativeFormat : QSettings::IniFormat);
}

void SettingsStore::noteReadStatus(const QSettings &settings) const
{
    switch (settings.status()) {
    case QSettings::NoError:
        m_status = SettingsStatus::Ok;
        break;
    case QSettings::AccessError:
        m_status = SettingsStatus::Unreadable;
        break;
    case QSettings::FormatError:
        m_status = SettingsStatus::Damaged;
        break;
    }
}

QString SettingsStore::GetSetting(const QString &appName, const QString &section,
                                  const QString &key, const QString &defaultText) const
{
    const auto settings = open(appName);
    noteReadStatus(*settings);
    settings->beginGroup(storedSpelling(settings->childGroups(), section));
    const QString storedKey = storedSpelling(settings->childKeys(), key);
    if (!settings->contains(storedKey))
        return defaultText;
    return textOf(settings->value(storedKey));
}

bool SettingsStore::SaveSetting(const QString &appName, const QString &section, const QString &key,
                                const QString &text) const
{
    {
        const auto settings = open(appName);
        settings->beginGroup(storedSpelling(settings->childGroups(), section));
        for (const QString &stored : settings->childKeys()) {
            if (stored != key && stored.compare(key, Qt::CaseInsensitive) == 0)
                settings->remove(stored);
        }
        settings->setValue(key, text);
        settings->endGroup();
        settings->sync();
    }
    // A damaged file keeps its read error in the status and hides a failed write, so the save
    // is judged by a fresh look at the store instead.
    const auto check = open(appName);
    check->beginGroup(storedSpelling(check->childGroups(), section));
    const bool saved = check->status() == QSettings::NoError && check->childKeys().contains(key) &&
                       textOf(check->value(key)) == text;
    m_status = saved ? SettingsStatus::Ok : SettingsStatus::NotSaved;
    return saved;
}
