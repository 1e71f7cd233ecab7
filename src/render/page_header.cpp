#include "render/page_header.h"

#include <QImage>
#include <algorithm>

#include "render/cell_grid.h"
#include "render/layout_rules.h"
#include "render/logo_image.h"
#include "render/report_colours.h"
#include "render/text_box.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

struct LogoPicture {
  std::shared_ptr<const QImage> Picture;
  float WidthMm = 0;
  float HeightMm = 0;
};

// Every read of the logo file goes through here. A picture that cannot be read
// leaves the band empty; why is said once.
LogoPicture LoadLogo(const std::string& path, Prompter& ask) {
  LogoPicture out;
  if (Trim(path).empty()) return out;
  const LogoImage& logo = LogoFor(Trim(path), ask);
  if (logo.Picture.isNull()) return out;
  out.Picture = std::make_shared<const QImage>(logo.Picture);
  out.WidthMm = logo.WidthMm;
  out.HeightMm = logo.HeightMm;
  return out;
}

}  // namespace

LogoLayout LayOutLogo(double pageWidth, float border, const LogoSize& size, float pictureWidth,
                      float pictureHeight, bool centre) {
  LogoLayout out;
  out.Band.Width = static_cast<float>(pageWidth) - 2 * (10 + border);
  out.Band.Left = 10 + border;
  out.Band.Top = 10;
  const float height =
      size.Is == LogoSize::Kind::Natural ? pictureHeight : static_cast<float>(size.Millimetres);
  out.Band.Height = std::max(0.0f, height);
  const float aspect = pictureWidth == 0 ? 1 : pictureHeight / pictureWidth;
  float drawnWidth = aspect == 0 ? 0 : out.Band.Height / aspect;
  float drawnHeight = out.Band.Height;
  if (drawnWidth > out.Band.Width && out.Band.Width > 0) {
    drawnWidth = out.Band.Width;
    drawnHeight = drawnWidth * aspect;
  }
  const float shift = centre ? (out.Band.Width - drawnWidth) / 2 : 0;
  if (pictureWidth > 0 && pictureHeight > 0 && out.Band.Height > 0)
    out.Picture = {.Width = drawnWidth,
                   .Height = drawnHeight,
                   .Top = out.Band.Top,
                   .Left = out.Band.Left + shift};
  return out;
}

int HeaderRows(const HeaderDefinition& header) {
  int highest = -1;
  for (int i = kHeaderItems - 1; i >= 0; --i) {
    if (!header.HeaderTexts[static_cast<std::size_t>(i)].empty() ||
        !header.HalfHeaderTexts[static_cast<std::size_t>(i)].empty()) {
      highest = i;
      break;
    }
  }
  // Two halves share the items; rounding up keeps the last item of an odd count.
  const int rows = highest < 0 ? 0 : (highest + 2) / 2;
  return std::max(6, rows);
}

HeaderSlot HeaderItemSlot(int item, int rows) {
  if (rows < 1) rows = 1;
  return {item < rows ? 0 : 1, item < rows ? item : item - rows};
}

PageNumberAnchor PageNumberAlignment(PageNumberPlace place) {
  switch (place) {
    case PageNumberPlace::TopLeft:
      return {0, 2};
    case PageNumberPlace::TopMiddle:
      return {1, 2};
    case PageNumberPlace::TopRight:
      return {2, 2};
    case PageNumberPlace::BottomMiddle:
      return {1, 0};
    case PageNumberPlace::BottomRight:
      return {2, 0};
    case PageNumberPlace::None:
    case PageNumberPlace::BottomLeft:
      break;
  }
  return {0, 0};
}

namespace {

constexpr float kPageNumberTop = 9;  // mm from the paper's edge

// The height of the page number's line.
float PageNumberLine(PageCanvas& canvas) {
  CanvasStateGuard keep(canvas);
  canvas.FontSize = 9;
  canvas.FontBold = false;
  return canvas.TextHeight("") + 2 * TextBoxInset(canvas);
}

// A page number at the top has its own line; the logo band and all below start under it.
void BelowTopPageNumber(PageCanvas& canvas, const AppSettings& s, LogoLayout& logo) {
  if (!AtTop(s.PageNum)) return;
  const float shift = std::max(0.0f, kPageNumberTop + PageNumberLine(canvas) + 1 - logo.Band.Top);
  logo.Band.Top += shift;
  logo.Picture.Top += shift;
}

}  // namespace

