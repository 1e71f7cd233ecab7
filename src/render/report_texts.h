#pragma once
// Small text rules of the report pages: length placeholders, units, worst margins.

#include <string>
#include <string_view>

namespace vantrel {

/// Every "[NORM_LENGTH]" becomes the normalisation length, or the cable length when
/// the normalisation length begins with "0". Unchanged when no length is known.
std::string SubstituteNormLength(std::string_view text, std::string_view normLength,
                                 std::string_view cableLength);

/// Units of a test's values, by the test's name before its first "|".
std::string UnitsOfTest(std::string_view testName);

/// The worse of two worst-margin texts ("-1.234 dB @ ..."): the smaller leading
/// number; an empty text loses; when either number is not numeric the old text stays.
std::string ReturnWorstMargin(const std::string& current, const std::string& candidate);

/// A margin line is red when its text is longer than one character and starts "-".
bool MarginIsNegative(std::string_view marginText);

}  // namespace vantrel
