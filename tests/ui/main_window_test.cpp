// The main window's widgets, found by their control names and clicked as an operator
// would.

#include <gtest/gtest.h>

#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "common/failing_printer.h"
#include "platform/print/spooler.h"
#include "support/text.h"
#include "ui/window_test_fixture.h"

namespace vantrel::testing {
namespace {

TEST(MainWindow, RowsAndCaptionsOnBothPagesOfSeventeenReports) {
  UiFixture f;
  std::vector<std::string> titles;
  for (int r = 1; r <= 17; ++r) titles.push_back("Report " + std::to_string(r));
  titles[2] = "NEXT & FEXT";
  ASSERT_EQ(f.Start(WindowIni(17, {}, titles)), StartupOutcome::Running);
  ASSERT_NE(f.Check(15), nullptr);
  EXPECT_TRUE(f.Window.isVisible());
  EXPECT_EQ(f.Window.windowTitle(), QStringLiteral("Vantrel"));
  EXPECT_EQ(f.Label(0)->text(), QStringLiteral("Report 1"));
  EXPECT_EQ(f.Label(2)->text(), QStringLiteral("NEXT && FEXT"));
  EXPECT_EQ(f.Label(2)->toolTip(), QStringLiteral("NEXT & FEXT"));
  EXPECT_EQ(f.Label(15)->text(), QStringLiteral("Report 16"));
  EXPECT_TRUE(f.Check(15)->isVisible());
  EXPECT_TRUE(f.Check(15)->isChecked());
  EXPECT_EQ(f.Preview(0)->toolTip(), QStringLiteral("Print Preview"));

  QAction* next = f.Action("Next");
  QAction* prev = f.Action("Prev");
  ASSERT_NE(next, nullptr);
  EXPECT_TRUE(next->isEnabled());
  EXPECT_FALSE(prev->isEnabled());
  next->trigger();
  EXPECT_EQ(f.Label(0)->text(), QStringLiteral("Report 17"));
  EXPECT_TRUE(f.Label(0)->isVisible());
  for (int j = 1; j < kListRows; ++j) {
    EXPECT_FALSE(f.Label(j)->isVisible()) << j;
    EXPECT_FALSE(f.Check(j)->isVisible()) << j;
    EXPECT_FALSE(f.Preview(j)->isVisible()) << j;
  }
  EXPECT_FALSE(next->isEnabled());
  EXPECT_TRUE(prev->isEnabled());
  prev->trigger();
  EXPECT_EQ(f.Label(15)->text(), QStringLiteral("Report 16"));
}

TEST(MainWindow, SelectAllOnPageTwoAndClickingARow) {
  UiFixture f;
  f.Start(WindowIni(17, {"ALLSELECTED=FALSE"}));
  QAction* select = f.Action("Select");
  EXPECT_EQ(select->text(), QStringLiteral("Select"));
  EXPECT_EQ(select->toolTip(), QStringLiteral("Select All"));
  f.Action("Next")->trigger();
  select->trigger();
  EXPECT_TRUE(f.Check(0)->isChecked());
  EXPECT_EQ(select->text(), QStringLiteral("De-Select"));
  EXPECT_EQ(select->toolTip(), QStringLiteral("De-select All"));
  for (int i = 0; i < 17; ++i) EXPECT_TRUE(f.State->Selection[i]) << i;

  f.Action("Prev")->trigger();
  EXPECT_TRUE(f.Check(5)->isChecked());
  QTest::mouseClick(f.Check(5), Qt::LeftButton);
  EXPECT_FALSE(f.State->Selection[5]);
  EXPECT_TRUE(f.State->Selection[4]);
}

TEST(MainWindow, ProfileFromTheMenuWithANonNumericEntry) {
  UiFixture f;
  f.Start(WindowIni(5, {"PROFILE_1=Mixed,2,x,4", "PROFILE_2=One,1"}));
  QAction* mixed = f.Action("mnuProfileData0");
  ASSERT_NE(mixed, nullptr);
  EXPECT_TRUE(mixed->isVisible());
  EXPECT_EQ(mixed->text(), QStringLiteral("Mixed"));
  EXPECT_FALSE(f.Action("mnuProfileData2")->isVisible());
  EXPECT_TRUE(f.Find<QAction>(QStringLiteral("mnu_NewProfileSep"))->isVisible());
  mixed->trigger();
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "Profile Error");
  EXPECT_FALSE(f.Check(0)->isChecked());
  EXPECT_TRUE(f.Check(1)->isChecked());
  EXPECT_FALSE(f.Check(2)->isChecked());
  EXPECT_TRUE(f.Check(3)->isChecked());
}

TEST(MainWindow, AddNewProfileWritesTheDefinitionFile) {
  UiFixture f;
  f.Start(WindowIni(10, {"ALLSELECTED=FALSE"}));
  QTest::mouseClick(f.Check(0), Qt::LeftButton);
  QTest::mouseClick(f.Check(2), Qt::LeftButton);
  f.Prompter.ScriptInput({"Two of them"});
  f.Action("mnu_NewProfile")->trigger();
  const std::string text = ReadFileBytes(f.Definition);
  EXPECT_NE(text.find("Profile_1=Two of them,1,3\r\n"), std::string::npos) << text;
  EXPECT_EQ(f.Action("mnuProfileData0")->text(), QStringLiteral("Two of them"));
  EXPECT_TRUE(f.Action("mnuProfileData0")->isVisible());
  EXPECT_EQ(f.Prompter.Messages.back().Text, "Two of them profile has now been setup.");
}

TEST(MainWindow, CloseAnsweredNoDuringARunKeepsTheWindow) {
  UiFixture f;
  f.Start(WindowIni(2), "", f.Dir.Write("run.txt", ResultText()).string());
  bool stillShown = false;
  f.Model.UsePrintCommand([&](bool) {
    f.Model.SetPrintingFlag(true);
    f.Prompter.Script({PromptAnswer::No});
    // The operator closes the window while the run yields.
    EXPECT_FALSE(f.Window.close());
    stillShown = f.Window.isVisible();
    f.Model.SetPrintingFlag(false);
  });
  QPushButton* print = f.Find<QPushButton>(QStringLiteral("CmdPrintJob"));
  ASSERT_TRUE(print->isEnabled());
  EXPECT_EQ(print->text(), QStringLiteral("P&rint"));
  QTest::mouseClick(print, Qt::LeftButton);
  EXPECT_TRUE(stillShown);
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "Custom Report Software");
  EXPECT_FALSE(f.Window.Closed());
  EXPECT_FALSE(f.Model.CancelRequested());
}

