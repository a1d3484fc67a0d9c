#pragma once

#include <QStringView>
#include <array>

// What every entry of a session carries besides its values: the initials of the operator who made
// it and, for a correction or a void, the reason.

namespace OperatorInitials {
inline constexpr int MaximumLength = 8;
}

// 1 to OperatorInitials::MaximumLength letters, of any script: never a control character.
bool acceptsOperatorInitials(QStringView initials);

namespace ChangeReason {
inline constexpr int MaximumLength = 200;
// The reasons offered first; any other reason may be typed.
inline constexpr std::array<const char *, 3> Standard{"mistyped value", "wrong time",
                                                      "entered for the wrong session"};
// The reason of the correction that notes a version-1 record continued in the current version.
inline constexpr const char *ContinuedFromVersionOne = "continued_from_version1";
} // namespace ChangeReason

enum class ReasonProblem {
    None,
    Missing,          // empty, or blanks only
    TooLong,          // more than ChangeReason::MaximumLength characters
    ControlCharacter, // a tab, a line break or another control character (ControlCharacters.h)
};

ReasonProblem reasonProblem(QStringView reason);
