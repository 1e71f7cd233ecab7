#include "results/cell_value.h"

#include <charconv>

#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool NumericField(std::string_view field, double& value) {
  const std::string_view body = TrimView(field);
  std::size_t i = 0;
  const std::size_t n = body.size();
  bool plain = true;  // no '+' sign and no 'D' exponent: from_chars reads it as it stands
  if (i < n && (body[i] == '+' || body[i] == '-')) {
    plain = body[i] == '-';
    ++i;
  }
  bool digits = false;
  while (i < n && IsDigit(body[i])) { ++i; digits = true; }
  if (i < n && body[i] == '.') {
    ++i;
    while (i < n && IsDigit(body[i])) { ++i; digits = true; }
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
    cell.kind = Cell::Kind::Number;
    cell.number = value;
    cell.text.clear();
    cell.shortField = field.size() <= 15;
  } else if (field.size() == 4 && (EqualsNoCase(field, "pass") || EqualsNoCase(field, "fail"))) {
    cell.kind = Cell::Kind::Text;
    cell.number = 0;
    cell.text.assign(field);
  } else {
    cell.kind = Cell::Kind::Missing;
    cell.number = 0;
    cell.text.clear();
  }
}

}  // namespace vantrel