float DrawLogo(const LayoutContext& context, PageCanvas& canvas, float border, bool suppressed,
               LogoLayout& logo) {
  const AppSettings& s = context.State.Settings;
  logo = LayOutLogo(canvas.ScaleWidth(), border, LogoSize{}, 0, 0, false);
  BelowTopPageNumber(canvas, s, logo);
  if (suppressed || s.LogoHeight.Is == LogoSize::Kind::None) return 0;
  const LogoPicture picture = LoadLogo(s.Logo, context.Ask);
  logo = LayOutLogo(canvas.ScaleWidth(), border, s.LogoHeight, picture.WidthMm, picture.HeightMm,
                    s.LogoCenter);
  BelowTopPageNumber(canvas, s, logo);
  if (logo.Picture.Width > 0 && picture.Picture)
    canvas.PaintPicture(picture.Picture, logo.Picture.Left, logo.Picture.Top, logo.Picture.Width,
                        logo.Picture.Height);
  if (context.SlotsFlag) {
    CanvasStateGuard keep(canvas);
    canvas.FillStyle = 1;
    const MmRect& band = logo.Band;
    canvas.Box(band.Left, band.Top, band.Right(), band.Bottom());
    canvas.CurrentX = band.Left;
    canvas.CurrentY = band.Top;
    canvas.PrintAid("Logo");
  }
  return logo.Band.Height;
}

void FillHeaderLabels(HeaderDefinition& header) {
  for (std::size_t i = 0; i < header.HeaderTexts.size(); ++i) {
    if (header.HeaderTexts[i].empty()) header.HeaderTexts[i] = header.HeaderItems[i];
    if (header.HalfHeaderTexts[i].empty()) header.HalfHeaderTexts[i] = header.HalfHeaderItems[i];
  }
}

void LayOutHeader(const LayoutContext& context, PageCanvas& canvas, float border,
                  const MmRect& logoRect, float logoHeight, bool hidden, MmRect& headerRect) {
  const HeaderDefinition& header = context.State.Header;
  headerRect.Width = canvas.ScaleWidth() - 2 * (10 + border);
  headerRect.Left = 10 + border;
  headerRect.Height = 30;
  const float extra = context.State.Settings.NewTables ? 15 : 0;
  headerRect.Top = logoHeight > 0 ? logoRect.Top + logoHeight + 3 + extra : logoRect.Top + extra;
  if (hidden) {
    headerRect.Top = logoRect.Top;
    if (logoHeight <= 0) {
      headerRect.Height = 10;
      return;
    }
  }
  CanvasStateGuard keep(canvas);
  canvas.FontSize = 9;
  canvas.FontBold = false;
  BuildCellGrid(canvas, headerRect, 4, HeaderRows(header), true, context.SlotsFlag && !hidden);
}

void DrawPageNumber(const LayoutContext& context, PageCanvas& canvas, const MmRect& headerRect,
                    int16_t& pageCounter) {
  const AppSettings& s = context.State.Settings;
  if (s.PageNum == PageNumberPlace::None) return;
  // The counter stops at its largest value instead of wrapping to a negative number.
  if (pageCounter < INT16_MAX) ++pageCounter;
  CanvasStateGuard keep(canvas);
  canvas.FontSize = 9;
  canvas.FontBold = false;
  canvas.ForeColor = kBlack;
  canvas.Item = "page number";
  const PageNumberAnchor at = PageNumberAlignment(s.PageNum);
  // One line at the top or the foot of the room between 9 mm from either edge.
  const float line = PageNumberLine(canvas);
  const float top = at.V == 2 ? kPageNumberTop : canvas.ScaleHeight() - kPageNumberTop - line;
  DrawTextBox(canvas, s.PageName + " " + std::to_string(pageCounter),
              {.Width = headerRect.Width, .Height = line, .Top = top, .Left = headerRect.Left},
              static_cast<HAlign>(at.H), static_cast<VAlign>(at.V), false, kNoFill, std::nullopt);
  canvas.Item.clear();
}

bool ReportFailedStatus(const LayoutContext& context, const PageData& data, bool reportFailed) {
  return context.State.Settings.OverallPassFail ? data.OverallFailed : reportFailed;
}

