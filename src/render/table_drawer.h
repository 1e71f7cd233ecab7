#pragma once
// One table of a report: title band, header row and body on a cell grid.

#include <string>

#include "definitions/table_definition.h"
#include "render/page_canvas.h"
#include "render/page_data.h"
#include "render/render_context.h"
#include "render/slot_layout.h"

namespace vantrel {

/// The line under a table whose rows did not all fit its space.
std::string LeftOutNote(std::size_t rows);

/// Draws the table from its fetched data; true when its test was found and the table
/// drawn. reportFailed is set when the test failed, incomplete when it lacks rows. Its
/// cells are recorded in the plan as table number.
bool DrawTable(const LayoutContext& context, PageCanvas& canvas, const PageData& page,
               const TableData& data, const TableDefinition& table, const SlotGrid& slots,
               int columnOffset, int slotsX, int slotsY, bool& reportFailed, bool& incomplete,
               int number);

/// Fetches the table's data, then draws it.
bool DrawTable(RenderContext& context, PageCanvas& canvas, const TableDefinition& table,
               const SlotGrid& slots, int columnOffset, int slotsX, int slotsY, bool& reportFailed,
               int number);

}  // namespace vantrel
