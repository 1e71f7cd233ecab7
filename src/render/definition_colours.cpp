#include "definitions/colours.h"
#include "definitions/report_reader.h"
#include "render/render_context.h"

namespace vantrel {

void UseDefinitionColours(RenderContext& context) {
  Prompter* ask = &context.Ask;
  context.Colours.Page = [ask](std::string_view name) {
    return static_cast<Rgb>(ColourToRgb(name, *ask));
  };
  context.Colours.Palette = [](std::string_view name) { return ColourToPalette(name); };
  ProgramState* state = &context.State;
  context.ReadReports = [state, ask]() { ReadReportsIni(*state, *ask); };
}

}  // namespace vantrel
