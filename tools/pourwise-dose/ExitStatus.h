#pragma once

// What scripts read from the exit status of pourwise-dose.
namespace ExitStatus {
inline constexpr int AllComputed = 0;       // every participant has volumes
inline constexpr int SomeNotComputed = 1;   // at least one participant or row has an error
inline constexpr int UsageOrFileError = 2;  // bad arguments, a missing column, unreadable input
inline constexpr int OverProtocolLimit = 3; // all computed, but over a limit of the protocol
} // namespace ExitStatus
