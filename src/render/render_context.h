#pragma once
// What every report routine needs besides the canvas: the program's definitions,
// the test data, the way to ask the user, colour names, and who watches the output.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "definitions/program_state.h"
#include "render/certificate_record.h"
#include "render/font_metrics.h"
#include "render/page_plan.h"
#include "render/report_data_source.h"
#include "support/prompter.h"

namespace vantrel {

class PaintPipeline;

/// Told of every page laid out, for exports that want the numbers behind it.
class ReportObserver {
 public:
  virtual ~ReportObserver() = default;
  virtual void PagePlanned(const PagePlan& page) = 0;
};

/// Colour names of the definition file; without them every name is black.
struct ColourNames {
  std::function<Rgb(std::string_view)> Page;         // to page colours
  std::function<int16_t(std::string_view)> Palette;  // to the chart palette's numbers
};

/// Built with named members in this order, the first three always:
/// RenderContext{.State = s, .Data = d, .Ask = a, .SlotsFlag = true}.
struct RenderContext {
  ProgramState& State;
  ReportDataSource& Data;
  Prompter& Ask;
  bool SlotsFlag = false;  // the slot grid and item frames drawn
  ColourNames Colours{};
  /// Reads the report definitions; does its work once after each load.
  std::function<void()> ReadReports{};
  ReportObserver* Observer = nullptr;
  /// How text is measured; the printed page's fonts when not set.
  const FontMetrics* Fonts = nullptr;
  /// How a PDF carries the record of where its pages came from.
  CertificateOptions Certificate{};
  /// When set, pages are painted on its thread while the next ones are laid out;
  /// a fault of the output then ends the job instead of being asked about.
  PaintPipeline* Pipeline = nullptr;
  /// Threads a page's graphs are laid out on at once; only where nothing asks the
  /// user from a worker (the batch tool).
  int LayoutThreads = 1;
  /// The thread the second half of a page's graphs is laid out on, kept for the whole
  /// job so that its fonts are made once; a thread per page when not set.
  PaintPipeline* LayoutHelper = nullptr;
};

/// What laying out a page reads besides the page's data: never the data object.
struct LayoutContext {
  // NOLINTNEXTLINE(google-explicit-constructor): every render context can lay out
  LayoutContext(const RenderContext& context)
      : State(context.State),
        Ask(context.Ask),
        SlotsFlag(context.SlotsFlag),
        Colours(context.Colours),
        LayoutThreads(context.LayoutThreads),
        LayoutHelper(context.LayoutHelper) {}

  const ProgramState& State;
  Prompter& Ask;  // told of a logo that cannot be read
  bool SlotsFlag;
  const ColourNames& Colours;
  int LayoutThreads;
  PaintPipeline* LayoutHelper;
};

/// The colour tables of the definition file, reporting malformed names through ask.
void UseDefinitionColours(RenderContext& context);

}  // namespace vantrel
