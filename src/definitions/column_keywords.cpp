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

constexpr std::array<ColumnKeyword, 16> kRowKeywords = {{
    {"stddev", code::kStdDev},
    {"mean", code::kMean},
    {"emp", code::kEmp},
    {"min", code::kMin},
    {"max", code::kMax},
    {"max-mean", code::kMaxMinusMean},
    {"mean-min", code::kMeanMinusMin},
    {"max-min", code::kMaxMinusMin},
    {"uppermargin", code::kUpperMargin},
    {"lowermargin", code::kLowerMargin},
    {"upperlowermargin", code::kUpperLowerMargin},
    {"marginfreq", code::kMarginFreq},
    {"marginvalue", code::kMarginValue},
    {"lowermarginpercent", code::kLowerMarginPercent},
    {"averagemargin", code::kAverageMargin},
    {"uppermarginpercent", code::kUpperMarginPercent},
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
  return Lookup(kRowKeywords, element);
}

std::span<const ColumnKeyword> GraphColumnKeywords() { return kGraphColumns; }
std::span<const ColumnKeyword> TableColumnKeywords() { return kTableColumns; }
std::span<const ColumnKeyword> RowKeywords() { return kRowKeywords; }

}  // namespace vantrel
