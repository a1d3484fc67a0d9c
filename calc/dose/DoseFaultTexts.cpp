#include "calc/dose/DoseFaultTexts.h"

#include "calc/dose/ForecastBand.h"

#include <QDir>
#include <array>

namespace {

// The words of the typed-value problems. %1 names the value (the roster's column, the option or
// the field's caption), %2 quotes what was given and, in the window, %3 is the user's decimal
// separator.
struct InputProblemWords {
    InputProblem problem;
    const char *brief;
    const char *optionMessage;
    const char *fieldMessage;
};

constexpr std::array<InputProblemWords, 5> InputProblemTable{{
    {InputProblem::Empty, "%1 is empty", "%1 is empty", "%1 is empty. Please enter a number."},
    {InputProblem::NotANumber, "%1 is not a number",
     "%1 \"%2\" is not a number; use \".\" as the decimal separator and no thousands separators",
     "%1 \"%2\" is not a number. Type digits with \"%3\" as the decimal separator and no "
     "thousands separators."},
    {InputProblem::OutOfRange, "%1 is too large for a 32-bit float",
     "%1 \"%2\" is too large for a 32-bit float",
     "%1 \"%2\" is too large: it is beyond the largest number this program can hold."},
    // The window's gender is a choice of buttons, which cannot hold either.
    {InputProblem::NoGender, "no gender", "%1 is empty", nullptr},
    {InputProblem::UnknownGender, "unknown gender", "%1 \"%2\" is not male, female, m, f, 1 or 0",
     nullptr},
}};

// `pattern` with %1, %2 and %3 replaced by `values`, in one pass, so that a value holding "%2"
// stays as it is; a pattern may use fewer of them.
QString filled(const char *pattern, std::initializer_list<QString> values)
{
    QString text;
    for (const char *c = pattern; *c; ++c) {
        const std::size_t index = std::size_t(c[1] - '1');
        if (c[0] == '%' && c[1] >= '1' && index < values.size()) {
            text += values.begin()[index];
            ++c;
        } else {
            text += QLatin1Char(*c);
        }
    }
    return text;
}

const InputProblemWords &wordsOf(InputProblem problem)
{
    for (const InputProblemWords &words : InputProblemTable) {
        if (words.problem == problem)
            return words;
    }
    return InputProblemTable[1]; // never None: a value without a problem has no words
}

// The words of the plans that cannot be made.
struct PlanProblemWords {
    PlanProblem problem;
    const char *brief;
    const char *message;
};

constexpr std::array<PlanProblemWords, 8> PlanProblemTable{{
    {PlanProblem::PortionsOutOfRange, "no plan: invalid plan options",
     "ERROR: The number of portions must be a whole number from %1 to %2."},
    {PlanProblem::ReleaseLevelNotAboveZero, "no plan: invalid plan options",
     "ERROR: The release level must be a number above 0 g/100 ml."},
    {PlanProblem::NegativeDrinkingPeriod, "no plan: negative drinking period",
     "ERROR: No session plan for this dose: its drinking period is negative."},
    {PlanProblem::NoBodyWater, "no plan: body water not above 0",
     "ERROR: No session plan for this dose: its body water is not above 0 litres."},
    {PlanProblem::PeakNotAboveZero, "no plan: expected peak BAL not above 0",
     "ERROR: No session plan for this dose: the expected peak BAL is not above 0 g/100 ml."},
    {PlanProblem::NoAlcoholToServe, "no plan: alcohol volume not above 0 ml",
     "ERROR: No session plan for this dose: its alcohol volume is not above 0 ml."},
    {PlanProblem::NegativeMixer, "no plan: mixer volume below 0 ml",
     "ERROR: No session plan for this dose: its mixer volume is below 0 ml."},
    {PlanProblem::TimesOutOfRange, "no plan: expected times too far in the future",
     "ERROR: No session plan for this dose: the expected times are too far in the future to "
     "show."},
}};

// The stored step of the calculation, as the roster's error column names it.
const char *stepName(DoseStep step)
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

const char *faultName(ArithmeticFault fault)
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

const char *faultMessage(ArithmeticFault fault)
{
    switch (fault) {
    case ArithmeticFault::InvalidOperation:
        return "an invalid arithmetic operation occurred.";
    case ArithmeticFault::DivisionByZero:
        return "division by zero.";
    case ArithmeticFault::Overflow:
    case ArithmeticFault::None:
        break;
    }
    return "a number grew too large (arithmetic overflow).";
}

} // namespace

