// Background printing: the tray icon, its tips through a PDF run, its menu, and the
// window out of sight: hidden behind a tray icon, minimised where there is no tray.

#include <gtest/gtest.h>

#include <filesystem>

#include "model/window_fixture.h"
#include "platform/print/spooler.h"
#include "support/text.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

class TrayTips : public WindowModelObserver {
 public:
  explicit TrayTips(MainWindowModel& model) : model_(model) {}
  void ModelChanged(ModelChange what) override {
    if (what != ModelChange::Tray) return;
    Tips.push_back(model_.TrayIconShown() ? model_.TrayTip() : "(gone)");
  }
  std::vector<std::string> Tips;

 private:
  MainWindowModel& model_;
};

struct BackgroundRun : WindowFixture {
  TrayTips Tips{*Model};
  fs::path Spool = Dir.path() / "spool";

  explicit BackgroundRun(bool tray) {
    Host.Tray = tray;
    Model->AddObserver(&Tips);
    Model->SetPrinterName(kBuiltInPdfPrinter);
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    fs::copy_file(samples / "logo.png", Dir.path() / "logo.png");
    fs::create_directories(Spool);
    const std::string ini =
        ReplaceAll(ReadFileBytes(samples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                   "APPNAME=" + (Dir.path() / "cert.pdf").string() +
                       "\nAUTOPDF_TEMPDIR=" + Spool.string() + "/");
    const std::string data =
        Dir.Write("cable.txt", ReadFileBytes(samples / "sample-results.txt")).string();
    EXPECT_EQ(Start(ini, ">N0,N<", data), StartupOutcome::Running);
    Model->SetBackground(true);
  }
};

TEST(BackgroundPrinting, WithATrayTheWindowHidesAndTheIconFollowsThePdfSteps) {
  BackgroundRun run(true);
  run.Host.Calls.clear();
  run.Model->PrintCommand(true);
  EXPECT_EQ(run.Model->LastPrint().Pdf, PdfOutcome::Saved);
  EXPECT_EQ(run.Host.Calls, (std::vector<std::string>{"hide", "close"}));
  EXPECT_EQ(
      run.Tips.Tips,
      (std::vector<std::string>{
          "Vantrel - Printing...", "Vantrel - Waiting for print queue to empty...",
          // The tip's 63 characters hold only the start of the folder.
          ("Vantrel - Waiting for file to appear in: " + run.Spool.string() + "/").substr(0, 63),
          "Vantrel - Copying pdf file..."}));
  // A second background run brings no second icon.
  run.Tips.Tips.clear();
  run.Model->AddTrayIcon();
  EXPECT_TRUE(run.Tips.Tips.empty());
  EXPECT_TRUE(run.Model->TrayIconShown());
}

TEST(BackgroundPrinting, WithoutATrayTheWindowIsMinimisedSoItCanBeGotBack) {
  BackgroundRun run(false);
  run.Host.Calls.clear();
  run.Model->PrintCommand(true);
  EXPECT_EQ(run.Host.Calls, (std::vector<std::string>{"minimise", "close"}));
  EXPECT_TRUE(fs::exists(run.Dir.path() / "cert.pdf"));
}

TEST(TrayMenu, RestoreKeepsTheProgramOpenAndCancelClosesTheWindow) {
  WindowFixture f;
  TrayTips tips(*f.Model);
  f.Model->AddObserver(&tips);
  f.Start(WindowIni(1));
  // No icon: no tip.
  f.Model->SetTrayTip("Copying pdf file...");
  EXPECT_TRUE(tips.Tips.empty());
  EXPECT_EQ(f.Model->TrayTip(), "");

  f.Model->SetBackground(true);
  f.Model->AddTrayIcon();
  f.Model->SetTrayTip("Copying pdf file...");
  EXPECT_EQ(f.Model->TrayTip(), "Vantrel - Copying pdf file...");
  // The tip holds 63 characters, cut between characters, never inside one.
  f.Model->SetTrayTip("Waiting for C:\\Zertifikate\\Prüfung 7\\Kabel Nummer 12345.pdf to appear");
  EXPECT_EQ(f.Model->TrayTip(),
            "Vantrel - Waiting for C:\\Zertifikate\\Prüfung 7\\Kabel Nummer 123");
  f.Host.Calls.clear();
  f.Model->RestoreMainScreen();
  EXPECT_FALSE(f.Model->Background());
  EXPECT_FALSE(f.Model->TrayIconShown());
  EXPECT_EQ(f.Host.Calls, std::vector<std::string>{"show"});
  EXPECT_EQ(tips.Tips.back(), "(gone)");

  f.Model->CancelPrintout();
  EXPECT_EQ(f.Host.Calls.back(), "close");
}

}  // namespace
}  // namespace vantrel::testing
