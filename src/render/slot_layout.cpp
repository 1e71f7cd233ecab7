#include "render/slot_layout.h"

#include <algorithm>
#include <string>

#include "definitions/column_code.h"

namespace vantrel {

SlotPosition FindSlot(int slot, int slotsX, int slotsY, Prompter& prompter) {
  const int columns = std::max(1, slotsX);
  const long total = static_cast<long>(slotsX) * slotsY;
  if (slot < 1 || slot > total) {
    prompter.Tell("Unable to locate Slot " + std::to_string(slot) + ".\r\rYou have only defined " +
                  std::to_string(total) + " slots.");
    return {};
  }
  return {(slot - 1) % columns, (slot - 1) / columns};
}

SlotGrid MakeSlotGrid(const MmRect& area, int slotsX, int slotsY, float border) {
  SlotGrid grid;
  grid.Area = area;
  grid.SlotWidth = area.Width / static_cast<float>(std::max(1, slotsX));
  grid.SlotHeight = area.Height / static_cast<float>(std::max(1, slotsY));
  grid.Border = border;
  return grid;
}

std::optional<MmRect> PlaceItem(const SlotGrid& grid, int slot, int posX, int posY, int sizeX,
                                int sizeY, int slotsX, int slotsY) {
  slotsX = std::max(1, slotsX);
  slotsY = std::max(1, slotsY);
  SlotPosition at{posX, posY};
  if (slot < 1 && (posX < 0 || posY < 0 || sizeX < 1 || sizeY < 1)) return std::nullopt;
  if (slot >= 1) {
    if (slot > static_cast<long>(slotsX) * slotsY) return std::nullopt;
    at = {(slot - 1) % slotsX, (slot - 1) / slotsX};
    // An item reaching past the grid would run off the page or over the foot.
    sizeX = std::min(sizeX, slotsX - at.Column);
    sizeY = std::min(sizeY, slotsY - at.Row);
  }
  MmRect r;
  r.Left = at.Column * grid.SlotWidth + grid.Area.Left + grid.Border;
  r.Top = at.Row * grid.SlotHeight + grid.Area.Top + grid.Border;
  r.Width = sizeX * grid.SlotWidth - 2 * grid.Border;
  r.Height = sizeY * grid.SlotHeight - 2 * grid.Border;
  return r;
}

void TellSlotsPastGrid(const ReportDefinition& report, Prompter& prompter) {
  const int slotsX = std::max<int>(1, report.SlotsX), slotsY = std::max<int>(1, report.SlotsY);
  std::vector<int> told;
  const auto check = [&](int slot) {
    if (slot <= static_cast<long>(slotsX) * slotsY) return;
    if (std::find(told.begin(), told.end(), slot) != told.end()) return;
    told.push_back(slot);
    FindSlot(slot, slotsX, slotsY, prompter);
  };
  for (int g = 0; g < std::min<int>(report.GraphCount, kMaxGraphs); ++g)
    check(report.Graphs[static_cast<std::size_t>(g)].Slot);
  for (int t = 0; t < std::min<int>(report.TableCount, kMaxTables); ++t)
    check(report.Tables[static_cast<std::size_t>(t)].Slot);
}

MmRect SlotRect(const SlotGrid& grid, int column, int row) {
  return {.Width = grid.SlotWidth,
          .Height = grid.SlotHeight,
          .Top = row * grid.SlotHeight + grid.Area.Top,
          .Left = column * grid.SlotWidth + grid.Area.Left};
}

BandLayout LayOutBands(const BandInput& in) {
  BandLayout out;
  const float headerBottom = in.Header.Top + in.Header.Height;
  out.T = in.HasTitle ? 10.0f : 0.0f;
  // Under NEWTABLES the bands sit in the room the header leaves above itself.
  const float bandTop = !in.NewTables        ? headerBottom
                        : in.LogoHeight == 0 ? in.Logo.Top
                                             : in.Logo.Top + in.LogoHeight + 3;
  if (in.HasTitle)
    out.Title = {.Width = in.Header.Width, .Height = 10, .Top = bandTop, .Left = in.Header.Left};
  if (in.HasSubHeader) {
    // Straight under the title: one millimetre lower would cut into the title band
    // and the header block.
    const float y = bandTop + out.T;
    out.SubHeader = {.Width = in.Header.Width, .Height = 5, .Top = y, .Left = in.Header.Left};
    out.T += 5;
  }
  const float gap = in.NewTables ? out.T / 4 : out.T;
  out.SlotArea.Left = 10;
  out.SlotArea.Width = static_cast<float>(in.PageWidth) - 20;
  // A hidden header leaves the bands below the header's rectangle: the slots start
  // under whichever ends lower.
  const float bandsBottom = in.HasTitle || in.HasSubHeader ? bandTop + out.T : 0;
  out.SlotArea.Top = std::max(headerBottom + gap, bandsBottom + (in.NewTables ? 1.0f : 0.0f));
  out.SlotArea.Height = static_cast<float>(in.PageHeight) - out.SlotArea.Top - 10 - in.FootReserve;
  return out;
}

int CountTablePairColumns(const ReportDefinition& report) {
  const TableDefinition* widest = nullptr;
  for (int t = 0; t < std::min<int>(report.TableCount, kMaxTables); ++t) {
    const TableDefinition& table = report.Tables[static_cast<std::size_t>(t)];
    if (widest == nullptr || table.Cols.size() > widest->Cols.size()) widest = &table;
  }
  if (widest == nullptr) return 0;
  int count = 0;
  for (std::size_t c = 1; c < widest->Cols.size(); ++c) {
    const ColumnCode code = widest->Cols[c];
    if (code < code::kEmp || code == code::kLastPair) ++count;
  }
  return count;
}

}  // namespace vantrel
