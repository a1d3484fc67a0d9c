#pragma once

#include "calc/dose/CalcDose.h"
#include "calc/dose/NumberText.h"
#include "calc/dose/Placebo.h"
#include "calc/dose/SessionPlan.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <string>

// Every fault of the dose model and of the values given for it, each kind worded in one place and
// in two forms: a few words without commas for a roster's error column, which reads well in a
// spreadsheet cell, and the full message, starting "ERROR: ".
struct FaultText {
    std::string brief;
    QString message;
};

// Why a dose could not be computed; empty for a dose that was.
FaultText doseFaultText(const DoseOutcome &outcome);
// Why there is no session plan; empty for a plan.
FaultText planFaultText(PlanProblem problem);
// Why a plan has no band around it: its release band's times are beyond what a clock can show.
FaultText bandFaultText();

// What is wrong with a typed value.
enum class InputProblem {
    None,
    Empty,
    NotANumber,
    OutOfRange,    // beyond the largest 32-bit float
    NoGender,      // the gender is empty
    UnknownGender, // the gender is not one of the accepted words
};

// The problem of a number's text as TextToSingle read it: blank text is empty.
InputProblem inputProblemOf(const SingleFromText &number, QStringView text);

// The roster's words: "height is not a number", "no gender".
std::string inputProblemBrief(InputProblem problem, const QString &column);
// The command line's message, naming the option and quoting what was given:
// "ERROR: --proof "x" is not a number; use "." as the decimal separator and no thousands
// separators".
QString inputProblemMessage(InputProblem problem, const QString &option, const QString &given);
// The window's message, naming the field by its caption and quoting what was typed; numbers are
// typed with the user's decimal separator.
QString fieldProblemMessage(InputProblem problem, const QString &fieldName, const QString &typed);

// Why a placebo's float cannot be used; `smallestMl` is the smallest portion's total.
QString placeboMessage(PlaceboProblem problem, int smallestMl);

// The windows' own messages.
// No gender chosen before Calculate NOW.
QString genderMissingMessage();
// The values of a dose computed all the same that the operator must check before serving.
QString checkBeforeServingMessage(const QStringList &toCheck);
// The Session Plan asked for before any dose was calculated.
QString noDoseForPlanMessage();
// A blood/breath ratio typed outside the ratios accepted.
QString breathRatioMessage(const QLocale &locale = QLocale());
// A protocol's limit that is neither empty nor a number above 0; `caption` names its field.
QString limitNotAboveZeroMessage(const QString &caption);
// A protocol file that cannot be used, with the reason: opened now, or remembered from the last
// run (then it is forgotten); saved from the current values; its limits changed.
QString protocolUnusableMessage(const QString &file, const QString &reason);
QString protocolNotReopenedMessage(const QString &file, const QString &reason);
QString protocolNotSavedMessage(const QString &file, const QString &reason);
QString limitsNotSavedMessage(const QString &file, const QString &reason);
