#pragma once
// One table of a report: title band, header row and body on a cell grid.

#include "definitions/table_definition.h"
#include "render/page_canvas.h"
#include "render/render_context.h"
#include "render/slot_layout.h"

namespace vantrel {

/// Draws the table; true when its test was found and the table drawn. reportFailed is
/// set when the test failed. Its cells are recorded in the plan as table number.
bool DrawTable(RenderContext& context, PageCanvas& canvas, const TableDefinition& table,
               const SlotGrid& slots, int columnOffset, int slotsX, int slotsY, bool& reportFailed,
               int number);

}  // namespace vantrel
