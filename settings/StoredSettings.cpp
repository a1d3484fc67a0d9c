#include "settings/StoredSettings.h"

#include "appinfo/AppInfo.h"
#include "calc/NumberText.h"

namespace StoredSettings {

// The application name is asked for afresh at each call, so every key goes to the current title.
static QString applicationName()
{
    return QString::fromUtf8(AppInfo::Title);
}

Reading read(const SettingsStore &store, const Key &key)
{
    Reading reading;
    reading.text =
        store.GetSetting(applicationName(), QString::fromLatin1(Section),
                         QString::fromLatin1(key.readName), SingleToText(float(key.defaultValue)));
    const SingleFromText number = TextToSingle(reading.text);
    reading.ok = number.ok();
    reading.outOfRange = number.error == NumberTextError::OutOfRange;
    reading.value = number.value;
    return reading;
}

bool save(const SettingsStore &store, const Key &key, float value)
{
    return store.SaveSetting(applicationName(), QString::fromLatin1(Section),
                             QString::fromLatin1(key.writtenName), SingleToText(value));
}

} // namespace StoredSettings
