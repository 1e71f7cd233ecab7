// The tray menu on the real window during a background run, on a desktop with a tray
// and on one without.

#include <gtest/gtest.h>

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <filesystem>

#include "platform/print/spooler.h"
#include "support/text.h"
#include "window_test_fixture.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

// Runs what is asked once the run is printing, as an operator reaching for the tray.
class WhilePrinting : public WindowModelObserver {
 public:
  explicit WhilePrinting(MainWindowModel& model) : model_(model) {}
  void ModelChanged(ModelChange what) override {
    if (what == ModelChange::Printing && model_.PrintingFlag() && act) {
      auto once = std::move(act);
      act = nullptr;
      once();
    }
  }
  std::function<void()> act;

 private:
  MainWindowModel& model_;
};

struct TrayRun : UiFixture {
  WhilePrinting during{model};
  /// pdf: the PDF step saves dir/out/cable.pdf through dir/spool.
  explicit TrayRun(bool tray, int reports = 1, bool pdf = false) {
    window.UseTrayAvailability([tray] { return tray; });
    model.AddObserver(&during);
    model.SetPrinterName(kBuiltInPdfPrinter);
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    fs::copy_file(samples / "logo.png", dir.path() / "logo.png");
    const std::string data =
        dir.Write("cable.txt", ReadFileBytes(samples / "sample-results.txt")).string();
    std::string list = ">N";
    for (int i = 0; i < reports; ++i) list += std::to_string(i) + ",";
    std::string ini = ReadFileBytes(samples / "sample.ini");
    if (pdf) {
      fs::create_directories(dir.path() / "spool");
      ini = ReplaceAll(ini, "APPNAME=Vantrel sample certificate",
                       "APPNAME=" + (dir.path() / "out" / "cable.pdf").string() +
                           "\nAUTOPDF_TEMPDIR=" + (dir.path() / "spool").string() + "/");
    }
    EXPECT_EQ(Start(ini, list + "N<", data), StartupOutcome::Running);
    Action("PrintInBackground")->trigger();
  }
  QAction* TrayItem(const char* name) {
    return window.TrayMenu()->findChild<QAction*>(QString::fromUtf8(name));
  }
};

TEST(WindowTray, ItsItemsAndRestoreDuringARunKeepTheProgramOpen) {
  TrayRun f(true);
  EXPECT_EQ(f.window.TrayMenu()->objectName(), QStringLiteral("mnuTrayPopup"));
  ASSERT_NE(f.TrayItem("mnuRestore"), nullptr);
  EXPECT_EQ(f.TrayItem("mnuRestore")->text(), QStringLiteral("Restore main screen"));
  EXPECT_EQ(f.TrayItem("mnuCancel")->text(), QStringLiteral("Cancel printout"));
  bool hidden = false;
  QString tip;
  f.during.act = [&] {
    hidden = !f.window.isVisible();
    if (f.window.TrayIcon() != nullptr && f.window.TrayIcon()->isVisible())
      tip = f.window.TrayIcon()->toolTip();
    f.TrayItem("mnuRestore")->trigger();
  };
  QTest::mouseClick(f.Find<QPushButton>(QStringLiteral("CmdPrintJob")), Qt::LeftButton);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(tip, QStringLiteral("Vantrel - Printing..."));
  EXPECT_EQ(f.model.LastPrint().Produced, 1);
  // Restored: the window is back, the icon gone, and the run left the program open.
  EXPECT_TRUE(f.window.isVisible());
  EXPECT_FALSE(f.window.Closed());
  EXPECT_FALSE(f.window.TrayIcon()->isVisible());
  EXPECT_FALSE(f.Action("PrintInBackground")->isChecked());
}

TEST(WindowTray, WithoutATrayTheWindowIsMinimisedAndCancelAsksFirst) {
  TrayRun f(false, 3);
  bool minimised = false, visible = false;
  f.prompter.Script({PromptAnswer::Yes});
  f.during.act = [&] {
    minimised = f.window.isMinimized();
    visible = f.window.isVisible();
    f.TrayItem("mnuCancel")->trigger();
  };
  QTest::mouseClick(f.Find<QPushButton>(QStringLiteral("CmdPrintJob")), Qt::LeftButton);
  EXPECT_TRUE(minimised);
  EXPECT_TRUE(visible);
  EXPECT_EQ(f.window.TrayIcon(), nullptr);
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_EQ(f.prompter.messages[0].title, "Custom Report Software");
  EXPECT_TRUE(f.window.Closed());
  EXPECT_LT(f.model.LastPrint().Produced, 3);
  // What was drawn before the cancel is not printed.
  EXPECT_TRUE(f.model.LastPrint().Cancelled);
  for (const auto& entry : fs::directory_iterator(f.dir.path()))
    EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();
}

TEST(WindowTray, CancelPrintoutDuringThePdfWaitEndsTheRunAndLeavesNothing) {
  TrayRun f(true, 2, true);
  f.prompter.Script({PromptAnswer::Yes});
  AtStep cancel(f.model, RunState::WaitingForFile, [&] { f.TrayItem("mnuCancel")->trigger(); });
  QTest::mouseClick(f.Find<QPushButton>(QStringLiteral("CmdPrintJob")), Qt::LeftButton);
  ASSERT_TRUE(cancel.Done());
  ASSERT_EQ(f.prompter.messages.size(), 1u);
  EXPECT_EQ(f.prompter.messages[0].title, "Custom Report Software");
  EXPECT_TRUE(f.window.Closed());
  EXPECT_TRUE(f.model.LastPrint().Cancelled);
  EXPECT_TRUE(fs::is_empty(f.dir.path() / "spool"));
  EXPECT_FALSE(fs::exists(f.dir.path() / "out" / "cable.pdf"));
}

}  // namespace
}  // namespace vantrel::testing
