#pragma once
// Colours of the report pages that more than one part of a page uses.

#include <optional>
#include <string>

#include "render/page_plan.h"
#include "render/render_context.h"

namespace vantrel {

/// The band behind titles and the sub-header under NEWTABLES when TABLECOLOR is "BLUE".
inline constexpr Rgb kBandBlue = 0 | (128 << 8) | (240 << 16);
/// Every other body row of a table under NEWTABLES.
inline constexpr Rgb kBandGrey = 228 | (228 << 8) | (228 << 16);
/// Pure green is hard to read on paper; the pass colour is a darker green.
inline constexpr Rgb kPassGreen = 0 | (150 << 8) | (0 << 16);

/// A colour name of the definition file; black without a colour table.
Rgb NamedColour(const LayoutContext& context, const std::string& name);

/// The fill of the report's and the tables' title bands under NEWTABLES.
Rgb TitleBandColour(const LayoutContext& context);
/// The text colour on those bands.
Rgb TitleTextColour(const LayoutContext& context);

/// The colour of failed texts.
Rgb FailColour(const LayoutContext& context);

}  // namespace vantrel
