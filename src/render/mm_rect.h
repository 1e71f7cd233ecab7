#pragma once
// A rectangle on the page in millimetres, origin at the page's top-left corner. Filled
// by member names: MmRect{.Width = w, .Height = h, .Top = t, .Left = l}.

namespace vantrel {

struct MmRect {
  float Width = 0;
  float Height = 0;
  float Top = 0;
  float Left = 0;

  float Right() const { return Left + Width; }
  float Bottom() const { return Top + Height; }
  bool operator==(const MmRect&) const = default;
};

}  // namespace vantrel
