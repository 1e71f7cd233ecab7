#include "support/number.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "support/text.h"

namespace vantrel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the numeric prefix of text (from its start); 0 when there is none.
// Also reports whether any digit was seen.
std::size_t NumericPrefix(std::string_view text, bool& sawDigit) {
  std::size_t i = 0;
  sawDigit = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  while (i < text.size() && IsDigit(text[i])) {
    ++i;
    sawDigit = true;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      sawDigit = true;
    }
  }
  if (!sawDigit) return 0;
  std::size_t mantissaEnd = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t digitsStart = j;
    while (j < text.size() && IsDigit(text[j])) ++j;
    if (j > digitsStart) return j;
  }
  return mantissaEnd;
}

double ParsePrefix(std::string_view number) {
  // from_chars wants no leading '+' and 'e' for the exponent.
  std::string clean;
  clean.reserve(number.size());
  for (char c : number) {
    if (c == 'd' || c == 'D') c = 'e';
    clean.push_back(c);
  }
  std::string_view view = clean;
  bool negative = false;
  if (!view.empty() && (view[0] == '+' || view[0] == '-')) {
    negative = view[0] == '-';
    view.remove_prefix(1);
  }
  double value = 0;
  auto result = std::from_chars(view.data(), view.data() + view.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Overflow gives infinity, underflow zero; callers check the range they need.
    value = std::strtod(std::string(view).c_str(), nullptr);
  }
  return negative ? -value : value;
}

}  // namespace

double Val(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  text.remove_prefix(start);
  bool sawDigit = false;
  const std::size_t length = NumericPrefix(text, sawDigit);
  if (length == 0) return 0.0;
  return ParsePrefix(text.substr(0, length));
}

bool IsNumeric(std::string_view text) {
  const std::string_view body = TrimView(text);
  if (body.empty()) return false;
  bool sawDigit = false;
  const std::size_t length = NumericPrefix(body, sawDigit);
  return sawDigit && length == body.size();
}

std::optional<int16_t> ToInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // default rounding mode: halves to even
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<int16_t>(rounded);
}

std::optional<int16_t> IntegerOf(std::string_view text) { return ToInt16(Val(text)); }

std::optional<int16_t> WholeNumberOf(std::string_view text) {
  if (!IsNumeric(text)) return std::nullopt;
  return ToInt16(Val(text));
}

std::string FormatGeneral(double value) {
  if (!std::isfinite(value)) return "x";
  if (value == 0.0) return "0";
  // to_chars gives what "%.15g" gives, several times faster; grids format every cell.
  char buffer[40];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, result.ptr);
  const std::size_t e = text.find('e');
  if (e == std::string::npos) return text;
  // "1.5e-05" -> "1.5E-05": the exponent keeps at least two digits.
  const char sign = text[e + 1];
  std::size_t digits = e + 2;
  while (text.size() - digits > 2 && text[digits] == '0') ++digits;
  std::string out(text, 0, e);
  out.push_back('E');
  out.push_back(sign);
  out.append(text, digits, std::string::npos);
  return out;
}

double RoundGeneral(double value) {
  if (!std::isfinite(value)) return std::numeric_limits<double>::quiet_NaN();
  if (value == 0.0) return 0.0;
  char buffer[40];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
  double rounded = 0;
  const char* first = buffer;
  const bool negative = *first == '-';
  if (negative) ++first;
  const auto parsed = std::from_chars(first, end, rounded);
  // Val falls back to strtod when from_chars reports a range error; underflow
  // to zero or a subnormal is the only one a finite value can give here.
  if (parsed.ec == std::errc::result_out_of_range) rounded = std::strtod(first, nullptr);
  return negative ? -rounded : rounded;
}

