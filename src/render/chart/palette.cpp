#include "render/chart/palette.h"

namespace vantrel::chart {

namespace {

constexpr ChartRgb Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

}  // namespace

ChartRgb PaletteColour(int number) {
  // The light and yellow tones are darkened a little so that a thin trace on white
  // paper stays visible.
  switch (number) {
    case 2:
      return Rgb(255, 0, 0);  // red
    case 3:
      return Rgb(0, 170, 0);  // green
    case 4:
      return Rgb(255, 0, 255);  // magenta
    case 5:
      return Rgb(0, 0, 255);  // blue
    case 6:
      return Rgb(0, 190, 210);  // cyan
    case 7:
      return Rgb(192, 192, 192);  // light grey
    case 8:
      return Rgb(128, 128, 128);  // grey
    case 9:
      return Rgb(255, 128, 255);  // light magenta
    case 10:
      return Rgb(110, 220, 235);  // light cyan
    case 11:
      return Rgb(100, 220, 100);  // light green
    case 13:
      return Rgb(230, 200, 0);  // yellow
    case 14:
      return Rgb(255, 128, 0);  // orange
    case 15:
      return Rgb(255, 255, 255);  // white
    case 41:
      return Rgb(240, 230, 120);  // light yellow
    case 80:
      return Rgb(128, 64, 0);  // brown
    default:
      return Rgb(0, 0, 0);  // black and anything unnamed
  }
}

}  // namespace vantrel::chart
