#pragma once
// Colour names of the definition file.

#include <cstdint>
#include <string_view>

#include "support/prompter.h"

namespace vantrel {

/// Red in the low byte, then green, then blue. Unknown names give black; a malformed
/// "r,g,b" triple gives the "Variable Error" message and black.
uint32_t ColourToRgb(std::string_view name, Prompter& prompter);

/// Palette number of a trace or grid colour; unknown names give 0 (black).
int16_t ColourToPalette(std::string_view name);

}  // namespace vantrel