namespace {

// Decimal digits of |value| rounded to 15 significant digits, with the position of the
// decimal point: value = 0.d1d2d3... x 10^pointPos.
struct DecimalDigits {
  std::string Digits;  // no leading zeros unless the value is 0
  int PointPos = 0;
};

DecimalDigits ToDecimal(double value) {
  DecimalDigits out;
  value = std::fabs(value);
  if (value == 0.0) {
    out.Digits.push_back('0');
    out.PointPos = 1;
    return out;
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);  // d.dddddddddddddde±XX
  const std::string_view text = buffer;
  const std::size_t e = text.find('e');
  out.Digits.reserve(e);
  out.Digits.push_back(text[0]);
  out.Digits.append(text.substr(2, e - 2));
  out.PointPos = std::atoi(buffer + e + 1) + 1;
  return out;
}

// Rounds the decimal digits to keep `decimals` digits after the point, halves away
// from zero. Returns the digits of the integer part and of the fraction.
void RoundDecimal(const DecimalDigits& d, int decimals, std::string& intPart,
                  std::string& fracPart) {
  // Build a digit string with the point after position pointPos.
  std::string all = d.Digits;
  int point = d.PointPos;
  if (point <= 0) {
    all.insert(0, static_cast<std::size_t>(-point + 1), '0');
    point = 1;
  }
  if (static_cast<int>(all.size()) < point + decimals + 1) {
    all.append(static_cast<std::size_t>(point + decimals + 1 - static_cast<int>(all.size())), '0');
  }
  const std::size_t keep = static_cast<std::size_t>(point + decimals);
  const bool roundUp = all[keep] >= '5';
  std::string kept = all.substr(0, keep);
  if (roundUp) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0) {
      if (kept[static_cast<std::size_t>(i)] == '9') {
        kept[static_cast<std::size_t>(i)] = '0';
        --i;
      } else {
        ++kept[static_cast<std::size_t>(i)];
        break;
      }
    }
    if (i < 0) {
      kept.insert(0, 1, '1');
      ++point;
    }
  }
  intPart = kept.substr(0, static_cast<std::size_t>(point));
  fracPart = kept.substr(static_cast<std::size_t>(point));
  while (intPart.size() > 1 && intPart[0] == '0') intPart.erase(0, 1);
}

struct Pattern {
  std::string Prefix;
  std::string Suffix;
  int IntZeros = 0;  // '0' placeholders before the point
  bool Grouping = false;
  int FracZeros = 0;   // '0' placeholders after the point
  int FracHashes = 0;  // '#' placeholders after the zeros
  bool HasPoint = false;
  bool Percent = false;
  bool Scientific = false;
  bool ExpSignAlways = false;
  int ExpDigits = 0;
  bool Valid = false;
};

Pattern ParsePattern(std::string_view p) {
  Pattern pat;
  std::size_t i = 0;
  auto literal = [&](std::string& into) {
    // Reads literal characters until a digit placeholder or the end.
    while (i < p.size()) {
      const char c = p[i];
      if (c == '0' || c == '#' || c == '.' || c == ',') return;
      if (c == '%') {
        pat.Percent = true;
        into.push_back('%');
        ++i;
        continue;
      }
      if (c == '\\' && i + 1 < p.size()) {
        into.push_back(p[i + 1]);
        i += 2;
        continue;
      }
      if (c == '"') {
        std::size_t close = p.find('"', i + 1);
        if (close == std::string_view::npos) close = p.size();
        into.append(p.substr(i + 1, close - i - 1));
        i = close + 1;
        continue;
      }
      into.push_back(c);
      ++i;
    }
  };
  literal(pat.Prefix);
  bool sawPlaceholder = false;
  while (i < p.size() && (p[i] == '0' || p[i] == '#' || p[i] == ',')) {
    if (p[i] == '0') ++pat.IntZeros;
    if (p[i] == ',') pat.Grouping = true;
    sawPlaceholder = true;
    ++i;
  }
  if (i < p.size() && p[i] == '.') {
    pat.HasPoint = true;
    ++i;
    while (i < p.size() && p[i] == '0') {
      ++pat.FracZeros;
      ++i;
      sawPlaceholder = true;
    }
    while (i < p.size() && (p[i] == '#' || p[i] == '0')) {
      // A zero after a '#' still shows as a digit only when needed; treat it as '#'.
      ++pat.FracHashes;
      ++i;
      sawPlaceholder = true;
    }
  }
  if (i + 1 < p.size() && (p[i] == 'E' || p[i] == 'e') && (p[i + 1] == '+' || p[i + 1] == '-')) {
    pat.Scientific = true;
    pat.ExpSignAlways = p[i + 1] == '+';
    i += 2;
    while (i < p.size() && (p[i] == '0' || p[i] == '#')) {
      ++pat.ExpDigits;
      ++i;
    }
    if (pat.ExpDigits == 0) pat.ExpDigits = 1;
  }
  literal(pat.Suffix);
  pat.Valid = sawPlaceholder && i >= p.size();
  return pat;
}