TEST(MainWindow, SeveralResultsAnsweredNoGoIntoOneJob) {
  UiFixture f;
  f.Start(WindowIni(1));
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) f.Dir.Write(name, ResultText());
  std::vector<bool> ends;
  f.Model.UsePrintCommand([&](bool end) { ends.push_back(end); });
  f.Dialog.Answers = {f.Dir.path().string() + std::string("\0a.txt\0b.txt\0c.txt", 18)};
  f.Prompter.Script({PromptAnswer::No});
  f.Action("FileDataFile")->trigger();
  EXPECT_EQ(ends, (std::vector<bool>{false, false, true}));
  EXPECT_EQ(f.State->Settings.AppName, "c");
}

TEST(MainWindow, ResultNotLoadedIndicationFollowsTheLoad) {
  UiFixture f;
  f.Start(WindowIni(1));
  QLabel* label = f.Find<QLabel>(QStringLiteral("ResultNotLoaded"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("Result file has not been loaded"));
  EXPECT_TRUE(label->isVisible());
  EXPECT_TRUE(f.Find<QLabel>(QStringLiteral("ExclamationImage"))->isVisible());
  EXPECT_FALSE(f.Find<QPushButton>(QStringLiteral("CmdPrintJob"))->isEnabled());
  f.Model.LoadDataFile(f.Dir.Write("run.txt", ResultText()).string());
  EXPECT_FALSE(label->isVisible());
  EXPECT_TRUE(f.Find<QPushButton>(QStringLiteral("CmdPrintJob"))->isEnabled());
}

TEST(MainWindow, MenusCaptionsAndTheHiddenDebugMenu) {
  UiFixture f;
  f.Start(WindowIni(1));
  const std::vector<std::pair<const char*, const char*>> items = {
      {"FileDataFile", "Open &Result File"},
      {"FileDefFile", "Open New &Definition File"},
      {"SetDefaultPrinter", "Set Default Printer"},
      {"PrintInBackground", "Print in &background"},
      {"PrintSummaryReport", "Print Summary Report"},
      {"mnuOpenNewInstance", "Open New Report Instance"},
      {"mnuEditingFrame", "Show Editing Controls"},
      {"mnu_NewProfile", "Add new profile..."},
      {"FileAbout", "&About"},
      {"FileExit", "E&xit"},
      {"mnuReloadCurrentIni", "Re-load current ini file"}};
  for (const auto& [name, caption] : items) {
    QAction* action = f.Action(name);
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->text(), QString::fromUtf8(caption)) << name;
  }
  EXPECT_FALSE(f.Action("PrintSummaryReport")->isVisible());

  QMenu* debug = f.Find<QMenu>(QStringLiteral("mnuDebug"));
  ASSERT_NE(debug, nullptr);
  EXPECT_FALSE(debug->menuAction()->isVisible());
  QStatusBar* status = f.Find<QStatusBar>(QStringLiteral("StatusBar"));
  QTest::mouseDClick(status, Qt::LeftButton);
  EXPECT_TRUE(debug->menuAction()->isVisible());

  QWidget* frame = f.Find<QWidget>(QStringLiteral("EditingFrame"));
  EXPECT_FALSE(frame->isVisible());
  f.Action("mnuEditingFrame")->trigger();
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(f.Action("mnuEditingFrame")->isChecked());
  QPushButton* slotsButton = f.Find<QPushButton>(QStringLiteral("Command2"));
  EXPECT_EQ(slotsButton->text(), QStringLiteral("Slots Off"));
  QTest::mouseClick(slotsButton, Qt::LeftButton);
  EXPECT_EQ(slotsButton->text(), QStringLiteral("Slots On"));
  EXPECT_TRUE(f.Model.SlotsFlag());
}

