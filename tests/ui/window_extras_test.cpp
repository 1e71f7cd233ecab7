// The about box, a new instance from the menu and the default printer chooser.

#include "ui/window_extras.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "platform/cups_printers.h"
#include "window_test_fixture.h"

namespace vantrel::testing {
namespace {

TEST(WindowExtras, AboutBoxTexts) {
  AboutBox box;
  EXPECT_EQ(box.objectName(), QStringLiteral("frmAbout"));
  EXPECT_EQ(box.windowTitle(), QStringLiteral("Vantrel"));
  EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Vantrel"));
  // The same version as the package and vantrel-report --version.
  EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
            QStringLiteral("Version 3.25.000 (11 May 2026)"));
  EXPECT_EQ(VANTREL_TEST_VERSION, std::string("3.25.000"));
}

TEST(WindowExtras, NewInstanceFromTheMenuCarriesDefinitionAndSelection) {
  UiFixture f;
  ASSERT_EQ(f.Start(WindowIni(5), ">N1,3,N<"), StartupOutcome::Running);
  QString program;
  QStringList arguments;
  int calls = 0;
  ConnectWindowExtras(f.Window, f.Model, [&](const QString& p, const QStringList& a) {
    program = p;
    arguments = a;
    ++calls;
    return true;
  });
  QAction* item = f.Action("mnuOpenNewInstance");
  ASSERT_TRUE(item->isEnabled());
  item->trigger();
  ASSERT_EQ(calls, 1);
  EXPECT_EQ(program, QCoreApplication::applicationFilePath());
  ASSERT_EQ(arguments.size(), 3);
  // Placed down and to the right of this window, not over it.
  EXPECT_EQ(arguments[0], QStringLiteral("-qwindowgeometry"));
  const QRect screen = f.Window.screen()->availableGeometry();
  EXPECT_EQ(arguments[1], QStringLiteral("+%1+%2")
                              .arg(NewInstancePosition(f.Window.frameGeometry(), screen).x())
                              .arg(NewInstancePosition(f.Window.frameGeometry(), screen).y()));
  std::string expected = ">I" + f.Definition + "I<>N-1,";
  for (std::size_t i = 0; i < f.State->Selection.size(); ++i)
    if (f.State->Selection[i]) expected += std::to_string(i) + ",";
  expected += "N<";
  EXPECT_EQ(arguments.back().toStdString(), expected);
  EXPECT_NE(expected.find("-1,1,3,N<"), std::string::npos) << expected;
}

TEST(NewInstance, CascadesFromTheWindowAndStaysOnTheScreen) {
  const QRect screen(0, 0, 1600, 900);
  EXPECT_EQ(NewInstancePosition(QRect(100, 50, 640, 620), screen), QPoint(132, 82));
  // Past the right or the bottom edge it starts again at that edge's far side.
  EXPECT_EQ(NewInstancePosition(QRect(950, 50, 640, 620), screen), QPoint(0, 82));
  EXPECT_EQ(NewInstancePosition(QRect(100, 270, 640, 620), screen), QPoint(132, 0));
  const QRect second(1600, 0, 1280, 1024);
  EXPECT_EQ(NewInstancePosition(QRect(2300, 500, 640, 620), second), QPoint(1600, 0));
  EXPECT_EQ(NewInstanceArguments(">Ia.iniI<>N-1,N<", {132, 82}),
            (QStringList{"-qwindowgeometry", "+132+82", ">Ia.iniI<>N-1,N<"}));
}

// A print server of the test's own: its queues, its default, and who may change it.
struct FakePrinters {
  std::optional<std::vector<std::string>> Names;
  std::string Current;
  DefaultScope Scope = DefaultScope::Everyone;
  std::vector<std::string> Set;
};

PrinterSource Fake(FakePrinters& printers) {
  PrinterSource source;
  source.List = [&printers]() -> std::optional<std::vector<PrinterEntry>> {
    if (!printers.Names) return std::nullopt;
    std::vector<PrinterEntry> list;
    for (const std::string& n : *printers.Names) list.push_back({n, n == printers.Current});
    return list;
  };
  source.SetDefault = [&printers](const std::string& name) {
    printers.Set.push_back(name);
    if (name == "Error enumerating printers.") return DefaultChange{"no such printer"};
    printers.Current = name;
    return DefaultChange{"", printers.Scope};
  };
  return source;
}

QStringList Bold(QListWidget* list) {
  QStringList bold;
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->font().bold()) bold << list->item(i)->text();
  return bold;
}

