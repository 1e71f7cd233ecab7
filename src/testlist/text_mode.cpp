#include "testlist/text_mode.h"

namespace vantrel {

namespace {

// Below the last line: room a printer would not print on anyway.
constexpr float kBottomMm = 10;

}  // namespace

TextMode::TextMode(double widthMm, double heightMm, const FontMetrics& metrics)
    : width_(widthMm), height_(heightMm), metrics_(metrics) {
  StartPage();
}

void TextMode::StartPage() {
  // The font and colour go on over the page break.
  PagePlan plan;
  plan.WidthMm = width_;
  plan.HeightMm = height_;
  plan.Page = static_cast<int>(pages_.size()) + 1;
  const bool first = canvas_ == nullptr;
  PageCanvas previous = first ? PageCanvas(plan, metrics_) : *canvas_;
  pages_.push_back(std::move(plan));
  canvas_ = std::make_unique<PageCanvas>(pages_.back(), metrics_);
  if (!first) {
    canvas_->FontName = previous.FontName;
    canvas_->FontSize = previous.FontSize;
    canvas_->FontBold = previous.FontBold;
    canvas_->ForeColor = previous.ForeColor;
  }
  canvas_->CurrentX = 0;
  canvas_->CurrentY = 0;
}

void TextMode::Print(const std::string& text) {
  PageCanvas& c = *canvas_;
  const float x = c.CurrentX;
  c.Print(text);
  if (Underline && !text.empty()) {
    const float y = c.CurrentY + c.Metrics().Ascent(c.Font()) + 0.4f;
    c.Plan().Add(PlanLine{{.X = x, .Y = y}, {.X = c.CurrentX, .Y = y}, c.ForeColor, 0.15f});
  }
}

void TextMode::LineEnd() {
  PageCanvas& c = *canvas_;
  c.CurrentX = 0;
  c.CurrentY += c.TextHeight("");
  if (c.CurrentY + c.TextHeight("") > static_cast<float>(height_) - kBottomMm) StartPage();
}

void TextMode::PrintLine(const std::string& text) {
  if (!text.empty()) Print(text);
  LineEnd();
}

void TextMode::Tab(int column) {
  PageCanvas& c = *canvas_;
  const float x = static_cast<float>(column - 1) * c.TextWidth("x");
  if (c.CurrentX > x) LineEnd();
  canvas_->CurrentX = x;
}

void TextMode::PrintCentred(const std::string& text) {
  PageCanvas& c = *canvas_;
  c.CurrentX = c.ScaleWidth() / 2 - c.TextWidth(text) / 2;
  Print(text);
}

}  // namespace vantrel
