#include "settings/StoredSettings.h"

#include "appinfo/AppInfo.h"
#include "calc/NumberText.h"

#include <QStringList>

namespace StoredSettings {

// The application name is asked for afresh at each call, so every key goes to the current title.
static QString applicationName()
{
    return QString::fromUtf8(AppInfo::Title);
}

std::optional<float> numberFromText(const QString &text)
{
    SingleFromText number = TextToSingle(text);
    if (!number.ok()) {
        const QByteArray utf8 = text.toUtf8();
        number = TextToSingle(std::string_view(utf8.constData(), std::size_t(utf8.size())));
    }
    if (!number.ok())
        return std::nullopt;
    return number.value;
}

static int choiceFromText(const ChoiceKey &key, const std::optional<QString> &text)
{
    for (std::size_t i = 0; text && i < key.words.size(); ++i) {
        if (text->compare(QLatin1String(key.words[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return 0;
}

Loaded load(const SettingsStore &store, std::span<const NumberKey> keys,
            std::span<const ChoiceKey> choiceKeys)
{
    QStringList names;
    for (const NumberKey &key : keys)
        names << QLatin1String(key.readName);
    for (const ChoiceKey &key : choiceKeys)
        names << QLatin1String(key.name);
    const QList<std::optional<QString>> texts =
        store.GetSettings(applicationName(), QLatin1String(Section), names);

    Loaded loaded;
    loaded.status = store.status();
    loaded.location = store.location(applicationName());
    loaded.problem = store.problem();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // A default goes through the same number rules as a stored text would.
        const float defaultValue = *numberFromText(SingleToText(float(keys[i].defaultValue)));
        std::optional<float> number = texts[qsizetype(i)] ? numberFromText(*texts[qsizetype(i)])
                                                          : std::optional(defaultValue);
        if (number && keys[i].accepts && !keys[i].accepts(*number))
            number.reset();
        if (!number)
            loaded.unreadable.append({names[qsizetype(i)], *texts[qsizetype(i)], defaultValue});
        loaded.values << number.value_or(defaultValue);
    }
    for (std::size_t i = 0; i < choiceKeys.size(); ++i)
        loaded.choices << choiceFromText(choiceKeys[i], texts[qsizetype(keys.size() + i)]);
    return loaded;
}

QString Loaded::problemMessage() const
{
    QStringList parts;
    // The store's problem names the damaged line or what stands in the file's place.
    const QString what = problem.isEmpty() ? QString() : QStringLiteral(": ") + problem;
    if (status == SettingsStatus::Damaged)
        parts << QStringLiteral("The settings file \"%1\" is damaged%2. The values that could be "
                                "read are used, and the next save keeps a copy of the damaged "
                                "file beside it.")
                     .arg(location, what);
    else if (status == SettingsStatus::Unreadable)
        parts << QStringLiteral("The settings in \"%1\" cannot be read%2. The defaults are used, "
                                "and nothing is saved there.")
                     .arg(location, what);
    if (!unreadable.isEmpty()) {
        // A damaged file may hold pages of text in one value; the start is enough to find it.
        constexpr qsizetype ShownLength = 40;
        QStringList keys;
        for (const Unreadable &each : unreadable) {
            const QString shown = each.text.size() > ShownLength
                                      ? each.text.left(ShownLength) + QChar(0x2026)
                                      : each.text;
            keys << QStringLiteral("%1 \"%2\" (now %3)")
                        .arg(each.key, shown, SingleToText(each.defaultValue));
        }
        parts << QStringLiteral("These stored settings cannot be used and take their defaults: "
                                "%1.")
                     .arg(keys.join(QStringLiteral(", ")));
    }
    if (parts.isEmpty())
        return {};
    return QStringLiteral("ERROR: ") + parts.join(QLatin1Char(' ')) +
           QStringLiteral(" Check the dosing parameters before calculating.");
}

QList<SettingsEntry> entries(std::span<const NumberKey> keys, std::span<const float> values)
{
    QList<SettingsEntry> result;
    for (std::size_t i = 0; i < keys.size(); ++i)
        result.append({QLatin1String(keys[i].writtenName), SingleToText(values[i])});
    return result;
}

QList<SettingsEntry> entries(std::span<const ChoiceKey> keys, std::span<const int> choices)
{
    QList<SettingsEntry> result;
    for (std::size_t i = 0; i < keys.size(); ++i)
        result.append(
            {QLatin1String(keys[i].name), QLatin1String(keys[i].words[std::size_t(choices[i])])});
    return result;
}

bool save(const SettingsStore &store, const QList<SettingsEntry> &entries)
{
    return store.SaveSettings(applicationName(), QLatin1String(Section), entries);
}

} // namespace StoredSettings
