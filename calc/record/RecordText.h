#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <cstdint>
#include <optional>

// The text of the session record's cells that are neither numbers nor free text, written and read
// in one place each.
namespace RecordText {

// The start of drinking, local time to the minute: "2026-12-08T14:05".
QByteArray startText(const QDateTime &start);
std::optional<QDateTime> startFrom(QByteArrayView text);

// When an entry was entered, UTC to the second: "2026-12-08T21:04:05Z"; empty for an entry that
// has no such time (one carried over from a version-1 file).
QByteArray enteredAtText(const QDateTime &enteredAt);
std::optional<QDateTime> enteredAtFrom(QByteArrayView text);

// The gender as the file of `version` codes it: "m" and "f" as rosters write them; version 1
// wrote 1 and 0. Any other gender is written as its number, which no reader takes.
QByteArray genderText(std::int16_t gender, int version);
std::optional<std::int16_t> genderFrom(QByteArrayView text, int version);

} // namespace RecordText