namespace {

// With every item in the left half the block takes the whole width, so that long
// values keep their size.
bool RightHalfUsed(const HeaderDefinition& header, int rows) {
  for (int n = rows; n < kHeaderItems; ++n) {
    const auto i = static_cast<std::size_t>(n);
    if (!header.HeaderTexts[i].empty() || !header.HalfHeaderTexts[i].empty()) return true;
  }
  return false;
}

struct HeaderValue {
  std::string Text;
  int Column = 0;
  int Row = 0;
  std::optional<Rgb> Colour;
};

// The labels (and the layout aid's item numbers) in drawing order, and the values
// still to be sized. The "Test Status" item shows status in its colour.
std::vector<HeaderValue> PlaceHeaderLabels(const LayoutContext& context, const CellGrid& grid,
                                           const PageData& data, const HeaderCellText& status,
                                           HeaderBlockLayout& out) {
  const HeaderDefinition& header = context.State.Header;
  const bool bold = context.State.Settings.NewTables;
  const int rows = grid.Rows();
  std::vector<HeaderValue> values;
  const auto value = [&](const std::string& field, const std::string& text, int column, int row) {
    if (EqualsNoCase(Trim(field), "Test Status"))
      values.push_back({status.Text, column, row, status.Colour});
    else
      values.push_back({Trim(text), column, row, std::nullopt});
  };
  const auto label = [&](const std::string& text, int column, int row) {
    out.Labels.push_back({.Text = text, .Box = grid.Cell(column, row), .Bold = bold});
  };
  for (int n = 0; n < 2 * rows && n < kHeaderItems; ++n) {
    const auto i = static_cast<std::size_t>(n);
    const HeaderSlot slot = HeaderItemSlot(n, rows);
    const int base = slot.Half * 4;
    if (!header.HeaderTexts[i].empty()) label(header.HeaderTexts[i], base, slot.Row);
    if (!header.HalfHeaderItems[i].empty() && !header.HalfHeaderTexts[i].empty())
      label(header.HalfHeaderTexts[i], base + 2, slot.Row);
    if (!header.HeaderItems[i].empty())
      value(header.HeaderItems[i], data.HeaderValues[i], base + 1, slot.Row);
    if (!header.HalfHeaderItems[i].empty())
      value(header.HalfHeaderItems[i], data.HalfHeaderValues[i], base + 3, slot.Row);
    if (context.SlotsFlag)
      out.Labels.push_back({.Text = std::to_string(n + 1),
                            .Box = grid.Cell(base, slot.Row),
                            .H = HAlign::Right,
                            .V = VAlign::Top,
                            .Aid = true});
  }
  return values;
}

constexpr const char* kValueIndent = "     ";

std::vector<std::string> IndentedLines(const FontMetrics& metrics, const FontSpec& font,
                                       const std::string& text) {
  std::vector<std::string> two = TwoLines(metrics, font, text);
  for (std::string& line : two) line = kValueIndent + line;
  return two;
}

// Every value at one size: the largest at which each fits its cell on one line or,
// split at a blank, on two.
float SharedValuePoints(const FontMetrics& metrics, const FontSpec& font,
                        const std::vector<HeaderValue>& values, const MmRect& cell) {
  float points = font.Points;
  for (const HeaderValue& v : values) {
    if (v.Text.empty()) continue;
    float best = FitPoints(metrics, font, kValueIndent + v.Text, cell, points, kSmallestPoints);
    if (best < points) {
      const std::vector<std::string> two = IndentedLines(metrics, font, v.Text);
      if (two.size() == 2) {
        const MmRect half{.Width = cell.Width, .Height = cell.Height / 2};
        float split = points;
        for (const std::string& line : two)
          split = std::min(split, FitPoints(metrics, font, line, half, points, kSmallestPoints));
        best = std::max(best, split);
      }
    }
    points = std::min(points, best);
  }
  return points;
}

// A value that does not fit its cell on one line at the shared size takes two.
void PlaceHeaderValues(const FontMetrics& metrics, const FontSpec& font, HAlign align,
                       const CellGrid& grid, const std::vector<HeaderValue>& values,
                       HeaderBlockLayout& out) {
  FontSpec sized = font;
  sized.Points = out.ValuePoints;
  for (const HeaderValue& v : values) {
    const std::string whole = kValueIndent + v.Text;
    const MmRect at = grid.Cell(v.Column, v.Row);
    const std::vector<std::string> two = IndentedLines(metrics, font, v.Text);
    if (FitPoints(metrics, sized, whole, at, out.ValuePoints, 0) >= out.ValuePoints ||
        two.size() < 2) {
      out.Values.push_back({.Text = whole, .Box = at, .H = align, .Colour = v.Colour});
      continue;
    }
    for (std::size_t l = 0; l < 2; ++l) {
      out.Values.push_back({.Text = two[l],
                            .Box = {.Width = at.Width,
                                    .Height = at.Height / 2,
                                    .Top = at.Top + static_cast<float>(l) * at.Height / 2,
                                    .Left = at.Left},
                            .H = align,
                            .V = l == 0 ? VAlign::Bottom : VAlign::Top,
                            .Colour = v.Colour,
                            .Whole = whole});
    }
  }
}

void PaintHeaderText(PageCanvas& canvas, const HeaderCellText& t) {
  canvas.DrawWidth = 1;
  DrawTextBox(canvas, t.Text, t.Box, t.H, t.V, false, kNoFill, t.Colour, t.Whole);
}

}  // namespace

