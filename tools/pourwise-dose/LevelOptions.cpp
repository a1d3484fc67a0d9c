#include "tools/pourwise-dose/LevelOptions.h"

#include "calc/dose/DoseValues.h"
#include "calc/dose/NumberText.h"

#include <QCommandLineParser>
#include <QStringList>

namespace {

const QString LevelUnitOption = QStringLiteral("level-unit");
const QString BreathRatioOption = QStringLiteral("breath-ratio");

QString number(float value)
{
    char buffer[32];
    const std::string_view text = SingleToText(value, buffer);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QStringList unitOptions(std::optional<LevelKind> kind = std::nullopt)
{
    QStringList units;
    for (const LevelUnitInfo &info : LevelUnits) {
        if (!kind || info.kind == *kind)
            units << QString::fromLatin1(info.option);
    }
    return units;
}

QString unitList()
{
    const QStringList units = unitOptions();
    return units.mid(0, units.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           units.constLast();
}

} // namespace

void LevelOptions::add(QCommandLineParser &parser)
{
    parser.addOption({LevelUnitOption, {}, QStringLiteral("UNIT")});
    parser.addOption({BreathRatioOption, {}, QStringLiteral("R")});
}

bool LevelOptions::read(const QCommandLineParser &parser, Choice &choice, QString &errorText)
{
    if (parser.isSet(LevelUnitOption)) {
        const QByteArray text = parser.value(LevelUnitOption).trimmed().toUtf8();
        const std::optional<LevelUnit> unit =
            levelUnitFromText(std::string_view(text.constData(), std::size_t(text.size())));
        if (!unit) {
            errorText = QStringLiteral("--level-unit \"%1\" is not %2")
                            .arg(parser.value(LevelUnitOption), unitList());
            return false;
        }
        choice.scale.unit = *unit;
        choice.unitGiven = true;
    }
    if (parser.isSet(BreathRatioOption)) {
        const QByteArray text = parser.value(BreathRatioOption).toUtf8();
        const SingleFromText ratio =
            TextToSingle(std::string_view(text.constData(), std::size_t(text.size())));
        if (!ratio.ok() || !acceptsBreathRatio(ratio.value)) {
            errorText = QStringLiteral("--breath-ratio \"%1\" is not a number from %2 to %3")
                            .arg(parser.value(BreathRatioOption), number(BreathRatio::Lowest),
                                 number(BreathRatio::Highest));
            return false;
        }
        choice.scale.breathRatio = ratio.value;
    }
    choice.given = choice.unitGiven || parser.isSet(BreathRatioOption);
    return true;
}

QString LevelOptions::helpText()
{
    const DoseValueInfo &target = infoOf(DoseValue::BAL);
    return QStringLiteral(
               "Levels, in the lab's own unit:\n"
               "  --level-unit UNIT  unit of levels (default %4, the calculation's own):\n"
               "                 --target, --release and the printed peak are in it; blood\n"
               "                 %1, breath %2\n"
               "                 (\"%3\" too), in any letter case\n"
               "  --breath-ratio R  blood/breath ratio of breath units (default %7), from %5\n"
               "                 to %6\n"
               "  --%8 %9     %10\n"
               "A level t in a blood unit is t/10 g/100 ml for g/L and t/1000 for mg/100ml; in\n"
               "a breath unit at the ratio R it is t x R/2100 for g/210L, t x R/10000 for mg/L\n"
               "and t x R/1000000 for ug/100ml, each rounded to a 32-bit float. With any of\n"
               "these options --explain also prints bal, the g/100 ml used. With --level-unit\n"
               "--plan also prints peak_level after peak_bal (4 significant digits), and a\n"
               "roster may have a %8 column instead of bal; its plan columns gain\n"
               "peak_level.\n"
               "Examples: --level-unit g/L --target 0.8 (blood) and --level-unit mg/L\n"
               "--breath-ratio 2000 --target 0.4 (breath) give the dose of --bal 0.08.\n")
        .arg(unitOptions(LevelKind::Blood).join(QStringLiteral(", ")),
             unitOptions(LevelKind::Breath).join(QStringLiteral(", ")),
             QString::fromUtf8("\u00b5g/100ml"), QString::fromLatin1(LevelUnits[0].option),
             number(BreathRatio::Lowest), number(BreathRatio::Highest),
             number(BreathRatio::Default), QLatin1String(target.levelColumn),
             QLatin1String(target.levelArgument), QLatin1String(target.levelHelp));
}
