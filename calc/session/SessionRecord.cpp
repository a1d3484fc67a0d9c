#include "calc/session/SessionRecord.h"

namespace {

bool sameInput(const DoseInput &a, const DoseInput &b)
{
    for (const DoseValueInfo &info : DoseValues) {
        if (info.field == nullptr)
            continue;
        // The target as the state's BAL; a typed target is compared on its own below.
        const float first = isLevel(info.value) ? a.state.*info.field : a.number(info.value);
        const float second = isLevel(info.value) ? b.state.*info.field : b.number(info.value);
        if (first != second)
            return false;
    }
    return a.state.Gender == b.state.Gender && a.units == b.units && a.level == b.level &&
           a.typedTarget == b.typedTarget;
}

} // namespace

bool operator==(const SessionSetup &a, const SessionSetup &b)
{
    return a.sessionCode == b.sessionCode && a.programVersion == b.programVersion &&
           a.enteredAt == b.enteredAt && a.operatorInitials == b.operatorInitials &&
           a.start == b.start && sameInput(a.input, b.input) &&
           a.plan.portions == b.plan.portions && a.plan.releaseLevel == b.plan.releaseLevel &&
           a.alcoholMl == b.alcoholMl && a.mixerMl == b.mixerMl && a.totalMl == b.totalMl &&
           a.placebo == b.placebo && a.floatMl == b.floatMl && a.protocolName == b.protocolName &&
           a.protocolSha256 == b.protocolSha256;
}

bool operator==(const SessionRecord &a, const SessionRecord &b)
{
    return a.version == b.version && a.setup == b.setup && a.entries == b.entries;
}

bool recordedDoseMatches(const SessionSetup &setup, const DoseReport &report)
{
    const DosingState &s = report.dose.state;
    return report.ok() && s.AlcDose == setup.alcoholMl && s.MixDose == setup.mixerMl &&
           s.TotDose == setup.totalMl;
}
