#include "render/report_colours.h"

#include "support/text.h"

namespace vantrel {

Rgb NamedColour(const RenderContext& context, const std::string& name) {
  return context.Colour ? context.Colour(name) : kBlack;
}

Rgb TitleBandColour(const RenderContext& context) {
  const std::string& name = context.State.Settings.TableColor;
  return EqualsNoCase(name, "BLUE") || !context.Colour ? kBandBlue : context.Colour(name);
}

Rgb TitleTextColour(const RenderContext& context) {
  return context.Colour ? context.Colour(context.State.Settings.HeaderTextColor) : kWhite;
}

Rgb FailColour(const RenderContext& context) {
  return context.Colour ? context.Colour("red") : kRed;
}

}  // namespace vantrel
