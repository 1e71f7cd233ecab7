#pragma once
// The page's grid of slots and where an item of a report lands on it.

#include <optional>

#include "definitions/report_definition.h"
#include "render/mm_rect.h"
#include "support/prompter.h"

namespace vantrel {

struct SlotPosition {
  int Column = 0;
  int Row = 0;
  bool operator==(const SlotPosition&) const = default;
};

/// Slots count from 1 row by row. A slot beyond the grid is reported and gives (0, 0).
SlotPosition FindSlot(int slot, int slotsX, int slotsY, Prompter& prompter);

struct SlotGrid {
  MmRect Area;
  float SlotWidth = 0;
  float SlotHeight = 0;
  float Border = 0;
};

/// slotsX and slotsY below 1 count as 1, so that a bad grid never divides by zero.
SlotGrid MakeSlotGrid(const MmRect& area, int slotsX, int slotsY, float border);

/// The item's rectangle, keeping a gap of Border on every side; none for a slot past
/// the grid, which TellSlotsPastGrid has reported. A size that reaches past the grid's
/// last column or row stops there.
std::optional<MmRect> PlaceItem(const SlotGrid& grid, int slot, int posX, int posY, int sizeX,
                                int sizeY, int slotsX, int slotsY);

/// Reports each slot past the grid that a graph or table of the report names, once;
/// those items are left off the page.
void TellSlotsPastGrid(const ReportDefinition& report, Prompter& prompter);

/// Outline of slot (column, row).
MmRect SlotRect(const SlotGrid& grid, int column, int row);

/// What the header layout leaves for the title bands and the slots.
struct BandInput {
  double PageWidth = 210;
  double PageHeight = 297;
  MmRect Logo;           // LogoRect; its Height is not used
  float LogoHeight = 0;  // 0 when there is no logo on this page
  MmRect Header;         // HeaderRect
  bool NewTables = true;
  bool HasTitle = false;
  bool HasSubHeader = false;
  float FootReserve = 0;  // kept free at the foot, for a page number there
};

struct BandLayout {
  MmRect Title;      // valid when HasTitle
  MmRect SubHeader;  // valid when HasSubHeader
  MmRect SlotArea;
  float T = 0;  // height taken by the title bands
};

BandLayout LayOutBands(const BandInput& in);

/// Pair columns that one page of the report's widest table shows.
int CountTablePairColumns(const ReportDefinition& report);

}  // namespace vantrel
