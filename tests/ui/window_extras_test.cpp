// The about box, a new instance from the menu and the default printer chooser.

#include "ui/window_extras.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

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
  const QString version = box.findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
  EXPECT_TRUE(version.startsWith(QStringLiteral("Version " VANTREL_TEST_VERSION " (")))
      << version.toStdString();
  EXPECT_TRUE(version.endsWith(QLatin1Char(')')));
}

TEST(WindowExtras, NewInstanceFromTheMenuCarriesDefinitionAndSelection) {
  UiFixture f;
  ASSERT_EQ(f.Start(WindowIni(5), ">N1,3,N<"), StartupOutcome::Running);
  QString program;
  QStringList arguments;
  int calls = 0;
  ConnectWindowExtras(f.window, f.model, [&](const QString& p, const QStringList& a) {
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
  ASSERT_EQ(arguments.size(), 1);
  std::string expected = ">I" + f.definition + "I<>N-1,";
  for (std::size_t i = 0; i < f.state->Selection.size(); ++i)
    if (f.state->Selection[i]) expected += std::to_string(i) + ",";
  expected += "N<";
  EXPECT_EQ(arguments.front().toStdString(), expected);
  EXPECT_NE(expected.find("-1,1,3,N<"), std::string::npos) << expected;
}

PrinterSource Fake(std::optional<std::vector<std::string>> names, std::vector<std::string>& set) {
  PrinterSource source;
  source.List = [names] { return names; };
  source.SetDefault = [&set](const std::string& name) {
    set.push_back(name);
    return std::string(name == "Error enumerating printers." ? "no such printer" : "");
  };
  return source;
}

TEST(DefaultPrinterChooser, ButtonFollowsTheSelectionAndSetsOnlyWhenPressed) {
  std::vector<std::string> set;
  DefaultPrinterDialog dialog(Fake(std::vector<std::string>{"office", "lab-pdf"}, set));
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
  std::vector<std::string> set;
  DefaultPrinterDialog empty(Fake(std::vector<std::string>{}, set));
  EXPECT_EQ(empty.findChild<QListWidget*>(QStringLiteral("List1"))->count(), 0);
  EXPECT_FALSE(empty.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());

  DefaultPrinterDialog broken(Fake(std::nullopt, set));
  auto* list = broken.findChild<QListWidget*>(QStringLiteral("List1"));
  ASSERT_EQ(list->count(), 1);
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("Error enumerating printers."));
  EXPECT_EQ(broken.FillList(), 0);
  // Choosing the error entry passes it on and is refused without a message box, which
  // would block this test.
  list->setCurrentRow(0);
  QTest::mouseClick(broken.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
  EXPECT_EQ(set, std::vector<std::string>{"Error enumerating printers."});
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
}

}  // namespace
}  // namespace vantrel::testing
