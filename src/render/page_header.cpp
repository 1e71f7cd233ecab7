#include "render/page_header.h"

#include <QImage>
#include <QImageReader>

#include "render/cell_grid.h"
#include "render/text_box.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

LogoLayout LayOutLogo(double pageWidth, float border, const std::string& heightSetting,
                      float pictureWidth, float pictureHeight, bool centre) {
  LogoLayout out;
  out.Band.Width = static_cast<float>(pageWidth) - 2 * (10 + border);
  out.Band.Left = 10 + border;
  out.Band.Top = 10;
  const float height =
      Trim(heightSetting) == "-1" ? pictureHeight : static_cast<float>(Val(heightSetting));
  out.Band.Height = std::max(0.0f, height);
  const float aspect = pictureWidth == 0 ? 1 : pictureHeight / pictureWidth;
  const float drawnWidth = aspect == 0 ? 0 : out.Band.Height / aspect;
  const float shift = centre ? (out.Band.Width - drawnWidth) / 2 : 0;
  if (pictureWidth > 0 && pictureHeight > 0 && out.Band.Height > 0)
    out.Picture = {drawnWidth, out.Band.Height, out.Band.Top, out.Band.Left + shift};
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

PageNumberPlace PageNumberAlignment(const std::string& pageNum) {
  if (pageNum == "TOPLEFT") return {0, 2};
  if (pageNum == "TOPMIDDLE") return {1, 2};
  if (pageNum == "TOPRIGHT") return {2, 2};
  if (pageNum == "BOTTOMMIDDLE") return {1, 0};
  if (pageNum == "BOTTOMRIGHT") return {2, 0};
  return {0, 0};
}

float DrawLogo(RenderContext& context, PageCanvas& canvas, float border, bool suppressed,
               MmRect& logoRect) {
  const AppSettings& s = context.State.Settings;
  logoRect = LayOutLogo(canvas.ScaleWidth(), border, "0", 0, 0, false).Band;
  if (suppressed || Trim(s.LogoHeight) == "0" ||
      (Val(s.LogoHeight) == 0 && Trim(s.LogoHeight) != "-1"))
    return 0;
  QImage picture;
  float w = 0, h = 0;
  if (!Trim(s.Logo).empty()) {
    QImageReader reader(QString::fromStdString(Trim(s.Logo)));
    // A picture that cannot be read leaves the band empty.
    if (reader.read(&picture) && !picture.isNull()) {
      const double dpmX = picture.dotsPerMeterX() > 0 ? picture.dotsPerMeterX() : 3780;
      const double dpmY = picture.dotsPerMeterY() > 0 ? picture.dotsPerMeterY() : 3780;
      w = static_cast<float>(picture.width() / dpmX * 1000);
      h = static_cast<float>(picture.height() / dpmY * 1000);
    }
  }
  const LogoLayout layout =
      LayOutLogo(canvas.ScaleWidth(), border, s.LogoHeight, w, h, s.LogoCenter);
  logoRect = layout.Band;
  if (layout.Picture.Width > 0)
    canvas.PaintPicture(picture, layout.Picture.Left, layout.Picture.Top, layout.Picture.Width,
                        layout.Picture.Height);
  if (context.SlotsFlag) {
    CanvasStateGuard keep(canvas);
    canvas.FillStyle = 1;
    canvas.Box(logoRect.Left, logoRect.Top, logoRect.Right(), logoRect.Bottom());
    canvas.CurrentX = logoRect.Left;
    canvas.CurrentY = logoRect.Top;
    canvas.Print("Logo");
  }
  return logoRect.Height;
}

void LayOutHeader(RenderContext& context, PageCanvas& canvas, float border, const MmRect& logoRect,
                  float logoHeight, bool hidden, MmRect& headerRect) {
  HeaderDefinition& header = context.State.Header;
  for (int n = 0; n < 31; ++n) {
    const auto i = static_cast<std::size_t>(n);
    if (header.HeaderTexts[i].empty()) header.HeaderTexts[i] = header.HeaderItems[i];
    if (header.HalfHeaderTexts[i].empty()) header.HalfHeaderTexts[i] = header.HalfHeaderItems[i];
  }
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

void DrawPageNumber(RenderContext& context, PageCanvas& canvas, const MmRect& headerRect,
                    int16_t& pageCounter) {
  const AppSettings& s = context.State.Settings;
  if (s.PageNum == "NONE") return;
  // The counter stops at its largest value instead of wrapping to a negative number.
  if (pageCounter < INT16_MAX) ++pageCounter;
  CanvasStateGuard keep(canvas);
  canvas.FontSize = 9;
  canvas.FontBold = false;
  canvas.ForeColor = kBlack;
  const PageNumberPlace at = PageNumberAlignment(s.PageNum);
  DrawTextBox(canvas, s.PageName + " " + std::to_string(pageCounter),
              {headerRect.Width, canvas.ScaleHeight() - 18, 9, headerRect.Left},
              static_cast<HAlign>(at.H), static_cast<VAlign>(at.V), false, kNoFill, std::nullopt);
}

bool ReportFailedStatus(RenderContext& context, bool reportFailed) {
  return context.State.Settings.OverallPassFail ? context.Data.OverallFailed() : reportFailed;
}

void DrawHeaderBlock(RenderContext& context, PageCanvas& canvas, const MmRect& headerRect,
                     bool failed) {
  const AppSettings& s = context.State.Settings;
  const HeaderDefinition& header = context.State.Header;
  const std::string status = failed ? (s.FailText.empty() ? "Failed" : s.FailText)
                                    : (s.PassText.empty() ? "Passed" : s.PassText);
  // Pure green is hard to read on paper; the pass colour is a darker green.
  const Rgb statusColour =
      failed ? (context.Colour ? context.Colour("red") : kRed) : Rgb{0 | (150 << 8) | (0 << 16)};
  CanvasStateGuard keep(canvas);
  canvas.FontSize = 9;
  canvas.FontBold = false;
  canvas.DrawWidth = 1;
  MmRect rect = headerRect;
  const int rows = HeaderRows(header);
  // With every item in the left half the block takes the whole width, so that long
  // values keep their size.
  bool rightHalfUsed = false;
  for (int n = rows; n < kHeaderItems; ++n) {
    const auto i = static_cast<std::size_t>(n);
    if (!header.HeaderTexts[i].empty() || !header.HalfHeaderTexts[i].empty()) rightHalfUsed = true;
  }
  const CellGrid grid(rect, rightHalfUsed ? 8 : 4, rows);
  if (!s.NewTables) {
    canvas.FillStyle = 1;
    canvas.ForeColor = kBlack;
    canvas.Box(rect.Left, rect.Top, rect.Right(), rect.Bottom());
  }
  canvas.FillStyle = 1;
  const HAlign valueAlign = header.HeaderJustify == "LEFT" ? HAlign::Left : HAlign::Centre;
  const auto value = [&](const std::string& field, const std::string& text, int column, int row) {
    if (EqualsNoCase(Trim(field), "Test Status")) {
      GridText(canvas, grid, "     " + status, column, row, false, kNoFill, statusColour,
               valueAlign, VAlign::Middle);
    } else {
      GridText(canvas, grid, "     " + Trim(text), column, row, false, kNoFill, std::nullopt,
               valueAlign, VAlign::Middle);
    }
  };
  for (int n = 0; n < 2 * rows && n < kHeaderItems; ++n) {
    const auto i = static_cast<std::size_t>(n);
    const HeaderSlot slot = HeaderItemSlot(n, rows);
    const int base = slot.Half * 4;
    canvas.FontBold = s.NewTables;
    if (!header.HeaderTexts[i].empty())
      GridText(canvas, grid, header.HeaderTexts[i], base, slot.Row, false, kNoFill, std::nullopt,
               HAlign::Left, VAlign::Middle);
    if (!header.HalfHeaderItems[i].empty() && !header.HalfHeaderTexts[i].empty())
      GridText(canvas, grid, header.HalfHeaderTexts[i], base + 2, slot.Row, false, kNoFill,
               std::nullopt, HAlign::Left, VAlign::Middle);
    canvas.FontBold = false;
    if (!header.HeaderItems[i].empty())
      value(header.HeaderItems[i], context.Data.HeaderString(n), base + 1, slot.Row);
    if (!header.HalfHeaderItems[i].empty())
      value(header.HalfHeaderItems[i], context.Data.HalfHeaderString(n), base + 3, slot.Row);
    if (context.SlotsFlag)
      GridText(canvas, grid, std::to_string(n + 1), base, slot.Row, false, kNoFill, std::nullopt,
               HAlign::Right, VAlign::Top);
  }
}

void DrawBigFail(RenderContext& context, PageCanvas& canvas, bool failed) {
  const AppSettings& s = context.State.Settings;
  if (!failed || !s.BigFail) return;
  CanvasStateGuard keep(canvas);
  canvas.FillStyle = 0;
  canvas.FontSize = 60;
  canvas.FontTransparent = true;
  DrawTextBox(canvas, s.FailText.empty() ? "Fail" : s.FailText,
              {canvas.ScaleWidth(), canvas.ScaleHeight(), 0, 0}, HAlign::Right, VAlign::Top, false,
              kNoFill, context.Colour ? context.Colour("red") : kRed);
}

}  // namespace vantrel