std::string Group(const std::string& intPart) {
  std::string out;
  const std::size_t n = intPart.size();
  for (std::size_t k = 0; k < n; ++k) {
    out.push_back(intPart[k]);
    const std::size_t left = n - k - 1;
    if (left > 0 && left % 3 == 0) out.push_back(',');
  }
  return out;
}

std::string FormatWithPattern(double value, const Pattern& given) {
  Pattern pat = given;
  if (pat.Percent) value *= 100.0;
  // Fixed digits of a huge value would run hundreds of characters across the page:
  // from where the general format turns to exponents, so does a pattern.
  if (!pat.Scientific && std::fabs(value) >= 1e15) {
    pat.Scientific = true;
    pat.IntZeros = 1;
    pat.Grouping = false;
    pat.ExpSignAlways = true;
    pat.ExpDigits = 2;
  }
  const bool negative = value < 0;
  const int decimals = pat.FracZeros + pat.FracHashes;
  std::string intPart;
  std::string fracPart;
  std::string exponent;
  if (pat.Scientific) {
    int exp10 = 0;
    double mantissa = std::fabs(value);
    DecimalDigits d = ToDecimal(mantissa);
    if (mantissa != 0.0) {
      const int intDigits = std::max(pat.IntZeros, 1);
      exp10 = d.PointPos - intDigits;
      d.PointPos = intDigits;
    }
    RoundDecimal(d, decimals, intPart, fracPart);
    if (mantissa != 0.0 && static_cast<int>(intPart.size()) > std::max(pat.IntZeros, 1)) {
      // Rounding carried into a new digit: 9.99 -> 10.0 becomes 1.00E+1.
      d.PointPos -= 1;
      exp10 += 1;
      RoundDecimal(d, decimals, intPart, fracPart);
    }
    std::string digits = std::to_string(std::abs(exp10));
    while (static_cast<int>(digits.size()) < pat.ExpDigits) digits.insert(0, 1, '0');
    exponent = std::string("E") + (exp10 < 0 ? "-" : (pat.ExpSignAlways ? "+" : "")) + digits;
  } else {
    RoundDecimal(ToDecimal(value), decimals, intPart, fracPart);
  }
  // Optional fraction digits: drop trailing zeros beyond the required ones.
  while (static_cast<int>(fracPart.size()) > pat.FracZeros && !fracPart.empty() &&
         fracPart.back() == '0') {
    fracPart.pop_back();
  }
  if (intPart == "0" && pat.IntZeros == 0) intPart.clear();
  while (static_cast<int>(intPart.size()) < pat.IntZeros) intPart.insert(0, 1, '0');
  if (pat.Grouping) intPart = Group(intPart);
  std::string body = intPart;
  if (pat.HasPoint && !fracPart.empty()) body += "." + fracPart;
  body += exponent;
  const bool allZero = body.find_first_of("123456789") == std::string::npos ||
                       (pat.Scientific && intPart.find_first_of("123456789") == std::string::npos &&
                        fracPart.find_first_of("123456789") == std::string::npos);
  const std::string sign = (negative && !allZero) ? "-" : "";
  return sign + pat.Prefix + body + pat.Suffix;
}

}  // namespace

std::string FormatNumber(double value, std::string_view pattern) {
  if (!std::isfinite(value)) return "x";
  const std::string named = ToLower(Trim(pattern));
  if (named.empty() || named == "general number" || named == "general") return FormatGeneral(value);
  if (named == "fixed") return FormatNumber(value, "0.00");
  if (named == "standard") return FormatNumber(value, "#,##0.00");
  if (named == "percent") return FormatNumber(value, "0.00%");
  if (named == "scientific") return FormatNumber(value, "0.00E+00");
  // Only the first of the positive;negative;zero sections is used.
  const std::string_view first = pattern.substr(0, pattern.find(';'));
  const Pattern pat = ParsePattern(first);
  if (!pat.Valid) return std::string(pattern);
  return FormatWithPattern(value, pat);
}

}  // namespace vantrel
