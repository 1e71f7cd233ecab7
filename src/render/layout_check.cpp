#include "render/layout_check.h"

#include <algorithm>
#include <cstdio>

namespace vantrel {

namespace {

// Rounding of float layout leaves hundredths of a millimetre; nobody sees them.
constexpr float kSlack = 0.05f;

std::string Mm(float v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f mm", static_cast<double>(v));
  return text;
}

std::string Quoted(const std::string& text) {
  constexpr std::size_t kLongest = 40;
  return "\"" + (text.size() > kLongest ? text.substr(0, kLongest) + "..." : text) + "\"";
}

std::string NameOf(const std::string& item) { return item.empty() ? "page" : item; }

float Overhang(const MmRect& inner, const MmRect& outer) {
  return std::max({outer.Left - inner.Left, inner.Right() - outer.Right(), outer.Top - inner.Top,
                   inner.Bottom() - outer.Bottom(), 0.0f});
}

bool Overlap(const MmRect& a, const MmRect& b) {
  const float w = std::min(a.Right(), b.Right()) - std::max(a.Left, b.Left);
  const float h = std::min(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
  return w > kSlack && h > kSlack;
}

bool Checked(const PlanText& t) {
  return !t.Aid && t.Text.find_first_not_of(' ') != std::string::npos;
}

class Checker {
 public:
  explicit Checker(const PagePlan& plan)
      : printable_{.Width = static_cast<float>(plan.WidthMm) - 2 * kPrintableMarginMm,
                   .Height = static_cast<float>(plan.HeightMm) - 2 * kPrintableMarginMm,
                   .Top = kPrintableMarginMm,
                   .Left = kPrintableMarginMm} {}

  void operator()(const PlanText& t) {
    if (!Checked(t)) return;
    const std::string what = Quoted(t.Text);
    if (const float over = Overhang(t.Run, t.Box); over > kSlack)
      Add(t.Item, what + " runs " + Mm(over) + " out of its box");
    if (t.Points < kSmallestPoints - 0.01f) {
      char size[32];
      std::snprintf(size, sizeof size, "%.1f pt", static_cast<double>(t.Points));
      Add(t.Item, what + " is set in " + size + ", below " + "5 pt");
    }
    Inside(t.Item, what, t.Run);
    texts_.push_back(&t);
  }
  void operator()(const PlanBox& b) {
    if (b.Outlined || b.Filled) Inside(b.Item, "a box", b.Rect);
  }
  void operator()(const PlanImage& i) {
    Inside(i.Item, "the picture", i.Rect);
    pictures_.push_back(&i);
  }
  void operator()(const PlanLine&) {}
  void operator()(const PlanCurve&) {}

  void Overlaps() {
    for (std::size_t i = 0; i < texts_.size(); ++i) {
      for (std::size_t j = i + 1; j < texts_.size(); ++j) {
        const PlanText& a = *texts_[i];
        const PlanText& b = *texts_[j];
        if (!Overlap(a.Box, b.Box)) continue;
        Add(a.Item, Quoted(a.Text) + " overlaps " + Quoted(b.Text) +
                        (a.Item != b.Item ? " of " + NameOf(b.Item) : std::string()));
      }
    }
    // Text printed over a logo cannot be read on every logo.
    for (const PlanText* t : texts_)
      for (const PlanImage* p : pictures_)
        if (Overlap(t->Run, p->Rect))
          Add(t->Item, Quoted(t->Text) + " is printed over the picture of " + NameOf(p->Item));
  }

  std::vector<LayoutFinding> Findings() { return std::move(findings_); }

 private:
  void Inside(const std::string& item, const std::string& what, const MmRect& r) {
    if (const float over = Overhang(r, printable_); over > kSlack)
      Add(item, what + " lies " + Mm(over) + " outside the printable area");
  }
  void Add(const std::string& item, std::string what) {
    findings_.push_back({NameOf(item), std::move(what)});
  }

  MmRect printable_;
  std::vector<const PlanText*> texts_;
  std::vector<const PlanImage*> pictures_;
  std::vector<LayoutFinding> findings_;
};

}  // namespace

std::vector<LayoutFinding> CheckLayout(const PagePlan& plan) {
  Checker checker(plan);
  for (const PlanItem& item : plan.Items) std::visit(checker, item);
  checker.Overlaps();
  return checker.Findings();
}

std::string FindingLine(const PagePlan& plan, const LayoutFinding& finding) {
  return "report " + std::to_string(plan.Report) + " page " + std::to_string(plan.Page) + ": " +
         finding.Item + ": " + finding.What;
}

}  // namespace vantrel
