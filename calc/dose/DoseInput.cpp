#include "calc/dose/DoseInput.h"

float DoseInput::given(DoseValue value) const
{
    if (isLevel(value))
        return typedTarget ? *typedTarget : level.shownLevel(state.*infoOf(value).field);
    return number(value);
}

float &DoseInput::number(DoseValue value)
{
    if (metric() && value == DoseValue::Height)
        return bodyInCm.heightCm;
    if (metric() && value == DoseValue::Weight)
        return bodyInCm.weightKg;
    return state.*infoOf(value).field;
}

DoseInput inLevelScale(DoseInput input, const LevelScale &level)
{
    if (input.level == level)
        return input;
    if (input.typedTarget)
        input.state.BAL = input.level.toBal(*input.typedTarget);
    input.typedTarget.reset();
    input.level = level;
    return input;
}
