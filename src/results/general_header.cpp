// The general header at the top of a result file: delimiter, limit columns, the values
// the page header shows, the sequence profile's name and the APPNAME placeholders.

#include <string>

#include "results/copy_lines.h"
#include "results/line_fields.h"
#include "results/obj_data.h"
#include "support/encoding.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

bool ObjData::ReadGeneralHeader(std::size_t& bodyStart) {
  delimiter_ = '\t';
  controlLimits_ = false;
  specificationSlot_ = -1;
  pairs_ = 0;
  cableLength_.clear();
  normalisationLength_.clear();
  testDescription_.clear();
  for (auto& v : leftValues_) v.clear();
  for (auto& v : rightValues_) v.clear();
  HeaderDefinition& header = state_.Header;
  for (int j = 0; j < kHeaderSlots; ++j) {
    if (StartsWith(ToLower(header.HeaderItems[j]), "[param")) header.HeaderTexts[j] = " ";
  }
  std::array<std::string, kHeaderSlots> leftKeys;
  std::array<std::string, kHeaderSlots> rightKeys;
  for (int j = 0; j < kHeaderSlots; ++j) {
    leftKeys[j] = ToLower(header.HeaderItems[j]);
    rightKeys[j] = ToLower(header.HalfHeaderItems[j]);
  }

  parameters_.clear();
  const std::string& autoProfile = state_.Settings.AutoProfile;
  int counter = -1;
  bool ended = false;
  CopyLines cursor = LinesFrom(1, CopyLines::kSmallestWindow);
  std::vector<std::string_view> fields;
  std::string_view line;
  while (!cursor.AtEnd()) {
    const auto position = static_cast<std::size_t>(cursor.Position());
    if (position > static_cast<std::size_t>(kHeaderBytes)) {
      indexFault_ =
          "its general header does not end (with a 'TEST:' or 'EXIT STATUS:' line) "
          "within its first " +
          std::to_string(kHeaderBytes) + " bytes";
      return false;
    }
    cursor.Next(line);
    const int n = LineFields(line, delimiter_, fields);
    if (n == 0) continue;
    if (position == 1) {
      const std::string first = ToUpper(fields[0]);
      if (StartsWith(first, "[COMMA DELIMITED]") || Contains(first, ",")) delimiter_ = ',';
    }
    if (counter != -1) ++counter;

    const std::string key = ToLower(DecodeInput(fields[0]));
    const std::string_view value = n > 1 ? fields[1] : std::string_view();
    if (key == "product :") counter = 0;
    if (key == "cable length(m)") {
      cableLength_ = DecodeInput(TrimView(value));
      counter = -1;
    }
    if (!autoProfile.empty() && autoProfile == ToUpper(fields[0])) {
      host_.ApplyProfile(DecodeInput(TrimView(value)));
    }
    if (key == "store control limits" && EqualsNoCase(TrimView(value), "enabled")) {
      controlLimits_ = true;
    }
    if (key == "normalisation length") normalisationLength_ = DecodeInput(TrimView(value));
    if (key == "test description") testDescription_ = DecodeInput(value);
    if (key == "test:" || key == "exit status:") {
      bodyStart = position;
      ended = true;
      break;
    }
    if (key == "pairs") {
      if (const auto pairs = WholeNumberOf(value); pairs && *pairs >= 0) {
        pairs_ = *pairs;
      } else {
        prompter_.Message("The header line '" + std::string(fields[0]) + "' holds '" +
                              DecodeInput(value) + "', which is not a number of pairs.",
                          "Error", PromptIcon::Exclamation, PromptButtons::Ok);
      }
    }
    if (n < 2) continue;

    const std::string placeholder = "[param" + std::to_string(counter - 3) + "]";
    parameters_.emplace_back(placeholder, DecodeInput(value));
    for (int j = 0; j < kHeaderSlots; ++j) {
      if (leftKeys[j] == "specification") specificationSlot_ = j;
      if (leftKeys[j] == key) {
        leftValues_[j] = DecodeInput(value);
        break;
      }
      if (!TrimView(rightKeys[j]).empty() && rightKeys[j] == key) {
        rightValues_[j] = DecodeInput(value);
        break;
      }
      if (counter > 3) {
        if (leftKeys[j] == placeholder) {
          leftValues_[j] = DecodeInput(value);
          header.HeaderTexts[j] = DecodeInput(fields[0]);
          break;
        }
        if (rightKeys[j] == placeholder) {
          rightValues_[j] = DecodeInput(value);
          header.HalfHeaderTexts[j] = DecodeInput(fields[0]);
          break;
        }
      }
    }
  }
  if (!cursor.Fault().empty()) {
    indexFault_ = CopyFault(cursor.Fault());
    return false;
  }
  if (const std::string appName = FillParameters(state_.Settings.AppName); !appName.empty())
    state_.AppTitle = appName;
  if (!ended) {
    indexFault_ =
        "it is not a result file: no 'TEST:' or 'EXIT STATUS:' line ends a general "
        "header";
  }
  return ended;
}

std::string ObjData::FillParameters(std::string text) const {
  for (const auto& [placeholder, value] : parameters_) {
    if (ContainsNoCase(text, placeholder)) text = ReplaceAllNoCase(text, placeholder, value);
  }
  return text;
}

std::string ObjData::HeaderString(int16_t i) const {
  return i >= 0 && i < kHeaderSlots - 1 ? leftValues_[static_cast<std::size_t>(i)] : "";
}

std::string ObjData::HalfHeaderString(int16_t i) const {
  return i >= 0 && i < kHeaderSlots - 1 ? rightValues_[static_cast<std::size_t>(i)] : "";
}

}  // namespace vantrel
