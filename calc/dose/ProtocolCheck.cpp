#include "calc/dose/ProtocolCheck.h"

#include "calc/dose/DoseValues.h"
#include "calc/dose/NumberText.h"
#include "calc/dose/Plausibility.h"

#include <QStringList>
#include <algorithm>
#include <bit>
#include <cstdint>

namespace {

bool sameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The decimals a limit was given with, as its shortest text shows them; at least two. A value
// over it is shown with as many, so that "0.685 (limit 0.684)" is not "0.69 (limit 0.68)".
int decimalsOf(float limit)
{
    constexpr int Fewest = 2;
    const QString text = SingleToText(limit, QLocale::c());
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point < 0 || text.contains(QLatin1Char('E')))
        return Fewest;
    return std::max(Fewest, int(text.size() - point - 1));
}

QString withUnit(float value, const QString &unit, const QLocale &locale)
{
    const QString number = SingleToText(value, locale);
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

} // namespace

QList<LimitBreach> limitBreaches(const CalculatedDose &dose, const Protocol &protocol)
{
    const ProtocolLimits &limits = protocol.limits;
    QList<LimitBreach> breaches;
    const std::optional<double> perKg = ethanolPerKg(dose);
    if (limits.ethanolPerKg && perKg && *perKg > *limits.ethanolPerKg)
        breaches.append({LimitBreach::Kind::EthanolPerKg, *perKg, *limits.ethanolPerKg});
    if (limits.totalMl && dose.state.TotDose > *limits.totalMl)
        breaches.append({LimitBreach::Kind::TotalMl, double(dose.state.TotDose), *limits.totalMl});
    // Judged in g/100 ml, whatever unit the dose was given in, and told in the protocol's.
    if (limits.target && dose.state.BAL > protocol.level.toBal(*limits.target))
        breaches.append({LimitBreach::Kind::Target,
                         double(protocol.level.shownLevel(dose.state.BAL)), *limits.target});
    return breaches;
}

QList<ProtocolDifference> protocolDifferences(const CalculatedDose &dose,
                                              const std::optional<SessionPlanSettings> &plan,
                                              const Protocol &protocol)
{
    const DosingState &s = dose.state;
    QList<ProtocolDifference> differences;
    const auto name = [&](DoseValue value, const LevelScale &level) {
        return tableText(infoOf(value).name, level);
    };
    if (!sameBits(s.BAL, protocol.level.toBal(protocol.target)))
        differences.append({name(DoseValue::BAL, dose.level), dose.targetLevel, protocol.target,
                            dose.level.unitText(), protocol.level.unitText()});
    for (const DoseValueInfo &parameter : DosingParameters) {
        const float inProtocol = *protocol.parameter(parameter.value);
        if (!isLevel(parameter.value) && !sameBits(s.*parameter.field, inProtocol))
            differences.append({name(parameter.value, dose.level), s.*parameter.field, inProtocol});
    }
    if (plan && plan->portions != protocol.portions)
        differences.append(
            {QStringLiteral("portions"), float(plan->portions), float(protocol.portions)});
    if (plan && !sameBits(plan->releaseLevel, protocol.level.toBal(protocol.releaseLevel)))
        differences.append({QStringLiteral("release level"),
                            dose.level.shownLevel(plan->releaseLevel), protocol.releaseLevel,
                            dose.level.unitText(), protocol.level.unitText()});
    return differences;
}

QString limitBreachText(const LimitBreach &breach, const Protocol &protocol, const QLocale &locale)
{
    QString over;
    switch (breach.kind) {
    case LimitBreach::Kind::EthanolPerKg:
        over = QStringLiteral("%1 g ethanol per kg (limit %2)")
                   .arg(locale.toString(breach.value, 'f', decimalsOf(breach.limit)),
                        locale.toString(double(breach.limit), 'f', decimalsOf(breach.limit)));
        break;
    case LimitBreach::Kind::TotalMl:
        over =
            QStringLiteral("%1 ml total beverage (limit %2)")
                .arg(SingleToText(float(breach.value), locale), SingleToText(breach.limit, locale));
        break;
    case LimitBreach::Kind::Target:
        over = QStringLiteral("target %1 %2 (limit %3)")
                   .arg(protocol.level.levelName(),
                        withUnit(float(breach.value), protocol.level.unitText(), locale),
                        SingleToText(breach.limit, locale));
        break;
    }
    return QStringLiteral("over the protocol's limit: ") + over;
}

QString protocolDifferencesText(const QList<ProtocolDifference> &differences,
                                const Protocol &protocol, const QLocale &locale)
{
    if (differences.isEmpty())
        return {};
    QStringList parts;
    for (const ProtocolDifference &difference : differences)
        parts << QStringLiteral("%1 %2 (protocol %3)")
                     .arg(difference.name, withUnit(difference.given, difference.givenUnit, locale),
                          withUnit(difference.protocol, difference.protocolUnit, locale));
    return QStringLiteral("differs from protocol %1: %2")
        .arg(protocol.name, parts.join(QStringLiteral(", ")));
}
