#include "render/report_texts.h"

#include <array>

#include "render/routine_fault.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

std::string SubstituteNormLength(std::string_view text, std::string_view normLength,
                                 std::string_view cableLength) {
  constexpr std::string_view kPlaceholder = "[NORM_LENGTH]";
  if (!Contains(text, kPlaceholder) || normLength.empty()) return std::string(text);
  return ReplaceAll(text, kPlaceholder, StartsWith(normLength, "0") ? cableLength : normLength);
}

std::string UnitsOfTest(std::string_view testName) {
  const std::string name = Trim(testName.substr(0, testName.find('|')));
  static const std::array<std::string_view, 8> kOhms = {
      "Impedance (Term) Near",       "Impedance (Term) Far",      "Fitted Impedance (Term) Near",
      "Fitted Impedance (Term) Far", "Impedance (O/S) Near",      "Impedance (O/S) Far",
      "Fitted Impedance (O/S) Near", "Fitted Impedance (O/S) Far"};
  static const std::array<std::string_view, 6> kNs = {
      "Group Delay Near", "Group Delay Far",       "Skew Near",
      "Skew Far",         "Skew (Pair-Pair) Near", "Skew (Pair-Pair) Far"};
  for (std::string_view n : kOhms)
    if (name == n) return "Ohms";
  for (std::string_view n : kNs)
    if (name == n) return "ns";
  if (name == "Delay Near" || name == "Delay Far") return "ns/[NORM_LENGTH]";
  if (name == "Velocity of Propagation Near" || name == "Velocity of Propagation Far") return "%";
  if (name == "Surface Transfer Impedance") return "mOhms/Meter";
  return "dB";
}

std::string ReturnWorstMargin(const std::string& current, const std::string& candidate) {
  return NamedFaults("'FrmReport/Return_Worst_Margin'", [&] {
    if (candidate.empty()) return current;
    if (current.empty()) return candidate;
    const std::string a = current.substr(0, current.find(' '));
    const std::string b = candidate.substr(0, candidate.find(' '));
    if (!IsNumeric(a) || !IsNumeric(b)) return current;
    return Val(b) < Val(a) ? candidate : current;
  });
}

bool MarginIsNegative(std::string_view marginText) {
  return marginText.size() > 1 && marginText.front() == '-';
}

}  // namespace vantrel
