#pragma once
// One [TABLE_r_t] section: the test a table shows, its columns, rows and format.

#include <cstdint>
#include <string>
#include <vector>

#include "definitions/column_code.h"

namespace vantrel {

struct TableDefinition {
  std::string Title;
  bool AbsData = false;
  bool ReverseData = false;
  bool ApplyAllResults = false;
  bool CombineAllResults = false;
  int16_t Slot = 0;
  int16_t PosX = 0;
  int16_t PosY = 0;
  int16_t SizeX = 1;
  int16_t SizeY = 1;  // always 1
  int16_t FontSize = 9;
  std::string Data;              // test name, or "comment"
  std::vector<ColumnCode> Cols;  // element 0 is always column 1
  int16_t Order = 1;
  bool HideFirstCol = false;
  /// Row selectors: a frequency as text, or a row keyword replaced by its code's text.
  std::vector<std::string> Freqs;
  std::vector<std::string> FreqTitles;
  std::vector<std::string> Headers;
  std::string Format;  // empty: the TABLEFORMAT setting
};

}  // namespace vantrel