HeaderBlockLayout LayOutHeaderBlock(const LayoutContext& context, const FontMetrics& metrics,
                                    const std::string& family, const MmRect& headerRect,
                                    const PageData& data, bool failed, bool incomplete) {
  const AppSettings& s = context.State.Settings;
  const HeaderDefinition& header = context.State.Header;
  HeaderBlockLayout out;
  out.Rect = headerRect;
  out.Outline = !s.NewTables;
  // A certificate never says passed over data that is not all there.
  HeaderCellText status;
  status.Text = failed       ? (s.FailText.empty() ? "Failed" : s.FailText)
                : incomplete ? "Incomplete"
                             : (s.PassText.empty() ? "Passed" : s.PassText);
  status.Colour = failed || incomplete ? FailColour(context) : kPassGreen;
  const int rows = HeaderRows(header);
  const CellGrid grid(headerRect, RightHalfUsed(header, rows) ? 8 : 4, rows);
  const std::vector<HeaderValue> values = PlaceHeaderLabels(context, grid, data, status, out);
  const FontSpec font{family, 9, false};
  out.ValuePoints = SharedValuePoints(metrics, font, values, grid.Cell(1, 0));
  const HAlign align = header.HeaderJustify == HeaderAlign::Left ? HAlign::Left : HAlign::Centre;
  PlaceHeaderValues(metrics, font, align, grid, values, out);
  return out;
}

void DrawHeaderBlock(const LayoutContext& context, PageCanvas& canvas, const MmRect& headerRect,
                     const PageData& data, bool failed, bool incomplete) {
  CanvasStateGuard keep(canvas);
  canvas.FontSize = 9;
  canvas.FontBold = false;
  canvas.DrawWidth = 1;
  const HeaderBlockLayout block = LayOutHeaderBlock(context, canvas.Metrics(), canvas.FontName,
                                                    headerRect, data, failed, incomplete);
  if (block.Outline) {
    canvas.FillStyle = 1;
    canvas.ForeColor = kBlack;
    canvas.Box(block.Rect.Left, block.Rect.Top, block.Rect.Right(), block.Rect.Bottom());
  }
  canvas.FillStyle = 1;
  for (const HeaderCellText& t : block.Labels) {
    canvas.FontBold = t.Bold;
    canvas.Aid = t.Aid;
    PaintHeaderText(canvas, t);
    canvas.Aid = false;
  }
  canvas.FontBold = false;
  canvas.FontSize = block.ValuePoints;
  for (const HeaderCellText& t : block.Values) PaintHeaderText(canvas, t);
}

MmRect FailMarkRoom(const LogoLayout& logo) {
  const MmRect& band = logo.Band;
  if (band.Height <= 0 || band.Width <= 0) return {};
  if (logo.Picture.Width <= 0) return band;
  constexpr float kGap = 3;
  const float rightLeft = logo.Picture.Right() + kGap;
  const float leftRight = logo.Picture.Left - kGap;
  const float right = band.Right() - rightLeft, left = leftRight - band.Left;
  if (right <= 0 && left <= 0) return {};
  return right >= left
             ? MmRect{.Width = right, .Height = band.Height, .Top = band.Top, .Left = rightLeft}
             : MmRect{.Width = left, .Height = band.Height, .Top = band.Top, .Left = band.Left};
}

bool DrawBigFail(const LayoutContext& context, PageCanvas& canvas, bool failed,
                 const LogoLayout& logo) {
  const AppSettings& s = context.State.Settings;
  if (!failed || !s.BigFail) return true;
  const MmRect room = FailMarkRoom(logo);
  if (room.Width <= 0 || room.Height <= 0) return false;
  CanvasStateGuard keep(canvas);
  canvas.FillStyle = 0;
  canvas.FontTransparent = true;
  const std::string text = s.FailText.empty() ? "Fail" : s.FailText;
  // As large as the room allows, up to the mark's own 60 pt; a text too long for the
  // room even at the smallest size is cut.
  canvas.FontSize = FitPoints(canvas.Metrics(), canvas.Font(), text, room, 60, kSmallestPoints);
  const std::string shown =
      Ellipsized(canvas.Metrics(), canvas.Font(), text, room.Width - 2 * TextBoxInset(canvas));
  DrawTextBox(canvas, shown, room, HAlign::Right, VAlign::Middle, false, kNoFill,
              FailColour(context));
  return true;
}

}  // namespace vantrel