TEST(MainWindow, StatusBarSplitAndProgressBarPlace) {
  UiFixture f;
  f.Start(WindowIni(1));
  f.Window.resize(800, 600);
  QCoreApplication::processEvents();
  QLabel* panel1 = f.Find<QLabel>(QStringLiteral("StatusPanel1"));
  QProgressBar* bar = f.Find<QProgressBar>(QStringLiteral("ProgBar"));
  EXPECT_EQ(panel1->width(), 600);
  EXPECT_EQ(f.Find<QLabel>(QStringLiteral("StatusPanel2"))->width(), 200);
  EXPECT_EQ(bar->geometry().left(), 604);
  EXPECT_EQ(bar->geometry().width(), 189);
  EXPECT_EQ(bar->geometry().top(), 3);
  f.Model.SetStatusText("Reading Data...");
  EXPECT_EQ(panel1->text(), QStringLiteral("Reading Data..."));
}

namespace fs = std::filesystem;

// The sample definition and result with the PDF step on, printing through the built-in
// PDF printer, on the real window.
struct RunWindow : UiFixture {
  fs::path Spool = Dir.path() / "spool", Out = Dir.path() / "out", Temp = Dir.path() / "tmp";
  explicit RunWindow(int reports) {
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    fs::create_directories(Spool);
    fs::create_directories(Temp);
    Model.UseTempFolder(Temp.string());
    fs::copy_file(samples / "logo.png", Dir.path() / "logo.png");
    const std::string ini =
        ReplaceAll(ReadFileBytes(samples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                   "APPNAME=" + Final() + "\nAUTOPDF_TEMPDIR=" + Spool.string() + "/");
    const std::string data =
        Dir.Write("cable.txt", ReadFileBytes(samples / "sample-results.txt")).string();
    std::string list = ">N";
    for (int i = 0; i < reports; ++i) list += std::to_string(i) + ",";
    EXPECT_EQ(Start(ini, list + "N<", data), StartupOutcome::Running);
    Model.SetPrinterName(kBuiltInPdfPrinter);
  }
  std::string Final() const { return (Out / "cable 7.pdf").string(); }
  QPushButton* PrintButton() { return Find<QPushButton>(QStringLiteral("CmdPrintJob")); }
  static bool Empty(const fs::path& folder) { return fs::is_empty(folder); }
};

TEST(MainWindowRun, ADoubleClickOnPrintMakesOneCertificate) {
  RunWindow f(3);
  QPushButton* print = f.PrintButton();
  ASSERT_TRUE(print->isEnabled());
  const QPointF at(print->width() / 2.0, print->height() / 2.0);
  const QPointF global = print->mapToGlobal(at);
  // Both clicks are queued before the first is handled, as a quick double click is.
  for (int i = 0; i < 2; ++i) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QCoreApplication::postEvent(
          print, new QMouseEvent(type, at, global, Qt::LeftButton,
                                 type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                 Qt::NoModifier));
    }
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(f.Model.LastPrint().Produced, 3);
  EXPECT_EQ(f.Model.LastPrint().Pdf, PdfOutcome::Saved) << f.Model.LastPrint().PdfError;
  // Neither an overwrite question nor a PDF that did not appear; a display without a
  // PDF viewer may say only that.
  for (const RecordedMessage& m : f.Prompter.Messages)
    EXPECT_NE(m.Text.find("no program is set up to show PDF files"), std::string::npos) << m.Text;
  EXPECT_TRUE(fs::is_regular_file(f.Final()));
  EXPECT_TRUE(f.Empty(f.Spool));
  EXPECT_TRUE(print->isEnabled());
}

