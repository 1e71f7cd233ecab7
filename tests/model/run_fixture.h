#pragma once
// The window's model over the sample definition and result files, printing for real
// (the built-in PDF printer unless told otherwise), with a hook that acts once when
// the run reaches a given step.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/shell_run.h"
#include "model/window_fixture.h"
#include "platform/print/spooler.h"
#include "support/text.h"

namespace vantrel::testing {

struct RunFixture : WindowFixture {
  std::filesystem::path spool, out, temp;
  std::string data, ini, list;

  /// reports: how many of the sample's reports are ticked; extra: more [GENERAL] lines.
  /// Without start, Begin starts the program later (a hook set first sees start-up).
  explicit RunFixture(int reports, const std::string& extra = "",
                      const std::string& resultText = "", bool start = true) {
    namespace fs = std::filesystem;
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    spool = dir.path() / "spool";
    out = dir.path() / "out";
    temp = dir.path() / "tmp";
    fs::create_directories(spool);
    fs::create_directories(temp);
    model->UseTempFolder(temp.string());
    fs::copy_file(samples / "logo.png", dir.path() / "logo.png");
    ini = ReplaceAll(ReadFileBytes(samples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                     "APPNAME=" + (out / "cable 7.pdf").string() +
                         "\nAUTOPDF_TEMPDIR=" + spool.string() + "/\nPDFWAITSECONDS=60\n" + extra);
    data = dir.Write("cable.txt", resultText.empty() ? ReadFileBytes(samples / "sample-results.txt")
                                                     : resultText)
               .string();
    list = ">N";
    for (int i = 0; i < reports; ++i) list += std::to_string(i) + ",";
    list += "N<";
    model->SetPrinterName(kBuiltInPdfPrinter);
    if (start) Begin();
  }
  void Begin() { EXPECT_EQ(Start(ini, list, data), StartupOutcome::Running); }

  /// Runs act once, the first time the run lets events run in step.
  void When(RunState step, std::function<void()> act, int afterSeconds = 0) {
    host.onEvents = [this, step, afterSeconds, act = std::move(act)]() mutable {
      if (!act || model->PrintRunState() != step) return;
      if (afterSeconds > 0 && model->WaitedSeconds() < afterSeconds) return;
      auto once = std::move(act);
      act = nullptr;
      once();
    };
  }
  /// The operator closes the window and answers Yes to the question.
  void CloseAnsweredYes() {
    prompter.Script({PromptAnswer::Yes});
    EXPECT_TRUE(model->ConfirmClose());
  }
  std::string Final() const { return (out / "cable 7.pdf").string(); }
  static std::vector<std::string> Files(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
      names.push_back(e.path().filename().string());
    return names;
  }
};

}  // namespace vantrel::testing
