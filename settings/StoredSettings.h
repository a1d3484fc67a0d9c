#pragma once

#include "calc/dose/BodyUnits.h"
#include "calc/dose/DoseValues.h"
#include "calc/dose/SessionPlan.h"
#include "settings/SettingsStore.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <string_view>

// What the main window keeps between runs: its outer geometry, the four dosing parameters, the
// session plan's choices and the units of height and weight, all in section "Settings" of the
// application named by the application title.
namespace StoredSettings {

inline constexpr const char *Section = "Settings";

// A number kept in the store.
struct NumberKey {
    const char *readName;
    const char *writtenName;
    double defaultValue;
    // How a message that lists values names it, "%1" standing for the number; a dosing parameter
    // is named by the table of values instead.
    const char *phrase = nullptr;
    const DoseValueInfo *parameter = nullptr;
    // Whether a stored number can be used; null when every number can. One that cannot takes
    // the default, as text that is not a number does.
    bool (*accepts)(float value) = nullptr;
};

// The keys the main window reads and writes by name; the dosing parameters' keys are those of
// the table of values (DoseValues).
inline constexpr const char *MainLeft = "MainLeft";
inline constexpr const char *MainTop = "MainTop";
inline constexpr const char *MainWidth = "MainWidth";
inline constexpr const char *MainHeight = "MainHeight";
inline constexpr const char *Portions = "Portions";
inline constexpr const char *Release = "Release";
inline constexpr const char *Units = "Units";
inline constexpr const char *LevelUnit = "LevelUnit";
inline constexpr const char *BreathRatio = "BreathRatio";
inline constexpr const char *Protocol = "Protocol";
inline constexpr const char *RecordFolder = "RecordFolder";

// The main window's outer left, top, width and height, frame included, in twips.
inline constexpr std::array<NumberKey, 4> GeometryKeys{{
    {MainLeft, MainLeft, 1000, "left %1"},
    {MainTop, MainTop, 1000, "top %1"},
    {MainWidth, MainWidth, 6500, "width %1"},
    {MainHeight, MainHeight, 6500, "height %1"},
}};

// The session plan's number of portions and release level (g/100 ml), and the blood/breath ratio
// of the lab's unit of levels.
inline constexpr std::array<NumberKey, 3> SessionPlanKeys{{
    {Portions, Portions, SessionPlanLimits::DefaultPortions, "%1 portions", nullptr,
     &acceptsPortions},
    {Release, Release, SessionPlanLimits::DefaultReleaseLevel, "release level %1 g/100 ml", nullptr,
     &acceptsReleaseLevel},
    {BreathRatio, BreathRatio, BreathRatio::Default, "blood/breath ratio %1:1", nullptr,
     &acceptsBreathRatio},
}};

// Every number the main window keeps, in the order they are read and written: the geometry,
// the dosing parameters, then the session plan's choices and the ratio.
inline constexpr std::array<NumberKey, 11> MainWindowKeys = [] {
    std::array<NumberKey, 11> keys{};
    std::size_t next = 0;
    for (const NumberKey &key : GeometryKeys)
        keys[next++] = key;
    for (const DoseValueInfo &parameter : DosingParameters)
        keys[next++] = {parameter.settingsKey, parameter.writtenKey, *parameter.defaultValue,
                        nullptr, &parameter};
    for (const NumberKey &key : SessionPlanKeys)
        keys[next++] = key;
    return keys;
}();

// A key holding one of a few words, matched without regard to letter case. A missing key reads
// as the first word; so does any other text, named in the load's message where `reported`.
struct ChoiceKey {
    const char *name;
    std::span<const char *const> words;
    // How a message that lists values names it, "%1" standing for the caption of the choice.
    const char *phrase;
    std::span<const char *const> captions;
    bool reported = false;
};

// The units of height and weight, in the order of BodyUnits: "US" (inches and pounds, the
// default) or "Metric" (centimetres and kilograms).
inline constexpr std::array<const char *, 2> UnitsWords{"US", "Metric"};
static_assert(int(BodyUnits::InchesPounds) == 0 && int(BodyUnits::CentimetresKilograms) == 1);

inline constexpr std::array<const char *, 2> UnitsCaptions{"inches and pounds",
                                                           "centimetres and kilograms"};

// The unit of levels, in the order of LevelUnit: "g/100ml" (the default), "g/L", "mg/100ml",
// "g/210L", "mg/L" or "ug/100ml".
inline constexpr auto LevelUnitWords = levelUnitTexts<&LevelUnitInfo::option>();
inline constexpr auto LevelUnitCaptions = levelUnitTexts<&LevelUnitInfo::caption>();

// Every choice the main window keeps, read and written after its numbers. Other text for the
// units of height and weight reads as inches and pounds without a message, as it always has;
// other text for the unit of levels is named, as it changes every level shown.
inline constexpr std::array<ChoiceKey, 2> MainWindowChoices{{
    {Units, UnitsWords, "height and weight in %1", UnitsCaptions},
    {LevelUnit, LevelUnitWords, "levels in %1", LevelUnitCaptions, true},
}};

static_assert([] {
    for (const NumberKey &key : MainWindowKeys) {
        if (!key.phrase && !key.parameter)
            return false; // every value must be named when a save fails
    }
    return true;
}());

// A text the main window keeps as it is: the path of the protocol in use, empty for none, and
// the folder of the session record last opened or saved (a folder only: the names of records
// hold session codes, which are never stored).
struct TextKey {
    const char *name;
    const char *phrase; // how a message that lists values names it, "%1" for the text
};
inline constexpr std::array<TextKey, 2> MainWindowTexts{
    {{Protocol, "the protocol file \"%1\""}, {RecordFolder, "the record folder \"%1\""}}};

// A value for every key the main window keeps, addressed by the key's name as read.
class Values {
public:
    // Every key at its default.
    Values();

