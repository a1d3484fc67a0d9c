#include "calc/dose/LevelUnits.h"

#include "calc/dose/NumberText.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

bool acceptsBreathRatio(float ratio)
{
    return ratio >= BreathRatio::Lowest && ratio <= BreathRatio::Highest;
}

std::optional<float> typedLevelFor(const std::optional<TypedLevel> &typed, float bal,
                                   const LevelScale &level)
{
    if (typed && typed->scale == level &&
        std::bit_cast<std::uint32_t>(level.toBal(typed->value)) ==
            std::bit_cast<std::uint32_t>(bal))
        return typed->value;
    return std::nullopt;
}

float LevelScale::toBal(float level) const
{
    const double factor = breath() ? double(breathRatio) : 1.0;
    return float(double(level) * factor / info().divisor);
}

float LevelScale::fromBal(float bal) const
{
    return float(fromBal(double(bal)));
}

double LevelScale::fromBal(double bal) const
{
    const double level = bal * info().divisor;
    return breath() ? level / double(breathRatio) : level;
}

float LevelScale::shownLevel(float bal) const
{
    const float level = fromBal(bal);
    if (isDefault() || !std::isfinite(level))
        return level;
    for (int digits = 1; digits <= 7; ++digits) {
        char text[32];
        const auto written =
            std::to_chars(text, text + sizeof text, level, std::chars_format::general, digits);
        const SingleFromText candidate = TextToSingle(std::string_view(text, written.ptr));
        if (candidate.ok() && std::bit_cast<std::uint32_t>(toBal(candidate.value)) ==
                                  std::bit_cast<std::uint32_t>(bal))
            return candidate.value;
    }
    return level;
}

double LevelScale::balToShow(float level) const
{
    const double typed = TypedDouble(level);
    if (isDefault())
        return typed;
    const double factor = breath() ? double(breathRatio) : 1.0;
    return SevenDigits(typed * factor / info().divisor);
}

double LevelScale::levelToShow(float bal) const
{
    const double typed = TypedDouble(bal);
    return isDefault() ? typed : SevenDigits(fromBal(typed));
}

QString LevelScale::levelName() const
{
    return breath() ? QStringLiteral("BrAC") : QStringLiteral("BAL");
}

QString LevelScale::unitText() const
{
    return QString::fromUtf8(info().text);
}

QString LevelScale::ratioText(const QLocale &locale) const
{
    return SingleToText(breathRatio, locale) + QStringLiteral(":1");
}

std::optional<LevelUnit> levelUnitFromText(std::string_view text)
{
    const QString given = QString::fromUtf8(text.data(), qsizetype(text.size()))
                              .replace(QChar(0x00b5), QLatin1Char('u'))  // micro sign
                              .replace(QChar(0x03bc), QLatin1Char('u')); // Greek mu
    for (const LevelUnitInfo &info : LevelUnits) {
        if (given.compare(QLatin1String(info.option), Qt::CaseInsensitive) == 0)
            return info.unit;
    }
    return std::nullopt;
}
