#pragma once
// Number rules shared by every reader and writer: the leading-number rule,
// whole-number conversion, the numeric test and the number formats.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

/// Leading-number rule: leading blanks skipped, the longest prefix of the form
/// [sign] digits [. digits] [E|D [sign] digits], else 0. Anything after it is ignored.
double Val(std::string_view text);

/// Numeric test: blanks around, optional sign, digits with an optional full stop,
/// optional exponent. At least one digit. Nothing else.
bool IsNumeric(std::string_view text);

/// Nearest whole number, halves to even; empty when not finite or outside 16 bits.
std::optional<int16_t> ToInt16(double value);

/// "Integer" of the definition file: the leading number, rounded (halves to even).
/// Empty when the result does not fit 16 bits.
std::optional<int16_t> IntegerOf(std::string_view text);

/// "Whole number" of the definition file: the text must pass the numeric test and
/// fit 16 bits after rounding; otherwise empty.
std::optional<int16_t> WholeNumberOf(std::string_view text);

/// The general format of doubles: at most 15 significant digits, no trailing zeros,
/// exponent form ("1E+15", "1.5E-05") outside 1E-05 <= |v| < 1E+15. A value that is
/// not finite has no number to show and gives "x", the missing-value mark.
std::string FormatGeneral(double value);

/// The number FormatGeneral's text stands for: Val(FormatGeneral(value)) without the
/// text, NaN where that text is "x". Zero of either sign gives +0.
double RoundGeneral(double value);

/// A number pattern of the definition file: "0.000", "0.###", "0.0", "0", "#",
/// "#,##0.00", "0.00%", "0.00E+00", literal text around the digits, and the named
/// formats "General Number", "Fixed", "Standard", "Percent", "Scientific".
/// Rounding is decimal, halves away from zero. A pattern ending in a decimal point
/// with no digits shown after it drops the point ("2", not "2.").
std::string FormatNumber(double value, std::string_view pattern);

}  // namespace vantrel
