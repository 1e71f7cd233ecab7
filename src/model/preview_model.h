#pragma once
// FrmReport without widgets: one report drawn on a vector picture, the zoom and its
// box, the scroll rule, Print through the print run, Save, and closing, which cancels
// a drawing in progress and only ever hides the window.

#include <QPicture>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/window_model.h"
#include "render/page_plan.h"
#include "render/page_target.h"
#include "render/render_context.h"
#include "render/report_producer.h"

namespace vantrel {

inline constexpr double kMinBoxZoom = 0.25;
inline constexpr double kMaxBoxZoom = 2.0;

/// The zoom the box's text gives: its leading number, read as a percentage from 25 to
/// 200 and as a factor otherwise, 1.0 for nothing or a number not above 0, held to
/// 0.25 .. 2.0.
double ParseZoom(const std::string& text);
/// The box's text for a zoom: zoom × 100 rounded to a whole number, then "%".
std::string ZoomText(double zoom);

/// How the zoomed page meets the view; all in millimetres on the screen.
struct PreviewScroll {
  bool HEnabled = false;
  bool VEnabled = false;
  double OverflowX = 0;  // the zoomed page beyond the view; 0 when it fits
  double OverflowY = 0;
  double Left = 0;  // the page's part left of the view
  double Top = 0;
  double MarginX = 0;  // a page that fits is centred in the view
  double MarginY = 0;
};
/// h and v are the scroll bars' values as parts of their maxima (0 .. 1).
PreviewScroll ScrollRule(double zoom, double pageWidth, double pageHeight, double viewWidth,
                         double viewHeight, double h, double v);

/// What the preview asks of its window.
class PreviewHost {
 public:
  virtual ~PreviewHost() = default;
  /// Lets pending events run while a report is drawn (a click on "&Cancel").
  virtual void ProcessEvents() = 0;
  virtual void HidePreview() = 0;
  virtual void ShowMainWindow() = 0;
  /// True once the program is closing: a drawing stops as if cancelled.
  virtual bool ProgramClosing() { return false; }
};

enum class PreviewChange { Zoom, Scroll, Production, Page };

class PreviewObserver {
 public:
  virtual ~PreviewObserver() = default;
  virtual void PreviewChanged(PreviewChange what) = 0;
};

class PreviewModel {
 public:
  /// The context is asked for anew each time: the window may make a new one.
  using ContextSource = std::function<RenderContext&()>;
  /// Prints one report through the print run.
  using ReportPrinter = std::function<void(int reportIndex)>;
  /// The paper of the printer Print would use, asked before each page is drawn.
  using PaperSource = std::function<PaperSize()>;

  PreviewModel(WindowModel& main, ContextSource context, ReportPrinter print, PreviewHost& host,
               PaperSource paper = {});
  PreviewModel(const PreviewModel&) = delete;
  PreviewModel& operator=(const PreviewModel&) = delete;

  void AddObserver(PreviewObserver* observer) { observers_.push_back(observer); }
  void RemoveObserver(PreviewObserver* observer) { std::erase(observers_, observer); }

  // --- the page ---------------------------------------------------------------------
  /// Draws report (0-based) as the preview shows it. Busy (and nothing drawn) while
  /// the preview or a print run is drawing already.
  ProduceOutcome ShowReport(int reportIndex);
  int ReportIndex() const { return report_; }
  /// The drawn page, or nullptr before the first.
  const QPicture* Page() const;
  double PageWidthMm() const { return paper_.WidthMm; }
  double PageHeightMm() const { return paper_.HeightMm; }
  /// Device units of the picture per millimetre.
  double PictureDotsPerMm() const { return dotsPerMm_; }
  /// The report's title as the window's caption shows it.
  std::string Title() const;

  // --- production state ---------------------------------------------------------------
  bool Busy() const { return busy_; }
  bool CancelRequested() const { return cancel_; }
  /// Zoom, Print, Save and the report steps are off while drawing.
  bool ControlsEnabled() const { return !busy_; }
  std::string CloseCaption() const { return busy_ ? "&Cancel" : "&Close"; }
  /// The close button and closing the window: a drawing in progress stops at its next
  /// check; the window is hidden and the main window shown, never destroyed.
  void Close();

  // --- zoom -----------------------------------------------------------------------------
  double Zoom() const { return zoom_; }
  const std::string& ZoomBoxText() const { return zoomText_; }
  /// The box lost the focus holding text: parsed, written back.
  void ZoomBoxLeft(const std::string& text);
  /// A choice from the box's list: the view goes back to the page's top-left corner.
  void ZoomBoxClicked();
  /// A mouse button on the page: the left doubles the zoom, any other halves it,
  /// beyond the box's range.
  void PreviewMouseDown(bool leftButton);

  // --- scrolling ------------------------------------------------------------------------
  double ScrollH() const { return scrollH_; }
  double ScrollV() const { return scrollV_; }
  void SetScroll(double h, double v);
  PreviewScroll Scroll(double viewWidthMm, double viewHeightMm) const;

  // --- commands ---------------------------------------------------------------------
  /// Hides the preview, shows the main window and prints the report on its own.
  void Print();
  /// The page as a bitmap at dpi, painted from its layout as vantrel-report --png
  /// paints it (a page cut short by a cancel from its picture): PNG when path ends in
  /// ".png", else BMP. Written whole or not at all; "" or why not.
  std::string SavePicture(const std::string& path, int dpi = 150) const;
  bool PrevEnabled() const;
  bool NextEnabled() const;
  void PrevReport();
  void NextReport();

 private:
  void Notify(PreviewChange what);
  void SetZoom(double zoom);
  int ReportCount() const;

  WindowModel& main_;
  ContextSource context_;
  ReportPrinter print_;
  PreviewHost& host_;
  PaperSource paperSource_;
  PaperSize paper_;
  std::unique_ptr<PictureTarget> page_;
  std::optional<PagePlan> plan_;  // the page's layout, when it was drawn to its end
  double dotsPerMm_ = 1;
  int report_ = -1;
  bool busy_ = false;
  bool cancel_ = false;
  double zoom_ = 1.0;
  std::string zoomText_ = "100%";
  double scrollH_ = 0;
  double scrollV_ = 0;
  std::vector<PreviewObserver*> observers_;
};

}  // namespace vantrel
