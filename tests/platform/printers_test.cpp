#include <cups/cups.h>
#include <gtest/gtest.h>

#include <QPainter>
#include <cstdlib>
#include <filesystem>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "platform/cups_printers.h"
#include "platform/print/builtin_pdf_printer.h"
#include "platform/print/spooler.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Points libcups at a socket nobody listens on, and back again afterwards.
class NoPrintServer : public ::testing::Test {
 protected:
  testing::TempDir dir;
  std::string saved;
  bool had = false;
  void SetUp() override {
    if (const char* s = std::getenv("CUPS_SERVER")) {
      had = true;
      saved = s;
    }
    setenv("CUPS_SERVER", (dir.path() / "no-cupsd.sock").c_str(), 1);
    cupsSetServer(nullptr);
  }
  void TearDown() override {
    if (had)
      setenv("CUPS_SERVER", saved.c_str(), 1);
    else
      unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
  }
};

TEST_F(NoPrintServer, TheDefaultIsTheBuiltInPdfPrinter) {
  EXPECT_EQ(CupsDefaultPrinter(), "");
  EXPECT_EQ(CupsActiveJobs("office"), -1);
  const std::vector<PrinterListEntry> list = AvailablePrinters();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Name, kBuiltInPdfPrinter);
  EXPECT_TRUE(list[0].IsDefault);
  const PrinterChoice choice = OpenPrinter("", dir.path().string());
  ASSERT_NE(choice.Printer, nullptr);
  EXPECT_EQ(choice.Printer->PrinterName(), kBuiltInPdfPrinter);
}

TEST_F(NoPrintServer, AnUnknownPrinterIsAnErrorNotAStrayFile) {
  const PrinterChoice choice = OpenPrinter("office", dir.path().string());
  EXPECT_EQ(choice.Printer, nullptr);
  EXPECT_NE(choice.Error.find("no printer named 'office'"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(dir.path()));
  EXPECT_NE(CupsSetDefaultPrinter("office"), "");
}

TEST_F(NoPrintServer, AServerThatIsGoneIsSaidSoNotAsARefusal) {
  std::string error;
  EXPECT_EQ(CupsSubmitFile("office", dir.Write("job.pdf", "%PDF-1.4").string(), "t", error), 0);
  EXPECT_EQ(error.rfind("the print server cannot be reached (", 0), 0u) << error;
  EXPECT_EQ(error.find("refused"), std::string::npos) << error;
}

TEST(BuiltInPdfPrinter, WritesTheJobTitleAsAPdfAndNothingElse) {
  testing::TempDir dir;
  BuiltInPdfPrinter printer(dir.path().string() + "/");
  std::string error;
  std::unique_ptr<PrintJob> job = printer.StartJob("tmpreport004", error);
  ASSERT_NE(job, nullptr) << error;
  ASSERT_TRUE(job->Target().Begin());
  job->Target().Painter().drawText(QPointF(100, 100), "Insertion loss");
  EXPECT_FALSE(fs::exists(dir.path() / "tmpreport004.pdf"));  // not before it is complete
  EXPECT_EQ(job->Finish(), "");
  job.reset();
  const testing::ShellResult text = testing::RunShell(
      "pdftotext " + testing::ShellQuote((dir.path() / "tmpreport004.pdf").string()) + " -");
  EXPECT_NE(text.Out.find("Insertion loss"), std::string::npos);
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
  EXPECT_EQ(printer.ActiveJobs(), 0);
}

TEST(BuiltInPdfPrinter, ADroppedJobOrAMissingFolderLeavesNothing) {
  testing::TempDir dir;
  BuiltInPdfPrinter printer(dir.path().string());
  std::string error;
  {
    std::unique_ptr<PrintJob> job = printer.StartJob("dropped", error);
    ASSERT_NE(job, nullptr);
    ASSERT_TRUE(job->Target().Begin());
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));

  BuiltInPdfPrinter nowhere((dir.path() / "missing").string());
  EXPECT_EQ(nowhere.StartJob("x", error), nullptr);
  EXPECT_NE(error.find("missing: the folder does not exist"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
