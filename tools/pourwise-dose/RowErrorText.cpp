#include "tools/pourwise-dose/RowErrorText.h"

namespace {

void startProblem(std::string &text)
{
    if (!text.empty())
        text += "; ";
}

std::string_view stepName(DoseStep step)
{
    switch (step) {
    case DoseStep::HeightCm:
        return "height in cm";
    case DoseStep::WeightKg:
        return "weight in kg";
    case DoseStep::Hours:
        return "hours";
    case DoseStep::BodyWater:
        return "body water";
    case DoseStep::AlcoholGrams:
        return "grams of alcohol";
    case DoseStep::PureAlcoholMl:
        return "pure alcohol volume";
    case DoseStep::SpiritMl:
    case DoseStep::RoundAlcohol:
        return "alcohol volume";
    case DoseStep::MixerMl:
    case DoseStep::RoundMixer:
        return "mixer volume";
    case DoseStep::TotalMl:
        return "total volume";
    case DoseStep::None:
        break;
    }
    return "dose";
}

std::string_view faultName(ArithmeticFault fault)
{
    switch (fault) {
    case ArithmeticFault::InvalidOperation:
        return "invalid operation";
    case ArithmeticFault::DivisionByZero:
        return "division by zero";
    case ArithmeticFault::Overflow:
    case ArithmeticFault::None:
        break;
    }
    return "overflow";
}

} // namespace

void RowErrorText::appendInputProblems(const ParticipantReading &reading, std::string &text)
{
    for (DoseField field : AllDoseFields) {
        const InputProblem problem = reading.problems[indexOf(field)];
        if (problem == InputProblem::None)
            continue;
        startProblem(text);
        if (field == DoseField::Gender) {
            text += problem == InputProblem::Empty ? "no gender" : "unknown gender";
            continue;
        }
        text += doseFieldName(field, reading.units);
        switch (problem) {
        case InputProblem::Empty:
            text += " is empty";
            break;
        case InputProblem::OutOfRange:
            text += " is too large for a 32-bit float";
            break;
        default:
            text += " is not a number";
            break;
        }
    }
}

void RowErrorText::appendDoseFault(const DoseOutcome &outcome, std::string &text)
{
    startProblem(text);
    switch (outcome.status) {
    case DoseStatus::Done:
        return;
    case DoseStatus::GenderNotSpecified:
        text += "no gender";
        return;
    case DoseStatus::RoundingOverflow:
        text += "dose out of range: ";
        text += stepName(outcome.step);
        text += " beyond -32768 to 32767 ml";
        return;
    case DoseStatus::ArithmeticFault:
        break;
    }
    if (outcome.step == DoseStep::SpiritMl && outcome.fault == ArithmeticFault::DivisionByZero) {
        text += "proof is 0 (division by zero)";
        return;
    }
    text += "arithmetic fault: ";
    text += faultName(outcome.fault);
    text += " computing ";
    text += stepName(outcome.step);
}

void RowErrorText::appendFieldCount(std::size_t rowFields, std::size_t headerFields,
                                    std::string &text)
{
    startProblem(text);
    text += "row has ";
    text += std::to_string(rowFields);
    text += " fields but the header has ";
    text += std::to_string(headerFields);
}
