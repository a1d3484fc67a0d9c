#pragma once

#include "settings/SettingsStore.h"

#include <QString>
#include <array>

// The values the main window keeps between runs: its outer geometry and the four dosing
// parameters, all in section "Settings" of the application named by the application title.
namespace StoredSettings {

inline constexpr const char *Section = "Settings";

enum class Value { MainLeft, MainTop, MainWidth, MainHeight, BAL, DD, Proof, Ratio };

struct Key {
    Value value;
    const char *readName;
    const char *writtenName; // the drinking period is read as "DD" and written as "dd"
    double defaultValue;     // geometry in twips
};

// In the order in which they are read and written.
inline constexpr std::array<Key, 8> InOrder{{
    {Value::MainLeft, "MainLeft", "MainLeft", 1000},
    {Value::MainTop, "MainTop", "MainTop", 1000},
    {Value::MainWidth, "MainWidth", "MainWidth", 6500},
    {Value::MainHeight, "MainHeight", "MainHeight", 6500},
    {Value::BAL, "BAL", "BAL", 0.08},
    {Value::DD, "DD", "dd", 40},
    {Value::Proof, "Proof", "Proof", 200},
    {Value::Ratio, "Ratio", "Ratio", 6},
}};

// A stored number as read: the text found (or the default's text) and its value when readable.
struct Reading {
    QString text;
    float value = 0;
    bool ok = false;
    bool outOfRange = false; // a number, but beyond the 32-bit float range
};

// Reads one key and turns its text into a number with the user's number rules. The default goes
// through the same rules, so it reads back exactly as a stored default would.
Reading read(const SettingsStore &store, const Key &key);

// Saves a number as text with the user's number rules under the key's written name.
bool save(const SettingsStore &store, const Key &key, float value);

} // namespace StoredSettings
