#pragma once
// The page header's items: field names of the data file's general header and labels.

#include <array>
#include <string>

namespace vantrel {

inline constexpr int kHeaderItems = 30;

/// Item n of a family is held at index n-1; the slot past the last stays empty.
using HeaderFamily = std::array<std::string, kHeaderItems + 1>;

/// HEADERJUSTIFY: "LEFT" in any case puts the header values on the left; any other
/// word centres them.
enum class HeaderAlign { Centre, Left };

struct HeaderDefinition {
  HeaderFamily HeaderItems;
  HeaderFamily HalfHeaderItems;
  HeaderFamily HeaderTexts;
  HeaderFamily HalfHeaderTexts;
  HeaderAlign HeaderJustify = HeaderAlign::Centre;
  bool FirstPageOnly = false;
};

}  // namespace vantrel
