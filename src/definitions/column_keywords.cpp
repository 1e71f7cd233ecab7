#include "definitions/column_keywords.h"

#include <array>

#include "definitions/name_classes.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

constexpr std::array<ColumnKeyword, 11> kGraphColumns = {{
    {"emp", code::kEmp},
    {"uppercontrol", code::kUpperControl},
    {"lowercontrol", code::kLowerControl},
    {"min", code::kMin},
    {"max", code::kMax},
    {"mean", code::kMean},
    {"upperlimit", code::kUpperLimit},
    {"last2", code::kUpperLimit},
    {"lowerlimit", code::kLowerLimit},
    {"last3", code::kLowerLimit},
    {"last4", code::kLastPair},
}};

constexpr std::array<ColumnKeyword, 14> kTableColumns = {{
    {"upperlimit", code::kUpperLimit},
    {"last2", code::kUpperLimit},
    {"lowerlimit", code::kLowerLimit},
    {"last3", code::kLowerLimit},
    {"last4", code::kLastPair},
    {"max-min", code::kMaxMinusMin},
    {"maxabsproduct", code::kMaxAbsProduct},
    {"emp", code::kEmp},
    {"min", code::kMin},
    {"max", code::kMax},
    {"mean", code::kMean},
    {"uppercontrol", code::kUpperControl},
    {"lowercontrol", code::kLowerControl},
    {"lowermarginpercent", code::kLowerMarginPercent},
}};

// Read by the definition reader (word to code) and by the table builder (code to label).
constexpr std::array<RowKeyword, 16> kRowKeywords = {{
    {.Word = "stddev", .Code = code::kStdDev, .Label = "StdDev"},
    {.Word = "mean", .Code = code::kMean, .Label = "Mean"},
    {.Word = "emp", .Code = code::kEmp, .Label = "EMP"},
    {.Word = "min", .Code = code::kMin, .Label = "Min"},
    {.Word = "max", .Code = code::kMax, .Label = "Max"},
    {.Word = "max-mean", .Code = code::kMaxMinusMean, .Label = "Max-Mean"},
    {.Word = "mean-min", .Code = code::kMeanMinusMin, .Label = "Mean-Min"},
    {.Word = "max-min", .Code = code::kMaxMinusMin, .Label = "Max-Min"},
    {.Word = "uppermargin", .Code = code::kUpperMargin, .Label = "Margin"},
    {.Word = "lowermargin", .Code = code::kLowerMargin, .Label = "Margin"},
    {.Word = "upperlowermargin", .Code = code::kUpperLowerMargin, .Label = "Margin"},
    {.Word = "marginfreq", .Code = code::kMarginFreq, .Label = "Freq"},
    {.Word = "marginvalue", .Code = code::kMarginValue, .Label = "Value"},
    {.Word = "lowermarginpercent", .Code = code::kLowerMarginPercent, .Label = "Margin %"},
    {.Word = "averagemargin", .Code = code::kAverageMargin, .Label = "Ave Margin"},
    {.Word = "uppermarginpercent", .Code = code::kUpperMarginPercent, .Label = "Margin %"},
}};

std::optional<ColumnCode> Lookup(std::span<const ColumnKeyword> table, std::string_view element) {
  for (const ColumnKeyword& k : table) {
    if (k.Word == element) return k.Code;
  }
  return std::nullopt;
}

}  // namespace

std::string ExpandLimits(std::string_view text, std::string_view testName, bool controlLimits) {
  if (!Contains(text, "limits")) return std::string(text);
  const char* limits = "upperlimit";
  const char* controls = ",uppercontrol";
  switch (ClassOfTest(testName)) {
    case LimitClass::Lower:
      limits = "lowerlimit";
      controls = ",lowercontrol";
      break;
    case LimitClass::Upper:
      break;
    case LimitClass::Both:
      limits = "lowerlimit,upperlimit";
      controls = ",lowercontrol,uppercontrol";
      break;
  }
  std::string expanded = ReplaceAll(text, "limits", limits);
  if (controlLimits) expanded += controls;
  return expanded;
}

std::optional<ColumnCode> GraphColumnCode(std::string_view element) {
  if (const auto keyword = Lookup(kGraphColumns, element)) return keyword;
  return IntegerOf(element);
}

std::optional<ColumnCode> TableColumnCode(std::string_view element) {
  // "dl" and "du" take one digit only: the element's last character.
  if (StartsWith(element, "dl") || StartsWith(element, "du")) {
    const ColumnCode base =
        element[1] == 'l' ? code::kDistanceAboveLower : code::kDistanceBelowUpper;
    return static_cast<ColumnCode>(base +
                                   static_cast<int>(Val(element.substr(element.size() - 1))));
  }
  if (const auto keyword = Lookup(kTableColumns, element)) return keyword;
  return IntegerOf(element);
}

std::optional<ColumnCode> RowKeywordCode(std::string_view element) {
  for (const RowKeyword& k : kRowKeywords)
    if (k.Word == element) return k.Code;
  return std::nullopt;
}

const RowKeyword* RowKeywordOfCode(ColumnCode code) {
  for (const RowKeyword& k : kRowKeywords)
    if (k.Code == code) return &k;
  return nullptr;
}

std::span<const ColumnKeyword> GraphColumnKeywords() { return kGraphColumns; }
std::span<const ColumnKeyword> TableColumnKeywords() { return kTableColumns; }
std::span<const RowKeyword> RowKeywords() { return kRowKeywords; }

}  // namespace vantrel
