#pragma once

// How many counting readings in a row at or below the release level release a participant, and
// how many minutes at least each is after the one before; a protocol may ask for more than one.
namespace ReleaseLimits {
inline constexpr int MinimumReadings = 1;
inline constexpr int MaximumReadings = 5;
inline constexpr int MinimumMinutesApart = 1;
inline constexpr int MaximumMinutesApart = 60;
inline constexpr int DefaultMinutesApart = 5;
} // namespace ReleaseLimits

struct ReleaseRule {
    int confirmingReadings = ReleaseLimits::MinimumReadings;
    int minutesApart = ReleaseLimits::DefaultMinutesApart;

    bool operator==(const ReleaseRule &) const = default;
};

// A whole number from ReleaseLimits::MinimumReadings to MaximumReadings, and of minutes from
// MinimumMinutesApart to MaximumMinutesApart.
bool acceptsConfirmingReadings(float readings);
bool acceptsMinutesApart(float minutes);
