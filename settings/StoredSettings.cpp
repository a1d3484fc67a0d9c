#include "settings/StoredSettings.h"

#include "appinfo/AppInfo.h"
#include "calc/dose/NumberText.h"

#include <QDir>
#include <QStringList>
#include <algorithm>

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

static std::optional<int> choiceFromText(const ChoiceKey &key, const QString &text)
{
    for (std::size_t i = 0; i < key.words.size(); ++i) {
        if (text.compare(QString::fromUtf8(key.words[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return std::nullopt;
}

// A default goes through the same number rules as a stored text would.
static float defaultOf(const NumberKey &key)
{
    return *numberFromText(SingleToText(float(key.defaultValue)));
}

// Where a key's value is kept; the names come from the tables, so an unknown one is a
// programming error.
static std::size_t numberIndex(std::string_view name)
{
    for (std::size_t i = 0; i < MainWindowKeys.size(); ++i) {
        if (name == MainWindowKeys[i].readName)
            return i;
    }
    qFatal("no stored number is called %.*s", int(name.size()), name.data());
}

static std::size_t textIndex(std::string_view name)
{
    for (std::size_t i = 0; i < MainWindowTexts.size(); ++i) {
        if (name == MainWindowTexts[i].name)
            return i;
    }
    qFatal("no stored text is called %.*s", int(name.size()), name.data());
}

static std::size_t choiceIndex(std::string_view name)
{
    for (std::size_t i = 0; i < MainWindowChoices.size(); ++i) {
        if (name == MainWindowChoices[i].name)
            return i;
    }
    qFatal("no stored choice is called %.*s", int(name.size()), name.data());
}

Values::Values()
{
    for (std::size_t i = 0; i < MainWindowKeys.size(); ++i)
        m_numbers[i] = defaultOf(MainWindowKeys[i]);
}

float Values::number(std::string_view key) const
{
    return m_numbers[numberIndex(key)];
}

void Values::setNumber(std::string_view key, float value)
{
    m_numbers[numberIndex(key)] = value;
}

int Values::choice(std::string_view key) const
{
    return m_choices[choiceIndex(key)];
}

void Values::setChoice(std::string_view key, int choice)
{
    m_choices[choiceIndex(key)] = choice;
}

QString Values::text(std::string_view key) const
{
    return m_texts[textIndex(key)];
}

void Values::setText(std::string_view key, const QString &text)
{
    m_texts[textIndex(key)] = text;
}

QList<SettingsEntry> Values::entries() const
{
    QList<SettingsEntry> result;
    for (std::size_t i = 0; i < MainWindowKeys.size(); ++i)
        result.append({QLatin1String(MainWindowKeys[i].writtenName), SingleToText(m_numbers[i])});
    for (std::size_t i = 0; i < MainWindowChoices.size(); ++i)
        result.append({QLatin1String(MainWindowChoices[i].name),
                       QString::fromUtf8(MainWindowChoices[i].words[std::size_t(m_choices[i])])});
    for (std::size_t i = 0; i < MainWindowTexts.size(); ++i)
        result.append({QLatin1String(MainWindowTexts[i].name), m_texts[i]});
    return result;
}

Loaded load(const SettingsStore &store)
{
    QStringList names;
    for (const NumberKey &key : MainWindowKeys)
        names << QLatin1String(key.readName);
    for (const ChoiceKey &key : MainWindowChoices)
        names << QLatin1String(key.name);
    for (const TextKey &key : MainWindowTexts)
        names << QLatin1String(key.name);
    const QList<std::optional<QString>> texts =
        store.GetSettings(applicationName(), QLatin1String(Section), names);

    Loaded loaded;
    loaded.status = store.status();
    loaded.location = store.location(applicationName());
    loaded.problem = store.problem();
    for (std::size_t i = 0; i < MainWindowKeys.size(); ++i) {
        const NumberKey &key = MainWindowKeys[i];
        const std::optional<QString> &text = texts[qsizetype(i)];
        std::optional<float> number = text ? numberFromText(*text) : std::optional(defaultOf(key));
        if (number && key.accepts && !key.accepts(*number))
            number.reset();
        if (number)
            loaded.values.setNumber(key.readName, *number);
        else
            loaded.unreadable.append(
                {names[qsizetype(i)], *text, defaultOf(key), SingleToText(defaultOf(key))});
    }
    for (std::size_t i = 0; i < MainWindowChoices.size(); ++i) {
        const ChoiceKey &key = MainWindowChoices[i];
        const std::optional<QString> &text = texts[qsizetype(MainWindowKeys.size() + i)];
        const std::optional<int> choice = text ? choiceFromText(key, *text) : 0;
        if (!choice && key.reported)
            loaded.unreadable.append(
                {QLatin1String(key.name), *text, 0, QString::fromUtf8(key.words[0])});
        loaded.values.setChoice(key.name, choice.value_or(0));
    }
    const qsizetype firstText = qsizetype(MainWindowKeys.size() + MainWindowChoices.size());
    for (std::size_t i = 0; i < MainWindowTexts.size(); ++i)
        loaded.values.setText(MainWindowTexts[i].name,
                              texts[firstText + qsizetype(i)].value_or(QString()));
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
            keys << QStringLiteral("%1 \"%2\" (now %3)").arg(each.key, shown, each.defaultText);
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

QString notSavedMessage(const SettingsStore &store, const Values &values)
{
    const auto phrased = [&](const NumberKey &key) {
        const float number = values.number(key.readName);
        return key.parameter ? valuePhrase(key.parameter->value, number)
                             : QString::fromLatin1(key.phrase).arg(SingleToText(number));
    };
    QStringList toNote;
    QStringList place;
    for (const NumberKey &key : MainWindowKeys) {
        const bool geometry = std::ranges::any_of(
            GeometryKeys, [&](const NumberKey &each) { return each.readName == key.readName; });
        (geometry ? place : toNote) << phrased(key);
    }
    for (const TextKey &key : MainWindowTexts) {
        if (!values.text(key.name).isEmpty())
            toNote << QString::fromLatin1(key.phrase).arg(values.text(key.name));
    }
    for (const ChoiceKey &key : MainWindowChoices)
        toNote << QString::fromLatin1(key.phrase)
                      .arg(QString::fromUtf8(key.captions[std::size_t(values.choice(key.name))]));
    // The store's problem says why, e.g. what stands in the file's place or why the damaged file
    // could not be kept.
    const QString why =
        store.problem().isEmpty() ? QString() : QStringLiteral(": ") + store.problem();
    return QStringLiteral("ERROR: The settings could not be saved in \"%1\"%2. Note these values "
                          "to enter them next time: %3. The main window's place (%4 twips) is not "
                          "kept either.")
        .arg(store.location(applicationName()), why, toNote.join(QStringLiteral(", ")),
             place.join(QStringLiteral(", ")));
}

bool save(const SettingsStore &store, const Values &values)
{
    return save(store, values.entries());
}

QString lockedQuestion(const SettingsStore &store)
{
    return QStringLiteral("Another copy of Pourwise holds the settings: it is saving them in "
                          "\"%1\" now, or it stopped while saving and still runs. Retry when it "
                          "is done, or Discard changes to go on without saving this window's "
                          "values.")
        .arg(QDir::toNativeSeparators(store.location(applicationName())));
}

bool save(const SettingsStore &store, const QList<SettingsEntry> &entries)
{
    return store.SaveSettings(applicationName(), QLatin1String(Section), entries);
}

} // namespace StoredSettings
