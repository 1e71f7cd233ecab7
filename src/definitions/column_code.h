#pragma once
// Column and row selectors of graphs and tables. A plain number is a column of the
// test's data block; the values from 9986 up are keywords.

#include <cstdint>

namespace vantrel {

using ColumnCode = int16_t;

namespace code {
inline constexpr ColumnCode kNoGraph = -999;  // second COLS element: the graph does not exist
inline constexpr ColumnCode kEmp = 9986;
inline constexpr ColumnCode kMaxAbsProduct = 9987;
inline constexpr ColumnCode kUpperControl = 9988;
inline constexpr ColumnCode kLowerControl = 9989;
inline constexpr ColumnCode kMin = 9990;
inline constexpr ColumnCode kMax = 9991;
inline constexpr ColumnCode kMean = 9992;
inline constexpr ColumnCode kStdDev = 9993;
inline constexpr ColumnCode kMaxMinusMean = 9994;
inline constexpr ColumnCode kMeanMinusMin = 9995;
inline constexpr ColumnCode kMaxMinusMin = 9996;
inline constexpr ColumnCode kUpperLimit = 9997;           // also "last2"
inline constexpr ColumnCode kLowerLimit = 9998;           // also "last3"
inline constexpr ColumnCode kLastPair = 9999;             // "last4"
inline constexpr ColumnCode kDistanceAboveLower = 10000;  // "dl" + n
inline constexpr ColumnCode kDistanceBelowUpper = 10100;  // "du" + n
inline constexpr ColumnCode kUpperMargin = 10200;
inline constexpr ColumnCode kLowerMargin = 10201;
inline constexpr ColumnCode kUpperLowerMargin = 10202;
inline constexpr ColumnCode kMarginFreq = 10203;
inline constexpr ColumnCode kMarginValue = 10204;
inline constexpr ColumnCode kLowerMarginPercent = 10205;
inline constexpr ColumnCode kAverageMargin = 10206;
inline constexpr ColumnCode kUpperMarginPercent = 10207;
inline constexpr double kAutomatic = -99999;  // axis limits and tick steps
}  // namespace code

}  // namespace vantrel
