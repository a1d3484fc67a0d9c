#pragma once

#include <QStringView>

// The operator's pseudonymous label of a session: it names the record's file, so it holds only
// letters and digits of ASCII, "-" and "_", from 1 to MaximumLength characters. It is never
// stored in the settings.
namespace SessionCode {
inline constexpr int MaximumLength = 32;
}

bool acceptsSessionCode(QStringView code);
