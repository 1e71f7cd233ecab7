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
  std::filesystem::path Spool, Out, Temp;
  std::string Data, Ini, List;

  /// reports: how many of the sample's reports are ticked; extra: more [GENERAL] lines.
  /// Without start, Begin starts the program later (a hook set first sees start-up).
  explicit RunFixture(int reports, const std::string& extra = "",
                      const std::string& resultText = "", bool start = true) {
    namespace fs = std::filesystem;
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    Spool = Dir.path() / "spool";
    Out = Dir.path() / "out";
    Temp = Dir.path() / "tmp";
    fs::create_directories(Spool);
    fs::create_directories(Temp);
    Model->UseTempFolder(Temp.string());
    fs::copy_file(samples / "logo.png", Dir.path() / "logo.png");
    Ini = ReplaceAll(ReadFileBytes(samples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                     "APPNAME=" + (Out / "cable 7.pdf").string() +
                         "\nAUTOPDF_TEMPDIR=" + Spool.string() + "/\nPDFWAITSECONDS=60\n" + extra);
    Data = Dir.Write("cable.txt", resultText.empty() ? ReadFileBytes(samples / "sample-results.txt")
                                                     : resultText)
               .string();
    List = ">N";
    for (int i = 0; i < reports; ++i) List += std::to_string(i) + ",";
    List += "N<";
    Model->SetPrinterName(kBuiltInPdfPrinter);
    if (start) Begin();
  }
  void Begin() { EXPECT_EQ(Start(Ini, List, Data), StartupOutcome::Running); }

  /// Runs act once, the first time the run lets events run in step.
  void When(RunState step, std::function<void()> act, int afterSeconds = 0) {
    Host.OnEvents = [this, step, afterSeconds, act = std::move(act)]() mutable {
      if (!act || Model->PrintRunState() != step) return;
      if (afterSeconds > 0 && Model->WaitedSeconds() < afterSeconds) return;
      auto once = std::move(act);
      act = nullptr;
      once();
    };
  }
  /// The operator closes the window and answers Yes to the question.
  void CloseAnsweredYes() {
    Prompter.Script({PromptAnswer::Yes});
    EXPECT_TRUE(Model->ConfirmClose());
  }
  std::string Final() const { return (Out / "cable 7.pdf").string(); }
  static std::vector<std::string> Files(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
      names.push_back(e.path().filename().string());
    return names;
  }
};

}  // namespace vantrel::testing
