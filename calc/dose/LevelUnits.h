#pragma once

#include <QLocale>
#include <QString>
#include <array>
#include <optional>
#include <string_view>

// The units a lab writes alcohol levels in: blood in g/100 ml (the calculation's own, the
// default), g/L or mg/100 ml, or breath in g/210 L, mg/L or µg/100 ml read at a blood/breath
// ratio. Every level the operator types or reads (the target, the release level, the plan's
// peak and chart) is in the lab's unit; the calculation works in g/100 ml of blood.
enum class LevelUnit {
    GramsPer100Ml, // blood, the default
    GramsPerLitre,
    MilligramsPer100Ml,
    GramsPer210Litres, // breath
    MilligramsPerLitre,
    MicrogramsPer100Ml,
};

enum class LevelKind { Blood, Breath };

struct LevelUnitInfo {
    LevelUnit unit;
    LevelKind kind;
    // A level t in this unit is float32(t / divisor) g/100 ml of blood, or float32(t x R /
    // divisor) for breath at the ratio R; the arithmetic inside is in double precision.
    double divisor;
    const char *text;     // after a number: "mg/L"
    const char *option;   // on the command line and in the settings: "mg/L"
    const char *menuText; // "Breath, mg/L"
    const char *caption;  // in a sentence: "mg/L of breath"
};

inline constexpr std::array<LevelUnitInfo, 6> LevelUnits{{
    {LevelUnit::GramsPer100Ml, LevelKind::Blood, 1, "g/100 ml", "g/100ml", "Blood, g/100 ml (BAL)",
     "g/100 ml of blood"},
    {LevelUnit::GramsPerLitre, LevelKind::Blood, 10, "g/L", "g/L", "Blood, g/L", "g/L of blood"},
    {LevelUnit::MilligramsPer100Ml, LevelKind::Blood, 1000, "mg/100 ml", "mg/100ml",
     "Blood, mg/100 ml", "mg/100 ml of blood"},
    {LevelUnit::GramsPer210Litres, LevelKind::Breath, 2100, "g/210 L", "g/210L", "Breath, g/210 L",
     "g/210 L of breath"},
    {LevelUnit::MilligramsPerLitre, LevelKind::Breath, 10000, "mg/L", "mg/L", "Breath, mg/L",
     "mg/L of breath"},
    {LevelUnit::MicrogramsPer100Ml, LevelKind::Breath, 1000000, "\u00b5g/100 ml", "ug/100ml",
     "Breath, \u00b5g/100 ml", "\u00b5g/100 ml of breath"},
}};

constexpr const LevelUnitInfo &infoOf(LevelUnit unit)
{
    return LevelUnits[std::size_t(unit)];
}

// One field of every unit, in the table's order, as the settings' words and captions need them.
template <const char *LevelUnitInfo::*Field> constexpr std::array<const char *, 6> levelUnitTexts()
{
    std::array<const char *, 6> texts{};
    for (std::size_t i = 0; i < LevelUnits.size(); ++i)
        texts[i] = LevelUnits[i].*Field;
    return texts;
}

// The blood/breath ratio: 2100 unless the lab chooses another; 2000, 2100 and 2300 are the
// usual ones.
namespace BreathRatio {
inline constexpr float Default = 2100;
inline constexpr float Lowest = 1000;
inline constexpr float Highest = 4000;
inline constexpr std::array<float, 3> Usual{2000, 2100, 2300};
} // namespace BreathRatio

// A ratio from 1000 to 4000 (and a number).
bool acceptsBreathRatio(float ratio);

// The unit of every level, and the ratio breath units are read at.
struct LevelScale {
    LevelUnit unit = LevelUnit::GramsPer100Ml;
    float breathRatio = BreathRatio::Default;

    bool operator==(const LevelScale &) const = default;
    const LevelUnitInfo &info() const { return infoOf(unit); }
    bool breath() const { return info().kind == LevelKind::Breath; }
    bool isDefault() const { return unit == LevelUnit::GramsPer100Ml; }

    // A level in this unit as the g/100 ml of blood the calculation uses, and back for display.
    float toBal(float level) const;
    float fromBal(float bal) const;
    // The same in double precision, for a plan's levels, which are doubles.
    double fromBal(double bal) const;
    // The level to show for `bal` g/100 ml: of the numbers of at most 7 significant digits near
    // fromBal(bal), the shortest that toBal turns back into exactly `bal`, so that a level shown
    // and read again leaves the dose as it was; fromBal(bal) where there is none.
    float shownLevel(float bal) const;
    // A typed level as a table or a sentence shows it converted: in double from the number as
    // typed (TypedDouble), rounded to 7 significant digits, so that 0.3 mg/L at 2000:1 is 0.06
    // g/100 ml; in g/100 ml, where nothing is converted, the number as typed. The dose itself
    // keeps toBal's 32-bit float.
    double balToShow(float level) const;
    // The same the other way: a level typed in g/100 ml (a target BAL) in this unit.
    double levelToShow(float bal) const;

    // "BAL" for blood, "BrAC" for breath.
    QString levelName() const;
    // "mg/L"
    QString unitText() const;
    // "2000:1"
    QString ratioText(const QLocale &locale = QLocale()) const;
};

// A level as the operator typed it, with the unit and ratio it was typed in.
struct TypedLevel {
    float value = 0;
    LevelScale scale;
};

// The level as typed while it still stands for `bal` in `level`: typed in that very unit and
// ratio, and converting to `bal` to the bit. None when nothing was typed or it no longer stands
// for it (the BAL or the unit has changed since): the BAL is then shown converted instead.
std::optional<float> typedLevelFor(const std::optional<TypedLevel> &typed, float bal,
                                   const LevelScale &level);

// The unit named `text` on the command line or in the settings: the option texts in any letter
// case, and "µg/100ml" for "ug/100ml".
std::optional<LevelUnit> levelUnitFromText(std::string_view text);
