#include "results/cell_value.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Decimals as the instrument writes them: [-]digits[.digits][e[sign]digits]. With at
// most 19 digits whose value fits 53 bits and a power of ten up to 22, both operands
// are exact doubles, so one multiplication or division gives the correctly rounded
// value, the same as from_chars. Returns the end of the number, or nullptr where such
// a number does not start at p.
const char* PlainDecimal(const char* p, const char* end, double& value) {
  const bool negative = p < end && *p == '-';
  if (negative) ++p;
  uint64_t mantissa = 0;
  const char* const first = p;
  while (p < end && IsDigit(*p)) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
  int scale = 0;
  int digits = static_cast<int>(p - first);
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    while (p < end && IsDigit(*p)) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - '0');
    scale = -static_cast<int>(p - fraction);
    digits -= scale;
  }
  // Beyond 19 digits the mantissa would wrap before the range check below.
  if (digits == 0 || digits > 19) return nullptr;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    const bool down = p < end && *p == '-';
    if (p < end && (*p == '-' || *p == '+')) ++p;
    const char* const exponent = p;
    int power = 0;
    while (p < end && IsDigit(*p) && p - exponent < 3) power = power * 10 + (*p++ - '0');
    if (p == exponent) return nullptr;
    scale += down ? -power : power;
  }
  if (mantissa > (uint64_t{1} << 53) || scale < -22 || scale > 22) return nullptr;
  const double magnitude = scale < 0 ? static_cast<double>(mantissa) / kPowersOfTen[-scale]
                                     : static_cast<double>(mantissa) * kPowersOfTen[scale];
  value = negative ? -magnitude : magnitude;
  return p;
}

void SetNumber(Cell& cell, double value, std::size_t length) {
  cell.Type = Cell::Kind::Number;
  cell.Number = value;
  cell.Text.Clear();
  cell.ShortField = length <= 15;
}

void SetMissing(Cell& cell) {
  cell.Type = Cell::Kind::Missing;
  cell.Number = 0;
  cell.Text.Clear();
  cell.ShortField = false;
}

}  // namespace

bool NumericField(std::string_view field, double& value) {
  const char* const end = field.data() + field.size();
  if (PlainDecimal(field.data(), end, value) == end && !field.empty()) return true;
  // No number starts with a letter: a row's status ("PPPPP") is told at a glance.
  if (!field.empty() && IsLetter(field[0])) return false;
  const std::string_view body = TrimView(field);
  std::size_t i = 0;
  const std::size_t n = body.size();
  bool plain = true;  // no '+' sign and no 'D' exponent: from_chars reads it as it stands
  if (i < n && (body[i] == '+' || body[i] == '-')) {
    plain = body[i] == '-';
    ++i;
  }
  bool digits = false;
  while (i < n && IsDigit(body[i])) {
    ++i;
    digits = true;
  }
  if (i < n && body[i] == '.') {
    ++i;
    while (i < n && IsDigit(body[i])) {
      ++i;
      digits = true;
    }
  }
  if (!digits) return false;
  if (i < n && (body[i] == 'e' || body[i] == 'E' || body[i] == 'd' || body[i] == 'D')) {
    if (body[i] == 'd' || body[i] == 'D') plain = false;
    ++i;
    if (i < n && (body[i] == '+' || body[i] == '-')) ++i;
    const std::size_t exponentStart = i;
    while (i < n && IsDigit(body[i])) ++i;
    if (i == exponentStart) return false;
  }
  if (i != n) return false;
  if (plain) {
    const auto result = std::from_chars(body.data(), body.data() + n, value);
    if (result.ec == std::errc() && result.ptr == body.data() + n) return true;
  }
  value = Val(body);
  return true;
}

void ParseCell(std::string_view field, Cell& cell) {
  double value = 0;
  if (NumericField(field, value)) {
    SetNumber(cell, value, field.size());
  } else if (field.size() == 4 && (EqualsNoCase(field, "pass") || EqualsNoCase(field, "fail"))) {
    cell.Type = Cell::Kind::Text;
    cell.Number = 0;
    cell.Text.Assign(field);
    cell.ShortField = false;
  } else {
    SetMissing(cell);
  }
}

std::size_t ParseLeadingCell(std::string_view text, char delimiter, Cell& cell) {
  const char* const end = text.data() + text.size();
  double value = 0;
  const char* const stop = PlainDecimal(text.data(), end, value);
  if (stop != nullptr && (stop == end || *stop == delimiter)) {
    const auto length = static_cast<std::size_t>(stop - text.data());
    SetNumber(cell, value, length);
    return length;
  }
  // The instrument's "x" for a value it did not measure: common enough to skip the
  // full field check.
  if (!text.empty() && text[0] == 'x' && (text.size() == 1 || text[1] == delimiter)) {
    SetMissing(cell);
    return 1;
  }
  const std::size_t length = std::min(text.find(delimiter), text.size());
  ParseCell(text.substr(0, length), cell);
  return length;
}

}  // namespace vantrel
