#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <string_view>

// Every dosing value is a 32-bit float; these two rules turn it into text and back.
//
// SingleToText writes at most 7 significant digits with trailing zeros removed and the locale's
// decimal separator. Magnitudes from 0.0001 up to below 1E+07 are written in plain form; others
// in exponent form: mantissa, "E", a sign and at least two exponent digits ("1.5E+07", "2E-05").
// A zero is always "0", never "-0". An infinity or NaN, which no reading ever gives, is written
// "inf", "nan" or either with "-", which TextToSingle refuses.
//
// TextToSingle reads an optional sign, digits with at most one decimal separator (the locale's,
// and only that one), and an optional exponent ("e" or "E", optional sign, digits). Blanks before
// and after are ignored. Thousands separators, currency symbols, "inf", "nan" and hexadecimal are
// refused. The value is rounded once, straight to the nearest 32-bit float.

enum class NumberTextError {
    None,
    NotANumber, // empty, or not of the form above
    OutOfRange, // finite text whose value lies beyond the largest 32-bit float
};

struct SingleFromText {
    float value = 0;
    NumberTextError error = NumberTextError::None;
    bool ok() const { return error == NumberTextError::None; }
};

QString SingleToText(float value, const QLocale &locale = QLocale());
SingleFromText TextToSingle(QStringView text, const QLocale &locale = QLocale());

// The text without the blanks (spaces, tabs, line ends) before and after it.
std::string_view TrimBlanks(std::string_view text);

// Locale-free forms for files and command lines: "." is the decimal separator, text is UTF-8.
std::string_view SingleToText(float value, char (&buffer)[32]);
SingleFromText TextToSingle(std::string_view text);
// The shortest text that TextToSingle reads back as exactly `value` ("0.054", "1e-05", "-0"),
// for files that must give back every bit; finite values only.
std::string_view ExactSingleToText(float value, char (&buffer)[32]);

// The number a float was typed as: the shortest text that reads back as exactly `value`, read
// as a double (0.3f gives 0.3, not 0.30000001192...). A value converted from it is computed from
// this, so that the conversion adds no digits the operator did not type.
double TypedDouble(float value);
// A converted value as tables and sentences show it: rounded to at most 7 significant digits
// (177.80035560 gives 177.8004), so that its shortest text has no more.
double SevenDigits(double value);
// The shortest text that reads back as exactly `value`, "." and no thousands separators, as the
// study's tables write a typed or converted number ("0.06", "177.8004").
std::string_view ExactDoubleToText(double value, char (&buffer)[32]);
