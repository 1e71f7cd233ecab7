#pragma once
// The page header's items: field names of the data file's general header and labels.

#include <array>
#include <string>

namespace vantrel {

inline constexpr int kHeaderItems = 30;

/// Item n of a family is held at index n-1; the slot past the last stays empty.
using HeaderFamily = std::array<std::string, kHeaderItems + 1>;

struct HeaderDefinition {
  HeaderFamily HeaderItems;
  HeaderFamily HalfHeaderItems;
  HeaderFamily HeaderTexts;
  HeaderFamily HalfHeaderTexts;
  std::string HeaderJustify = "NORMAL";
  bool FirstPageOnly = false;
};

}  // namespace vantrel