TEST(DefaultPrinterChooser, MarksTheDefaultSaysWhoseItSetAndCloses) {
  FakePrinters printers;
  printers.Names = {"office", "lab-pdf"};
  printers.Current = "office";
  DefaultPrinterDialog dialog(Fake(printers));
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
  auto* said = dialog.findChild<QLabel*>(QStringLiteral("lblDefault"));
  EXPECT_EQ(Bold(list), QStringList{"office"});
  EXPECT_EQ(said->text(), QStringLiteral("Current default: office"));

  list->setCurrentRow(1);
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
  EXPECT_EQ(printers.Set, std::vector<std::string>{"lab-pdf"});
  EXPECT_EQ(Bold(list), QStringList{"lab-pdf"});
  EXPECT_TRUE(said->text().contains(QStringLiteral("for every user")))
      << said->text().toStdString();

  // Where only the user's own default may be set, the chooser says so.
  printers.Scope = DefaultScope::User;
  list->setCurrentRow(0);
  QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
  EXPECT_EQ(Bold(list), QStringList{"office"});
  EXPECT_TRUE(said->text().startsWith(QStringLiteral("office is now your own default printer")))
      << said->text().toStdString();

  // The window stays open until Close.
  dialog.show();
  auto* close = dialog.findChild<QPushButton*>(QStringLiteral("CmdClose"));
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->text(), QStringLiteral("Close"));
  EXPECT_TRUE(dialog.isVisible());
  QTest::mouseClick(close, Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
}

