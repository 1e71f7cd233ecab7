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
    tips.push_back(model_.TrayIconShown() ? model_.TrayTip() : "(gone)");
  }
  std::vector<std::string> tips;

 private:
  MainWindowModel& model_;
};

struct BackgroundRun : WindowFixture {
  TrayTips tips{*model};
  fs::path spool = dir.path() / "spool";

  explicit BackgroundRun(bool tray) {
    host.tray = tray;
    model->AddObserver(&tips);
    model->SetPrinterName(kBuiltInPdfPrinter);
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    fs::copy_file(samples / "logo.png", dir.path() / "logo.png");
    fs::create_directories(spool);
    const std::string ini =
        ReplaceAll(ReadFileBytes(samples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                   "APPNAME=" + (dir.path() / "cert.pdf").string() +
                       "\nAUTOPDF_TEMPDIR=" + spool.string() + "/");
    const std::string data =
        dir.Write("cable.txt", ReadFileBytes(samples / "sample-results.txt")).string();
    EXPECT_EQ(Start(ini, ">N0,N<", data), StartupOutcome::Running);
    model->SetBackground(true);
  }
};

TEST(BackgroundPrinting, WithATrayTheWindowHidesAndTheIconFollowsThePdfSteps) {
  BackgroundRun run(true);
  run.host.events.clear();
  run.model->PrintCommand(true);
  EXPECT_EQ(run.model->LastPrint().Pdf, PdfOutcome::Saved);
  EXPECT_EQ(run.host.events, (std::vector<std::string>{"hide", "close"}));
  EXPECT_EQ(
      run.tips.tips,
      (std::vector<std::string>{
          "Vantrel - Printing...", "Vantrel - Waiting for print queue to empty...",
          // The tip's 63 characters hold only the start of the folder.
          ("Vantrel - Waiting for file to appear in: " + run.spool.string() + "/").substr(0, 63),
          "Vantrel - Copying pdf file..."}));
  // A second background run brings no second icon.
  run.tips.tips.clear();
  run.model->AddTrayIcon();
  EXPECT_TRUE(run.tips.tips.empty());
  EXPECT_TRUE(run.model->TrayIconShown());
}

TEST(BackgroundPrinting, WithoutATrayTheWindowIsMinimisedSoItCanBeGotBack) {
  BackgroundRun run(false);
  run.host.events.clear();
  run.model->PrintCommand(true);
  EXPECT_EQ(run.host.events, (std::vector<std::string>{"minimise", "close"}));
  EXPECT_TRUE(fs::exists(run.dir.path() / "cert.pdf"));
}

TEST(TrayMenu, RestoreKeepsTheProgramOpenAndCancelClosesTheWindow) {
  WindowFixture f;
  TrayTips tips(*f.model);
  f.model->AddObserver(&tips);
  f.Start(WindowIni(1));
  // No icon: no tip.
  f.model->SetTrayTip("Copying pdf file...");
  EXPECT_TRUE(tips.tips.empty());
  EXPECT_EQ(f.model->TrayTip(), "");

  f.model->SetBackground(true);
  f.model->AddTrayIcon();
  f.model->SetTrayTip("Copying pdf file...");
  EXPECT_EQ(f.model->TrayTip(), "Vantrel - Copying pdf file...");
  // The tip holds 63 characters, cut between characters, never inside one.
  f.model->SetTrayTip("Waiting for C:\\Zertifikate\\Prüfung 7\\Kabel Nummer 12345.pdf to appear");
  EXPECT_EQ(f.model->TrayTip(),
            "Vantrel - Waiting for C:\\Zertifikate\\Prüfung 7\\Kabel Nummer 123");
  f.host.events.clear();
  f.model->RestoreMainScreen();
  EXPECT_FALSE(f.model->Background());
  EXPECT_FALSE(f.model->TrayIconShown());
  EXPECT_EQ(f.host.events, std::vector<std::string>{"show"});
  EXPECT_EQ(tips.tips.back(), "(gone)");

  f.model->CancelPrintout();
  EXPECT_EQ(f.host.events.back(), "close");
}

}  // namespace
}  // namespace vantrel::testing
