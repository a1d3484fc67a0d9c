#include "calc/study/StudyCells.h"

#include "calc/dose/NumberText.h"
#include "calc/record/RecordText.h"
#include "calc/session/SessionRecord.h"
#include "calc/session/SessionText.h"

#include <charconv>
#include <cmath>

QByteArray StudyCells::text(const QString &value)
{
    return value.toUtf8();
}

QByteArray StudyCells::beverage(bool placebo)
{
    return placebo ? "placebo" : "alcohol";
}

QByteArray StudyCells::gender(std::int16_t gender)
{
    return RecordText::genderText(gender, RecordVersion::Current);
}

QByteArray StudyCells::whole(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray StudyCells::single(float value)
{
    // A value derived from an extreme one may overflow; an infinity is no number to analyse.
    if (!std::isfinite(value))
        return {};
    char buffer[32];
    const std::string_view written = ExactSingleToText(value, buffer);
    return QByteArray(written.data(), qsizetype(written.size()));
}

QByteArray StudyCells::number(double value)
{
    // Beyond the largest float the calculation overflows, as single() leaves it empty.
    if (!std::isfinite(float(value)))
        return {};
    char buffer[32];
    const std::string_view written = ExactDoubleToText(value, buffer);
    return QByteArray(written.data(), qsizetype(written.size()));
}

QByteArray StudyCells::modelLevel(double level, const LevelScale &scale)
{
    return expectedLevelText(level, scale, QLocale::c()).toUtf8();
}

QByteArray StudyCells::difference(double difference, const LevelScale &scale)
{
    // differenceText puts "+" before a positive difference, which a number in a table lacks.
    QByteArray written = differenceText(difference, scale, QLocale::c()).toUtf8();
    if (written.startsWith('+'))
        written.remove(0, 1);
    return written;
}

QByteArray StudyCells::statistic(double value)
{
    if (!std::isfinite(value))
        return {};
    char buffer[64];
    const char *end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4).ptr;
    return QByteArray(buffer, qsizetype(end - buffer));
}

QByteArray StudyCells::minutes(double value)
{
    char buffer[64];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return QByteArray(buffer, qsizetype(end - buffer));
}