TEST(DefaultPrinterChooser, ButtonFollowsTheSelectionAndSetsOnlyWhenPressed) {
  FakePrinters printers;
  printers.Names = {"office", "lab-pdf"};
  const std::vector<std::string>& set = printers.Set;
  DefaultPrinterDialog dialog(Fake(printers));
  EXPECT_EQ(dialog.objectName(), QStringLiteral("frmDefaultPrinter"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Default Printer"));
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
  auto* button = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->item(1)->text(), QStringLiteral("lab-pdf"));
  EXPECT_EQ(button->text(), QStringLiteral("Set Default Printer"));
  EXPECT_FALSE(button->isEnabled());

  list->setCurrentRow(1);
  EXPECT_TRUE(button->isEnabled());
  EXPECT_TRUE(set.empty());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(set, std::vector<std::string>{"lab-pdf"});

  list->clearSelection();
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(dialog.FillList(), 2);
}

TEST(DefaultPrinterChooser, NoPrintersAndAListThatCannotBeRead) {
  FakePrinters none;
  none.Names = std::vector<std::string>{};
  DefaultPrinterDialog empty(Fake(none));
  EXPECT_EQ(empty.findChild<QListWidget*>(QStringLiteral("List1"))->count(), 0);
  EXPECT_FALSE(empty.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());

  FakePrinters unreadable;
  DefaultPrinterDialog broken(Fake(unreadable));
  auto* list = broken.findChild<QListWidget*>(QStringLiteral("List1"));
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("Error enumerating printers."));
  EXPECT_EQ(broken.FillList(), 0);
  // Choosing the error entry passes it on and is refused without a message box, which
  // would block this test.
  list->setCurrentRow(0);
  QTest::mouseClick(broken.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
  EXPECT_EQ(unreadable.Set, std::vector<std::string>{"Error enumerating printers."});
}

// What a test changes in the environment and in the lpoptions files, put back after.
class SavedCupsDefaults {
 public:
  SavedCupsDefaults() {
    for (const char* name : {"LPDEST", "PRINTER", "CUPS_SERVERROOT"}) {
      const char* value = std::getenv(name);
      env_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    for (const std::filesystem::path& file : Files()) {
      std::error_code ec;
      files_.emplace_back(file, std::filesystem::exists(file, ec)
                                    ? std::optional<std::string>(ReadFileBytes(file))
                                    : std::nullopt);
    }
  }
  ~SavedCupsDefaults() {
    for (const auto& [name, value] : env_) {
      if (value)
        setenv(name.c_str(), value->c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    for (const auto& [file, text] : files_) {
      std::error_code ec;
      if (!text) {
        std::filesystem::remove(file, ec);
      } else if (!std::filesystem::exists(file, ec) || ReadFileBytes(file) != *text) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << *text;
      }
    }
  }

 private:
  // As root, libcups keeps the default in the server-wide file; as anyone else in
  // the user's own.
  static std::vector<std::filesystem::path> Files() {
    std::vector<std::filesystem::path> files{"/etc/cups/lpoptions"};
    if (const char* home = std::getenv("HOME"))
      files.push_back(std::filesystem::path(home) / ".cups/lpoptions");
    return files;
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> env_;
  std::vector<std::pair<std::filesystem::path, std::optional<std::string>>> files_;
};

TEST(DefaultPrinterChooser, OnARealQueueTheDefaultItSetsIsTheOneTheServerThenReports) {
  const char* queue = std::getenv("VANTREL_TEST_QUEUE");
  if (queue == nullptr || std::getenv("CUPS_SERVER") == nullptr)
    GTEST_SKIP() << "no test print server: eval \"$(scripts/cups-test-server start DIR)\" first "
                    "(as CI and the landing script do)";
  SavedCupsDefaults saved;
  TempDir dir;
  // The default lands in this folder's lpoptions, not the machine's; should libcups
  // have read its folders already, the saved files are put back all the same.
  setenv("CUPS_SERVERROOT", dir.path().c_str(), 1);
  unsetenv("LPDEST");
  unsetenv("PRINTER");

  DefaultPrinterDialog dialog(CupsPrinterSource());
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
  auto* button = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
  const QList<QListWidgetItem*> found = list->findItems(QString::fromUtf8(queue), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << "the chooser does not list " << queue;
  EXPECT_NE(list->item(0)->text(), QStringLiteral("Error enumerating printers."));
  EXPECT_FALSE(button->isEnabled());
  list->setCurrentItem(found.front());
  EXPECT_TRUE(button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(CupsDefaultPrinter(), queue);
  bool listedAsDefault = false;
  for (const PrinterEntry& p : CupsPrinters())
    listedAsDefault = listedAsDefault || (p.IsDefault && p.Name == queue);
  EXPECT_TRUE(listedAsDefault);
  EXPECT_EQ(Bold(list), QStringList{QString::fromUtf8(queue)});
  // The test server lets anyone administer it: the server's own default is set.
  EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("lblDefault"))
                  ->text()
                  .contains(QStringLiteral("for every user")));
  EXPECT_EQ(CupsServerDefault(), queue);
}

TEST(DefaultPrinterChooser, ListsTheServersOwnQueuesWithoutInstances) {
  const char* queue = std::getenv("VANTREL_TEST_QUEUE");
  if (queue == nullptr || std::getenv("CUPS_SERVER") == nullptr)
    GTEST_SKIP() << "no test print server: eval \"$(scripts/cups-test-server start DIR)\" first";
  SavedCupsDefaults saved;
  // An instance of the queue, kept in the lpoptions file that libcups reads.
  const ShellResult made = RunShell("lpoptions -p " + ShellQuote(std::string(queue) + "/duplex") +
                                    " -o sides=two-sided-long-edge >/dev/null");
  ASSERT_EQ(made.Status, 0) << made.Err;
  bool instanceSeen = false;
  for (const PrinterEntry& p : CupsPrinters())
    instanceSeen = instanceSeen || p.Name == std::string(queue) + "/duplex";
  ASSERT_TRUE(instanceSeen) << "libcups did not read the instance; the test proves nothing";

  DefaultPrinterDialog dialog(CupsPrinterSource());
  auto* list = dialog.findChild<QListWidget*>(QStringLiteral("List1"));
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  EXPECT_TRUE(names.contains(QString::fromUtf8(queue))) << names.join(',').toStdString();
  for (const QString& name : names) EXPECT_FALSE(name.contains('/')) << name.toStdString();
}

}  // namespace
}  // namespace vantrel::testing
