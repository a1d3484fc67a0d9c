#pragma once

#include <QStringView>

// What every entry of a session's record carries beside its values: the operator's initials,
// and for a correction or a void the reason. Both are checked wherever they are typed or read.
namespace EntryFields {
inline constexpr int MaximumInitials = 8;
inline constexpr int MaximumReasonLength = 200; // characters
} // namespace EntryFields

// 1 to MaximumInitials letters (of any script), nothing else.
bool acceptsOperatorInitials(QStringView initials);
// 1 to MaximumReasonLength characters.
bool acceptsReason(QStringView reason);
