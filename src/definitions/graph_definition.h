#pragma once
// One [GRAPH_r_g] section: which tests and columns a graph draws, its axes and style.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "definitions/column_code.h"

namespace vantrel {

inline constexpr int kMaxDataSets = 21;

/// Field names follow the definition file's keys. DATA_k, COLS_k and ORDER_k are
/// held at index k-1.
struct GraphDefinition {
  std::string Title = "COL_NAME";
  int16_t TitleFontSize = -1;
  int16_t AxisFontSize = -1;
  int16_t AxisTitleFontSize = -1;
  bool AbsData = false;
  bool ReverseData = false;
  std::string XAxis = "Frequency (MHz)";
  std::string YAxis = "DEFAULT";
  int16_t Pair = -1;
  bool ApplyAllResults = false;
  bool CombineAllResults = false;
  bool Difference = false;
  bool DifferencePercent = false;
  bool Average = false;
  int16_t Slot = 0;
  int16_t PosX = 0;
  int16_t PosY = 0;
  int16_t SizeX = 1;
  int16_t SizeY = 1;
  double StopFreq = 0;
  double XMin = code::kAutomatic;
  double YMin = code::kAutomatic;
  double XMax = code::kAutomatic;
  double YMax = code::kAutomatic;
  bool XLog = true;
  bool AutoLog = true;
  bool YLog = false;
  bool GeneratedTitle = true;
  double XTicks = code::kAutomatic;
  double YTicks = code::kAutomatic;
  std::array<std::string, kMaxDataSets> Data;
  /// Element 0 is always column 1. ColCount may be smaller than the vector's size
  /// (the text "1,-999" gives two elements and a count of 1).
  std::array<std::vector<ColumnCode>, kMaxDataSets> Cols;
  std::array<int16_t, kMaxDataSets> ColCount{};
  std::array<int16_t, kMaxDataSets> Order{};
  std::vector<std::string> Colours;  // lower-cased
  std::vector<std::string> Legend;
  std::vector<std::string> Style;
  bool AutoMargin = true;
  int16_t MarginType = 0;  // 0 none, 1 lower-limit, 2 upper-limit, 3 both-limits class
  bool AutoOrderIncrease = false;
};

}  // namespace vantrel
