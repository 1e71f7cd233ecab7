#include "definitions/colours.h"

#include <algorithm>
#include <array>
#include <utility>

#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

struct RgbName {
  std::string_view Name;
  uint8_t Red, Green, Blue;
};

constexpr std::array<RgbName, 14> kRgbNames = {{
    {"red", 255, 0, 0},
    {"green", 0, 255, 0},
    {"blue", 0, 0, 255},
    {"magenta", 255, 0, 255},
    {"cyan", 0, 255, 255},
    {"yellow", 255, 255, 0},
    {"brown", 128, 0, 0},
    {"white", 255, 255, 255},
    {"black", 0, 0, 0},
    {"grey", 128, 128, 128},
    {"gray", 128, 128, 128},
    {"ltgrey", 192, 192, 192},
    {"ltgray", 192, 192, 192},
    {"orange", 255, 128, 0},
}};

constexpr std::array<std::pair<std::string_view, int16_t>, 19> kPaletteNames = {{
    {"black", 0},     {"red", 2},       {"green", 3},    {"magenta", 4}, {"blue", 5},
    {"cyan", 6},      {"ltgray", 7},    {"ltgrey", 7},   {"gray", 8},    {"grey", 8},
    {"ltmagenta", 9}, {"ltcyan", 10},   {"ltgreen", 11}, {"yellow", 13}, {"orange", 14},
    {"white", 15},    {"ltyellow", 41}, {"brown", 80},   {"", 0},
}};

uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return red | (green << 8) | (blue << 16);
}

}  // namespace

uint32_t ColourToRgb(std::string_view name, Prompter& prompter) {
  const std::string lower = ToLower(name);
  for (const RgbName& entry : kRgbNames) {
    if (lower == entry.Name) return Rgb(entry.Red, entry.Green, entry.Blue);
  }
  if (lower.find(',') == std::string::npos) return 0;

  const std::vector<std::string> parts = SplitAt(lower, ',');
  std::array<uint32_t, 3> channel{};
  bool valid = parts.size() == 3;
  for (std::size_t i = 0; valid && i < 3; ++i) {
    const auto n = WholeNumberOf(parts[i]);
    valid = n && *n >= 0;
    // A channel is one byte; more than full is full, never spilled into the next.
    if (valid) channel[i] = std::min<uint32_t>(static_cast<uint32_t>(*n), 255);
  }
  if (!valid) {
    prompter.Tell("Error with color variable: " + std::string(name), "Variable Error",
                  PromptIcon::Information);
    return 0;
  }
  return Rgb(channel[0], channel[1], channel[2]);
}

int16_t ColourToPalette(std::string_view name) {
  const std::string_view trimmed = TrimView(name);
  for (const auto& [known, number] : kPaletteNames) {
    if (trimmed == known) return number;
  }
  return 0;
}

}  // namespace vantrel
