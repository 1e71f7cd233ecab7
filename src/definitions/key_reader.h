#pragma once
// Typed reads of one section's keys, with the definition file's conversion rules.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "definitions/ini_store.h"
#include "support/prompter.h"

namespace vantrel {

/// A flag setting as the text a definition file would give for it.
inline std::string_view FlagText(bool value) { return value ? "TRUE" : "FALSE"; }

class KeyReader {
 public:
  KeyReader(const IniStore& store, std::string section, Prompter& prompter)
      : store_(store),
        section_(std::move(section)),
        range_(FindSection(store, section_)),
        prompter_(prompter) {}

  const std::string& Section() const { return section_; }

  std::string Text(std::string_view key, std::string_view def = {}) const;
  /// True only when the value, upper-cased, is "TRUE".
  bool Flag(std::string_view key, std::string_view def) const;
  /// The leading number of the value.
  double Number(std::string_view key, std::string_view def) const;
  /// The leading number when it lies in low..high; anything else is reported with the
  /// range and the default taken instead.
  double NumberIn(std::string_view key, std::string_view def, double low, double high) const;
  /// The leading number rounded, halves to even. A value beyond 16 bits is reported
  /// and the default taken instead.
  int16_t Integer(std::string_view key, std::string_view def) const;
  /// The value must be a number that fits 16 bits after rounding; anything else is
  /// reported and the default taken instead.
  int16_t WholeNumber(std::string_view key, std::string_view def) const;
  /// SplitList of text, the value of key or a part of it. Counts of list elements are
  /// 16-bit, so a longer list is reported and cut to the first 32767 elements.
  std::vector<std::string> List(std::string_view text, std::string_view key) const;

 private:
  int16_t Rejected(std::string_view key, const std::string& value, std::string_view def,
                   const std::string& why) const;

  const IniStore& store_;
  std::string section_;
  SectionRange range_;
  Prompter& prompter_;
};

}  // namespace vantrel
