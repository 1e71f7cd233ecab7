#include "definitions/name_classes.h"

#include <algorithm>
#include <array>

#include "support/text.h"

namespace vantrel {

namespace {

std::string ClassKey(std::string_view testName) {
  return ToLower(Trim(testName.substr(0, testName.find('|'))));
}

template <std::size_t N>
bool OneOf(const std::string& key, const std::array<std::string_view, N>& names) {
  return std::find(names.begin(), names.end(), key) != names.end();
}

constexpr std::array<std::string_view, 8> kBothLimits = {
    "impedance (term) near",       "impedance (term) far",      "fitted impedance (term) near",
    "fitted impedance (term) far", "impedance (o/s) near",      "impedance (o/s) far",
    "fitted impedance (o/s) near", "fitted impedance (o/s) far"};

constexpr std::array<std::string_view, 16> kLowerLimit = {"attenuation near",
                                                          "attenuation far",
                                                          "acr (pair-pair) near",
                                                          "acr (pair-pair) far",
                                                          "acr (worstcase) near",
                                                          "acr (worstcase) far",
                                                          "acr (powersum) near",
                                                          "acr (powersum) far",
                                                          "acr (worstcase) worst near",
                                                          "acr (worstcase) worst far",
                                                          "acr (powersum) worst near",
                                                          "acr (powersum) worst far",
                                                          "velocity of propagation near",
                                                          "velocity of propagation far",
                                                          "screening attenuation",
                                                          "coupling attenuation"};

constexpr std::array<std::string_view, 4> kTwelvePairs = {
    "fext (pair-pair) near", "fext (pair-pair) far", "elfext (pair-pair) near",
    "elfext (pair-pair) far"};

constexpr std::array<std::string_view, 9> kSixPairs = {
    "next (pair-pair) near", "next (pair-pair) far",    "acr (pair-pair) near",
    "acr (pair-pair) far",   "elnext (pair-pair) near", "elnext (pair-pair) far",
    "skew (pair-pair) near", "skew (pair-pair) far",    "dcr unbalance: pair-pair"};

}  // namespace

LimitClass ClassOfTest(std::string_view testName) {
  const std::string key = ClassKey(testName);
  if (OneOf(key, kBothLimits)) return LimitClass::Both;
  if (OneOf(key, kLowerLimit)) return LimitClass::Lower;
  return LimitClass::Upper;
}

const char* MarginTypeName(LimitClass limitClass) {
  switch (limitClass) {
    case LimitClass::Lower:
      return "MIN";
    case LimitClass::Upper:
      return "MAX";
    case LimitClass::Both:
      return "MIN&MAX";
  }
  return "MAX";
}

int MarginTypeOf(LimitClass limitClass) {
  switch (limitClass) {
    case LimitClass::Lower:
      return 1;
    case LimitClass::Upper:
      return 2;
    case LimitClass::Both:
      return 3;
  }
  return 2;
}

int PairCountOf(std::string_view testName) {
  const std::string key = ClassKey(testName);
  if (OneOf(key, kTwelvePairs)) return 12;
  if (OneOf(key, kSixPairs)) return 6;
  return 0;
}

}  // namespace vantrel
