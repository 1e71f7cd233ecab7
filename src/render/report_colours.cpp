#include "render/report_colours.h"

#include "support/text.h"

namespace vantrel {

Rgb NamedColour(const LayoutContext& context, const std::string& name) {
  return context.Colours.Page ? context.Colours.Page(name) : kBlack;
}

Rgb TitleBandColour(const LayoutContext& context) {
  const std::string& name = context.State.Settings.TableColor;
  return EqualsNoCase(name, "BLUE") || !context.Colours.Page ? kBandBlue
                                                             : context.Colours.Page(name);
}

Rgb TitleTextColour(const LayoutContext& context) {
  return context.Colours.Page ? context.Colours.Page(context.State.Settings.HeaderTextColor)
                              : kWhite;
}

Rgb FailColour(const LayoutContext& context) {
  return context.Colours.Page ? context.Colours.Page("red") : kRed;
}

}  // namespace vantrel
