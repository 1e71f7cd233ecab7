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
    if (what == ModelChange::Printing && model_.PrintingFlag() && Act) {
      auto once = std::move(Act);
      Act = nullptr;
      once();
    }
  }
  std::function<void()> Act;

 private:
  MainWindowModel& model_;
};

struct TrayRun : UiFixture {
  WhilePrinting During{Model};
  /// pdf: the PDF step saves dir/out/cable.pdf through dir/spool.
  explicit TrayRun(bool tray, int reports = 1, bool pdf = false) {
    Window.UseTrayAvailability([tray] { return tray; });
    Model.AddObserver(&During);
    Model.SetPrinterName(kBuiltInPdfPrinter);
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    fs::copy_file(samples / "logo.png", Dir.path() / "logo.png");
    const std::string data =
        Dir.Write("cable.txt", ReadFileBytes(samples / "sample-results.txt")).string();
    std::string list = ">N";
    for (int i = 0; i < reports; ++i) list += std::to_string(i) + ",";
    std::string ini = ReadFileBytes(samples / "sample.ini");
    if (pdf) {
      fs::create_directories(Dir.path() / "spool");
      ini = ReplaceAll(ini, "APPNAME=Vantrel sample certificate",
                       "APPNAME=" + (Dir.path() / "out" / "cable.pdf").string() +
                           "\nAUTOPDF_TEMPDIR=" + (Dir.path() / "spool").string() + "/");
    }
    EXPECT_EQ(Start(ini, list + "N<", data), StartupOutcome::Running);
    Action("PrintInBackground")->trigger();
  }
  QAction* TrayItem(const char* name) {
    return Window.TrayMenu()->findChild<QAction*>(QString::fromUtf8(name));
  }
};

TEST(WindowTray, ItsItemsAndRestoreDuringARunKeepTheProgramOpen) {
  TrayRun f(true);
  EXPECT_EQ(f.Window.TrayMenu()->objectName(), QStringLiteral("mnuTrayPopup"));
  ASSERT_NE(f.TrayItem("mnuRestore"), nullptr);
  EXPECT_EQ(f.TrayItem("mnuRestore")->text(), QStringLiteral("Restore main screen"));
  EXPECT_EQ(f.TrayItem("mnuCancel")->text(), QStringLiteral("Cancel printout"));
  bool hidden = false;
  QString tip;
  f.During.Act = [&] {
    hidden = !f.Window.isVisible();
    if (f.Window.TrayIcon() != nullptr && f.Window.TrayIcon()->isVisible())
      tip = f.Window.TrayIcon()->toolTip();
    f.TrayItem("mnuRestore")->trigger();
  };
  QTest::mouseClick(f.Find<QPushButton>(QStringLiteral("CmdPrintJob")), Qt::LeftButton);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(tip, QStringLiteral("Vantrel - Printing..."));
  EXPECT_EQ(f.Model.LastPrint().Produced, 1);
  // Restored: the window is back, the icon gone, and the run left the program open.
  EXPECT_TRUE(f.Window.isVisible());
  EXPECT_FALSE(f.Window.Closed());
  EXPECT_FALSE(f.Window.TrayIcon()->isVisible());
  EXPECT_FALSE(f.Action("PrintInBackground")->isChecked());
}

TEST(WindowTray, WithoutATrayTheWindowIsMinimisedAndCancelAsksFirst) {
  TrayRun f(false, 3);
  bool minimised = false, visible = false;
  f.Prompter.Script({PromptAnswer::Yes});
  f.During.Act = [&] {
    minimised = f.Window.isMinimized();
    visible = f.Window.isVisible();
    f.TrayItem("mnuCancel")->trigger();
  };
  QTest::mouseClick(f.Find<QPushButton>(QStringLiteral("CmdPrintJob")), Qt::LeftButton);
  EXPECT_TRUE(minimised);
  EXPECT_TRUE(visible);
  EXPECT_EQ(f.Window.TrayIcon(), nullptr);
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "Custom Report Software");
  EXPECT_TRUE(f.Window.Closed());
  EXPECT_LT(f.Model.LastPrint().Produced, 3);
  // What was drawn before the cancel is not printed.
  EXPECT_TRUE(f.Model.LastPrint().Cancelled);
  for (const auto& entry : fs::directory_iterator(f.Dir.path()))
    EXPECT_NE(entry.path().extension(), ".pdf") << entry.path();
}

TEST(WindowTray, CancelPrintoutDuringThePdfWaitEndsTheRunAndLeavesNothing) {
  TrayRun f(true, 2, true);
  f.Prompter.Script({PromptAnswer::Yes});
  AtStep cancel(f.Model, RunState::WaitingForFile, [&] { f.TrayItem("mnuCancel")->trigger(); });
  QTest::mouseClick(f.Find<QPushButton>(QStringLiteral("CmdPrintJob")), Qt::LeftButton);
  ASSERT_TRUE(cancel.Done());
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "Custom Report Software");
  EXPECT_TRUE(f.Window.Closed());
  EXPECT_TRUE(f.Model.LastPrint().Cancelled);
  EXPECT_TRUE(fs::is_empty(f.Dir.path() / "spool"));
  EXPECT_FALSE(fs::exists(f.Dir.path() / "out" / "cable.pdf"));
}

}  // namespace
}  // namespace vantrel::testing
