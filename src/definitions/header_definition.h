#pragma once
// The page header's items: field names of the data file's general header and labels.

#include <array>
#include <string>

namespace vantrel {

inline constexpr int kHeaderItems = 30;

/// Item n of each family is held at index n-1 (31 slots, 0..30).
struct HeaderDefinition {
  std::array<std::string, 31> HeaderItems;
  std::array<std::string, 31> HalfHeaderItems;
  std::array<std::string, 31> HeaderTexts;
  std::array<std::string, 31> HalfHeaderTexts;
  std::string HeaderJustify = "NORMAL";
  bool FirstPageOnly = false;
};

}  // namespace vantrel
