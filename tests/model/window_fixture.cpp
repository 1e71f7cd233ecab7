#include "model/window_fixture.h"

namespace vantrel::testing {

WindowFixture::WindowFixture() {
  Model = std::make_unique<MainWindowModel>(*State, Prompter, Dialog, Host);
  Model->UseTempFolder(Dir.path().string());
}

StartupOutcome WindowFixture::Start(const std::string& ini, const std::string& commandTail,
                                    const std::string& dataFile) {
  Definition = Dir.Write("def.ini", ini).string();
  return Model->Startup(dataFile + ">I" + Definition + "I<" + commandTail);
}

std::string WindowFixture::WriteResult(const std::string& name) {
  return Dir.Write(name, ResultText()).string();
}

std::vector<std::string> WindowFixture::Titles() const {
  std::vector<std::string> titles;
  for (const ReportRow& row : Model->Rows()) titles.push_back(row.Visible ? row.ToolTip : "-");
  return titles;
}

}  // namespace vantrel::testing
