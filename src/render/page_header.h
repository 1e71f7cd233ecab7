#pragma once
// The top of a report page: logo, header block of labelled values with the test
// status, the page number and the large fail mark.

#include <optional>
#include <string>
#include <vector>

#include "definitions/app_settings.h"
#include "definitions/header_definition.h"
#include "render/mm_rect.h"
#include "render/page_canvas.h"
#include "render/page_data.h"
#include "render/render_context.h"
#include "render/text_box.h"

namespace vantrel {

struct LogoLayout {
  MmRect Band;     // LogoRect, its height the band's
  MmRect Picture;  // where the picture is painted; empty when it is not
};

/// Picture sizes in millimetres; 0 when unknown. A picture wider than the band is
/// scaled down to its width, keeping its aspect.
LogoLayout LayOutLogo(double pageWidth, float border, const LogoSize& size, float pictureWidth,
                      float pictureHeight, bool centre);

/// Rows of the header block: enough for every labelled item, six at least.
int HeaderRows(const HeaderDefinition& header);

/// Where item (0-based) of the header block sits: half 0 left, 1 right, and its row.
struct HeaderSlot {
  int Half = 0;
  int Row = 0;
};
HeaderSlot HeaderItemSlot(int item, int rows);

/// Horizontal and vertical alignment of the page number.
struct PageNumberAnchor {
  int H = 0;  // 0 left, 1 centre, 2 right
  int V = 0;  // 0 bottom, 2 top
};
PageNumberAnchor PageNumberAlignment(PageNumberPlace place);

/// Draws the logo (height 0 when suppressed); returns the height used. logo.Band is
/// LogoRect.
float DrawLogo(const LayoutContext& context, PageCanvas& canvas, float border, bool suppressed,
               LogoLayout& logo);

/// A label left empty takes its item's field name.
void FillHeaderLabels(HeaderDefinition& header);

/// Sets headerRect for this page; hidden: the block is not drawn on it.
void LayOutHeader(const LayoutContext& context, PageCanvas& canvas, float border,
                  const MmRect& logoRect, float logoHeight, bool hidden, MmRect& headerRect);

void DrawPageNumber(const LayoutContext& context, PageCanvas& canvas, const MmRect& headerRect,
                    int16_t& pageCounter);

/// True when the report counts as failed for the status block and the fail mark.
bool ReportFailedStatus(const LayoutContext& context, const PageData& data, bool reportFailed);

/// One text of the header block in its box.
struct HeaderCellText {
  std::string Text;
  MmRect Box;
  HAlign H = HAlign::Left;
  VAlign V = VAlign::Middle;
  bool Bold = false;
  bool Aid = false;  // the layout aid's item number
  std::optional<Rgb> Colour{};
  std::string Whole{};  // the whole value when this is one of its two lines
};

struct HeaderBlockLayout {
  bool Outline = false;  // old-style tables frame the block
  MmRect Rect;
  /// Labels and the layout aid's item numbers, in drawing order.
  std::vector<HeaderCellText> Labels;
  float ValuePoints = 9;  // one size for every value
  std::vector<HeaderCellText> Values;
};

/// Where the header block's labels and values go in headerRect: four columns
/// (label, value, half label, half value), eight when the right half holds an item.
/// The "Test Status" item says passed, failed or (incomplete) "Incomplete".
HeaderBlockLayout LayOutHeaderBlock(const LayoutContext& context, const FontMetrics& metrics,
                                    const std::string& family, const MmRect& headerRect,
                                    const PageData& data, bool failed, bool incomplete);

/// incomplete: a test on the page lacks rows, so the status can be neither pass nor
/// fail.
void DrawHeaderBlock(const LayoutContext& context, PageCanvas& canvas, const MmRect& headerRect,
                     const PageData& data, bool failed, bool incomplete = false);

/// Where the large fail mark goes: the wider free side of the logo band, clear of
/// the picture; empty when the page has no logo band.
MmRect FailMarkRoom(const LogoLayout& logo);

/// False when a mark is due but the page has no room for it.
bool DrawBigFail(const LayoutContext& context, PageCanvas& canvas, bool failed,
                 const LogoLayout& logo);

}  // namespace vantrel
