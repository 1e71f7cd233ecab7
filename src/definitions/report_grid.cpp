#include "definitions/report_grid.h"

namespace vantrel {

GridSize AutomaticGrid(int itemCount) {
  switch (itemCount) {
    case 1:
      return {1, 1};
    case 2:
      return {1, 2};
    case 3:
      return {1, 3};
    case 5:
    case 6:
      return {2, 3};
    case 7:
    case 8:
      return {2, 4};
    case 11:
    case 12:
      return {3, 4};
    default:
      return {2, 2};
  }
}

void CheckPlacement(int16_t slotsX, int16_t slotsY, int16_t posX, int16_t posY, int16_t sizeX,
                    int16_t sizeY, int report, const char* kind, int item, Prompter& prompter) {
  if (slotsX == -1 || slotsY == -1) return;
  // A negative position or a size below one slot has no place on the page at all.
  const bool placeable = posX >= 0 && posY >= 0 && sizeX >= 1 && sizeY >= 1;
  if (placeable && posX <= slotsX && posY <= slotsY && sizeX <= slotsX && sizeY <= slotsY) return;
  const std::string r = std::to_string(report);
  prompter.Tell("Error: \rErrors with sizes or positions for \rreport_" + r + "\r" + kind + "_" +
                r + "_" + std::to_string(item) + "\rCheck Setup Information");
}

}  // namespace vantrel