FaultText doseFaultText(const DoseOutcome &outcome)
{
    const QString cannot = QStringLiteral("ERROR: The dose cannot be computed from these values: ");
    switch (outcome.status) {
    case DoseStatus::Done:
        return {};
    case DoseStatus::GenderNotSpecified:
        return {"no gender", QStringLiteral("ERROR: Gender Not Specified!")};
    case DoseStatus::RoundingOverflow:
        return {std::string("dose out of range: ") + stepName(outcome.step) +
                    " beyond -32768 to 32767 ml",
                cannot + (outcome.step == DoseStep::RoundMixer
                              ? QStringLiteral("the mixer volume is outside the range -32768 to "
                                               "32767 ml.")
                              : QStringLiteral("the alcohol volume is beyond the range -32768 to "
                                               "32767 ml."))};
    case DoseStatus::ArithmeticFault:
        break;
    }
    const std::string brief = std::string("arithmetic fault: ") + faultName(outcome.fault) +
                              " computing " + stepName(outcome.step);
    // The spirit volume divides by proof/200: with proof 0 that is x/0, or 0/0 when no alcohol is
    // needed at all; either way the operator's cause is the proof.
    if (outcome.step == DoseStep::SpiritMl && outcome.fault != ArithmeticFault::Overflow) {
        const QString message =
            cannot + QStringLiteral("the alcohol proof is 0 (division by zero).");
        if (outcome.fault == ArithmeticFault::DivisionByZero)
            return {"proof is 0 (division by zero)", message};
        return {brief, message};
    }
    return {brief, cannot + QLatin1String(faultMessage(outcome.fault))};
}

FaultText planFaultText(PlanProblem problem)
{
    for (const PlanProblemWords &words : PlanProblemTable) {
        if (words.problem == problem)
            return {words.brief,
                    filled(words.message, {QString::number(SessionPlanLimits::MinimumPortions),
                                           QString::number(SessionPlanLimits::MaximumPortions)})};
    }
    return {};
}

FaultText bandFaultText()
{
    return {"no band: release band too far in the future",
            QStringLiteral("ERROR: No %1 % band for this plan: its release band is too far in "
                           "the future to show.")
                .arg(BandSpreads::Percent)};
}

InputProblem inputProblemOf(const SingleFromText &number, QStringView text)
{
    if (number.ok())
        return InputProblem::None;
    if (text.trimmed().isEmpty())
        return InputProblem::Empty;
    return number.error == NumberTextError::OutOfRange ? InputProblem::OutOfRange
                                                       : InputProblem::NotANumber;
}

std::string inputProblemBrief(InputProblem problem, const QString &column)
{
    return filled(wordsOf(problem).brief, {column}).toStdString();
}

QString inputProblemMessage(InputProblem problem, const QString &option, const QString &given)
{
    return QStringLiteral("ERROR: ") + filled(wordsOf(problem).optionMessage, {option, given});
}

QString fieldProblemMessage(InputProblem problem, const QString &fieldName, const QString &typed)
{
    return QStringLiteral("ERROR: ") +
           filled(wordsOf(problem).fieldMessage,
                  {fieldName, typed.trimmed(), QLocale().decimalPoint()});
}

QString placeboMessage(PlaceboProblem problem, int smallestMl)
{
    switch (problem) {
    case PlaceboProblem::FloatNotWhole:
        return QStringLiteral("ERROR: The placebo's float must be a whole number of ml.");
    case PlaceboProblem::FloatNegative:
        return QStringLiteral("ERROR: The placebo's float cannot be below 0 ml.");
    case PlaceboProblem::FloatAboveSmallestPortion:
        return QStringLiteral("ERROR: The placebo's float cannot be more than the smallest "
                              "portion, %1 ml.")
            .arg(smallestMl);
    case PlaceboProblem::None:
        break;
    }
    return {};
}

QString genderMissingMessage()
{
    return QStringLiteral("ERROR: Must Specify Participant Gender");
}

QString checkBeforeServingMessage(const QStringList &toCheck)
{
    return QStringLiteral("WARNING: Check these values before serving: ") +
           toCheck.join(QStringLiteral("; ")) + QLatin1Char('.');
}

QString noDoseForPlanMessage()
{
    return QStringLiteral("ERROR: Calculate a dose in Input Parameters first.");
}

QString breathRatioMessage(const QLocale &locale)
{
    return QStringLiteral("ERROR: The blood/breath ratio must be a number from %1 to %2.")
        .arg(SingleToText(BreathRatio::Lowest, locale), SingleToText(BreathRatio::Highest, locale));
}

QString limitNotAboveZeroMessage(const QString &caption)
{
    return QStringLiteral("ERROR: %1 must be a number above 0 or empty.").arg(caption);
}

QString protocolUnusableMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The protocol \"%1\" cannot be used: %2. Nothing was changed.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString protocolNotReopenedMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The protocol \"%1\" used last time cannot be opened again: %2. "
                          "Pourwise goes on with the last values and no protocol.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString protocolNotSavedMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The protocol could not be saved as \"%1\": %2.")
        .arg(QDir::toNativeSeparators(file), reason);
}

QString limitsNotSavedMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("ERROR: The limits could not be saved in the protocol \"%1\": %2. The "
                          "limits are as they were.")
        .arg(QDir::toNativeSeparators(file), reason);
}
