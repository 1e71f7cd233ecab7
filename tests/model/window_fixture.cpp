#include "model/window_fixture.h"

namespace vantrel::testing {

WindowFixture::WindowFixture() {
  model = std::make_unique<MainWindowModel>(*state, prompter, dialog, host);
  model->UseTempFolder(dir.path().string());
}

StartupOutcome WindowFixture::Start(const std::string& ini, const std::string& commandTail,
                                    const std::string& dataFile) {
  definition = dir.Write("def.ini", ini).string();
  return model->Startup(dataFile + ">I" + definition + "I<" + commandTail);
}

std::string WindowFixture::WriteResult(const std::string& name) {
  return dir.Write(name, ResultText()).string();
}

std::vector<std::string> WindowFixture::Titles() const {
  std::vector<std::string> titles;
  for (const ReportRow& row : model->Rows()) titles.push_back(row.Visible ? row.ToolTip : "-");
  return titles;
}

}  // namespace vantrel::testing
