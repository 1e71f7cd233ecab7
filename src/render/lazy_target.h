#pragma once
// Holds a target's first page back until something is drawn, so that a run that draws
// nothing writes or sends nothing.

#include "render/page_target.h"

namespace vantrel {

class LazyTarget : public PageTarget {
 public:
  enum class Ending {
    WithRun,  // End ends the inner target, when it was begun
    ByOwner,  // the inner target's owner ends it (a print job's Finish)
  };
  LazyTarget(PageTarget& inner, Ending ending) : inner_(inner), ending_(ending) {}

  bool Begin() override { return true; }
  bool NewPage() override;
  bool End() override;
  QPainter& Painter() override;
  double PageWidthMm() const override { return inner_.PageWidthMm(); }
  double PageHeightMm() const override { return inner_.PageHeightMm(); }
  double DotsPerMm() const override { return inner_.DotsPerMm(); }
  int PagesStarted() const override { return begun_ ? inner_.PagesStarted() : 0; }
  bool IsFileOutput() const override { return inner_.IsFileOutput(); }
  bool Begun() const { return begun_; }
  /// The inner target refused to begin.
  bool Failed() const { return failed_; }

 private:
  bool Ensure();

  PageTarget& inner_;
  Ending ending_;
  bool begun_ = false;
  bool failed_ = false;
};

}  // namespace vantrel
