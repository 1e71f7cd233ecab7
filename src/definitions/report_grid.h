#pragma once
// The page grid of a report: the automatic grid and the check of free placements.

#include <cstdint>
#include <string>

#include "support/prompter.h"

namespace vantrel {

struct GridSize {
  int16_t X;
  int16_t Y;
};

/// The grid for n graphs and tables together when the report gives none.
GridSize AutomaticGrid(int itemCount);

/// An item placed by position and size must lie within a given grid; otherwise the
/// placement message names it (kind "graph" or "table", its number within report r).
/// The item is kept as read either way.
void CheckPlacement(int16_t slotsX, int16_t slotsY, int16_t posX, int16_t posY, int16_t sizeX,
                    int16_t sizeY, int report, const char* kind, int item, Prompter& prompter);

}  // namespace vantrel