TEST(MainWindowRun, CloseDuringThePdfWaitsEndsTheProgramAndLeavesNothing) {
  for (const RunState step : {RunState::WaitingForQueue, RunState::WaitingForFile}) {
    RunWindow f(2);
    QString status;
    bool closeEnabled = false;
    AtStep close(f.Model, step, [&] {
      status = f.Find<QLabel>(QStringLiteral("StatusPanel1"))->text();
      closeEnabled = f.Find<QPushButton>(QStringLiteral("CmdClose"))->isEnabled();
      f.Prompter.Script({PromptAnswer::Yes});
      f.Window.close();  // as the window manager's close button does
    });
    QTest::mouseClick(f.PrintButton(), Qt::LeftButton);
    const int at = static_cast<int>(step);
    ASSERT_TRUE(close.Done()) << at;
    EXPECT_TRUE(closeEnabled) << at;
    EXPECT_TRUE(status.startsWith(QStringLiteral("Waiting for "))) << at << status.toStdString();
    EXPECT_TRUE(status.contains(QStringLiteral("(waited "))) << at;
    EXPECT_TRUE(f.Window.Closed()) << at;
    EXPECT_TRUE(f.Model.LastPrint().Cancelled) << at;
    EXPECT_TRUE(f.Empty(f.Spool)) << at;
    EXPECT_FALSE(fs::exists(f.Final())) << at;
  }
}

TEST(MainWindow, PumpLetsEventsRunOnceTheProgramIsQuitting) {
  MainWindow window;
  QCoreApplication::exit(0);  // what a confirmed close asks for
  bool ran = false;
  QTimer::singleShot(0, &window, [&] { ran = true; });
  window.Pump(50);
  EXPECT_TRUE(ran);
}

TEST(MainWindowRun, YesToClosingAfterAFaultClosesTheWindow) {
  RunWindow f(3);
  int sent = 0;
  f.Model.Printing().SetPrinterOpener([&](const std::string&) {
    return PrinterChoice{std::make_unique<FailingPrinter>(sent), ""};
  });
  f.Prompter.Script({PromptAnswer::Cancel, PromptAnswer::Yes});
  QTest::mouseClick(f.PrintButton(), Qt::LeftButton);
  EXPECT_TRUE(f.Window.Closed());
  EXPECT_FALSE(f.Window.isVisible());
  EXPECT_EQ(sent, 0);
  EXPECT_EQ(f.Prompter.Messages.size(), 2u);  // the fault and the question, no other
}

}  // namespace
}  // namespace vantrel::testing
