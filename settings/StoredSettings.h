#pragma once

#include "calc/BodyUnits.h"
#include "calc/DosingParameters.h"
#include "calc/SessionPlan.h"
#include "settings/SettingsStore.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <span>

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
    // Whether a stored number can be used; null when every number can. One that cannot takes
    // the default, as text that is not a number does.
    bool (*accepts)(float value) = nullptr;
};

// The main window's outer left, top, width and height, frame included, in twips.
inline constexpr std::array<NumberKey, 4> GeometryKeys{{
    {"MainLeft", "MainLeft", 1000},
    {"MainTop", "MainTop", 1000},
    {"MainWidth", "MainWidth", 6500},
    {"MainHeight", "MainHeight", 6500},
}};

// The session plan's number of portions and release level (g/100 ml).
inline constexpr std::array<NumberKey, 2> SessionPlanKeys{{
    {"Portions", "Portions", SessionPlanLimits::DefaultPortions, &acceptsPortions},
    {"Release", "Release", SessionPlanLimits::DefaultReleaseLevel, &acceptsReleaseLevel},
}};

// Every number the main window keeps, in the order they are read and written: the geometry,
// the dosing parameters, then the session plan's choices.
inline constexpr std::array<NumberKey, 10> MainWindowKeys = [] {
    std::array<NumberKey, 10> keys{};
    std::size_t next = 0;
    for (const NumberKey &key : GeometryKeys)
        keys[next++] = key;
    for (const DosingParameter &parameter : DosingParameters)
        keys[next++] = {parameter.key, parameter.writtenKey, parameter.defaultValue};
    for (const NumberKey &key : SessionPlanKeys)
        keys[next++] = key;
    return keys;
}();
inline constexpr std::size_t FirstDosingKey = GeometryKeys.size();
inline constexpr std::size_t FirstSessionPlanKey = FirstDosingKey + DosingParameters.size();

// A key holding one of a few words, matched without regard to letter case. A missing key and
// any other text read as the first word, without a message: it is a preference, not a dosing
// value.
struct ChoiceKey {
    const char *name;
    std::span<const char *const> words;
};

// The units of height and weight, in the order of BodyUnits: "US" (inches and pounds, the
// default) or "Metric" (centimetres and kilograms).
inline constexpr std::array<const char *, 2> UnitsWords{"US", "Metric"};
static_assert(int(BodyUnits::InchesPounds) == 0 && int(BodyUnits::CentimetresKilograms) == 1);

// Every choice the main window keeps, read and written after its numbers.
inline constexpr std::array<ChoiceKey, 1> MainWindowChoices{{{"Units", UnitsWords}}};

// A stored text that is not a number, or a number its key does not accept; its key's default is
// used instead.
struct Unreadable {
    QString key;
    QString text;
    float defaultValue = 0;
};

struct Loaded {
    QList<float> values; // one per key asked for, in their order
    QList<int> choices;  // the index of the word of each choice key asked for, in their order
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

// Reads every key from one reading of the store. A missing key takes its default, and so does a
// key whose text is not a number or a number it does not accept; every other key keeps its
// stored value.
Loaded load(const SettingsStore &store, std::span<const NumberKey> keys,
            std::span<const ChoiceKey> choiceKeys = {});

// The keys' written names with the values as text, in the user's number format.
QList<SettingsEntry> entries(std::span<const NumberKey> keys, std::span<const float> values);
// The keys' names with the word each choice picks.
QList<SettingsEntry> entries(std::span<const ChoiceKey> keys, std::span<const int> choices);

// Saves the entries in one replacement of the store.
bool save(const SettingsStore &store, const QList<SettingsEntry> &entries);

} // namespace StoredSettings