    float number(std::string_view key) const;
    void setNumber(std::string_view key, float value);
    int choice(std::string_view key) const;
    void setChoice(std::string_view key, int choice);
    QString text(std::string_view key) const;
    void setText(std::string_view key, const QString &text);

    // The keys' written names with the values as text, in the user's number format, as a save
    // writes them.
    QList<SettingsEntry> entries() const;

private:
    std::array<float, MainWindowKeys.size()> m_numbers;
    std::array<int, MainWindowChoices.size()> m_choices{};
    std::array<QString, MainWindowTexts.size()> m_texts;
};

// A stored text that is not a number, or a number its key does not accept; its key's default is
// used instead.
struct Unreadable {
    QString key;
    QString text;
    float defaultValue = 0; // of a number
    QString defaultText;    // as the message shows the default
};

struct Loaded {
    Values values;
    QList<Unreadable> unreadable;
    SettingsStatus status = SettingsStatus::Ok;
    QString location;
    QString problem; // what the store found wrong, naming the line: SettingsStore::problem()

    // The one message to the operator about what went wrong, starting "ERROR: "; empty when
    // every key was read.
    QString problemMessage() const;
};

// The number a stored text holds: read with the user's number rules, else with "." as the
// decimal separator (a file written under another regional format); no value when it is
// neither.
std::optional<float> numberFromText(const QString &text);

// Reads every key the main window keeps from one reading of the store. A missing key takes its
// default, and so does a key whose text is not a number or a number it does not accept; every
// other key keeps its stored value.
Loaded load(const SettingsStore &store);

// Saves every value in one replacement of the store.
bool save(const SettingsStore &store, const Values &values);
// The operator's message when `values` could not be saved in `store`, naming why (the store's
// problem()) and every one of the values, so that they can be noted down.
QString notSavedMessage(const SettingsStore &store, const Values &values);
// Asked when a save found another copy of Pourwise holding the settings (SettingsStatus::Locked):
// Retry, or Discard changes and go on without them.
QString lockedQuestion(const SettingsStore &store);
// Saves the entries as they are, in one replacement of the store.
bool save(const SettingsStore &store, const QList<SettingsEntry> &entries);

} // namespace StoredSettings
