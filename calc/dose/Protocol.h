#pragma once

#include "calc/dose/DoseValues.h"
#include "calc/dose/LevelUnits.h"
#include "calc/dose/ReleaseRule.h"
#include "calc/dose/SessionPlan.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A study's limits on a dose. Each is optional; a dose over one is computed and shown all the
// same, and the operator is told which limit it passes.
struct ProtocolLimits {
    std::optional<float> ethanolPerKg; // g of ethanol per kg of body weight
    std::optional<float> totalMl;      // ml of total beverage
    std::optional<float> target;       // the target, in the protocol's unit of levels

    bool operator==(const ProtocolLimits &) const = default;
    bool any() const { return ethanolPerKg || totalMl || target; }
};

// Whether `limit` may be one of a protocol's limits, typed or read from its file: a number above 0.
bool acceptsLimit(float limit);
// Whether `sd` may be the spread of a breath device's readings, typed or read from a protocol's
// file: a finite number above 0.
bool acceptsReadingSd(float sd);

// How often a session's readings fall due (see calc/session/SessionSchedule.h). By default every 15
// minutes once drinking has ended and the mouth-alcohol wait is over; with
// readingsDuringDrinking, every readingEveryMinutes from the start of drinking, without waiting.
struct ProtocolSchedule {
    static constexpr int DefaultReadingEveryMinutes = 15;
    static constexpr int LeastReadingEveryMinutes = 1;
    static constexpr int MostReadingEveryMinutes = 120;

    int readingEveryMinutes = DefaultReadingEveryMinutes;
    bool readingsDuringDrinking = false;

    bool operator==(const ProtocolSchedule &) const = default;
};

// A study's fixed parameters, shared between sites in a small text file: the target in its unit
// of levels, the drinking period, proof and mixer ratio, the session plan's choices and the
// limits.
struct Protocol {
    QString name;
    LevelScale level;
    float target = 0.08f; // in `level`
    float drinkingPeriod = 40;
    float proof = 200;
    float mixerRatio = 6;
    int portions = SessionPlanLimits::DefaultPortions;
    float releaseLevel = float(SessionPlanLimits::DefaultReleaseLevel); // in `level`
    ProtocolLimits limits;
    // The standard deviation of one reading of the lab's device, in `level`: the personal
    // forecast's reading noise; none for its default.
    std::optional<float> readingSd;
    ProtocolSchedule schedule;
    ReleaseRule release; // how many readings release a participant

    bool operator==(const Protocol &) const = default;
    // The protocol's number for a dosing parameter (the target in its own unit); none for the
    // participant's values.
    std::optional<float> parameter(DoseValue value) const;
};

// What reading a protocol file gave: the protocol, or what is wrong with it, naming the key.
struct ProtocolReading {
    std::optional<Protocol> protocol;
    QString error; // "the key "proof" is 0, not a number above 0"; empty when read
    // From a file: the SHA-256 of its bytes as they were read (lower-case hex), which a session
    // dosed under the protocol records; empty when nothing could be read.
    QByteArray sha256 = {};
};

// The file is JSON: an object with "name", "target" (an object with "value", "unit" and
// "breathRatio"), "drinkingPeriodMinutes", "proof", "mixerRatio", "portions", "releaseLevel" (in
// the target's unit), an optional "limits" object with "ethanolGramsPerKg", "totalBeverageMl"
// and "target", an optional "device" object with "readingSd" (in the target's unit), and an
// optional "schedule" object with "readingEveryMinutes" (a whole number from 1 to 120) and
// "readingsDuringDrinking" (true or false), each of which may be left out for its default, and an
// optional "release" object with "confirmingReadings" and "minutesApart", each optional too.
// Numbers are written as text ("0.08") so that they read back as the very same 32-bit floats;
// plain JSON numbers are read too. Every key is checked, and a key given twice in one object is
// refused, where a JSON reader would quietly keep the last; the first problem is named and
// nothing is taken from a file with a problem.
ProtocolReading readProtocol(const QByteArray &bytes);
QByteArray writeProtocol(const Protocol &protocol);

// The file at `path`, read as readProtocol reads it; an error says why it could not be read.
ProtocolReading readProtocolFile(const QString &path);
// Writes the file through SafeWrite (the old file stays as it was if anything fails); empty when
// saved, else why not, in the system's words ("No space left on device").
QString writeProtocolFile(const QString &path, const Protocol &protocol);

// The SHA-256 of a protocol file's bytes, lower-case hex, as ProtocolReading::sha256 gives it.
QByteArray protocolSha256(const QByteArray &bytes);
