// The window printing through the real print run onto the built-in PDF printer: at
// start-up with AUTOPRINT, and several results answered No as one job.

#include <gtest/gtest.h>

#include <filesystem>

#include "common/shell_run.h"
#include "model/window_fixture.h"
#include "support/text.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(VANTREL_SOURCE_DIR) / "samples";

// The sample definition with its [GENERAL] APPNAME line replaced by lines.
std::string SampleIni(const std::string& lines) {
  return ReplaceAll(ReadFileBytes(kSamples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                    lines);
}

struct SampleRun : WindowFixture {
  SampleRun() {
    fs::copy_file(kSamples / "logo.png", Dir.path() / "logo.png");
    Model->SetPrinterName(kBuiltInPdfPrinter);
  }
  std::string Data(const std::string& name = "cable.txt") {
    return Dir.Write(name, ReadFileBytes(kSamples / "sample-results.txt")).string();
  }
  std::vector<fs::path> Pdfs(const fs::path& folder) const {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() == ".pdf") found.push_back(entry.path());
    }
    return found;
  }
};

std::string PdfText(const fs::path& pdf) {
  return RunShell("pdftotext " + ShellQuote(pdf.string()) + " -").Out;
}

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class PrintingOrder : public WindowModelObserver {
 public:
  explicit PrintingOrder(MainWindowModel& model) : model_(model) {}
  void ModelChanged(ModelChange what) override {
    if (what == ModelChange::Printing) {
      Events.push_back(model_.PrintingFlag() ? "printing" : "printed");
    } else if (what == ModelChange::Buttons && model_.PreviewButtonsEnabled() != enabled_) {
      enabled_ = model_.PreviewButtonsEnabled();
      if (!model_.StartupInProgress() || model_.PrintingFlag()) return;
      Events.push_back(enabled_ ? "buttons on" : "buttons off");
    }
  }
  std::vector<std::string> Events;

 private:
  MainWindowModel& model_;
  bool enabled_ = true;
};

TEST(WindowPrinting, AutoPrintSavesThePdfUnderAppNameBeforeTheButtonsComeOn) {
  SampleRun f;
  const fs::path final = f.Dir.path() / "out" / "cert.pdf";
  const fs::path spool = f.Dir.path() / "spool";
  fs::create_directories(spool);
  PrintingOrder order(*f.Model);
  f.Model->AddObserver(&order);
  ASSERT_EQ(f.Start(SampleIni("APPNAME=" + final.string() +
                              "\nAUTOPRINT=TRUE\nAUTOPDF_TEMPDIR=" + spool.string()),
                    ">N0,1,N<", f.Data()),
            StartupOutcome::Running);
  f.Model->RemoveObserver(&order);

  EXPECT_EQ(order.Events,
            (std::vector<std::string>{"buttons off", "printing", "printed", "buttons on"}));
  ASSERT_TRUE(fs::exists(final)) << f.Model->LastPrint().PdfError;
  EXPECT_EQ(f.Model->LastPrint().Pdf, PdfOutcome::Saved);
  EXPECT_TRUE(f.Pdfs(spool).empty());  // the temporary file is gone
  EXPECT_EQ(f.Host.Opened, (std::vector<std::string>{final.string()}));
  const std::string text = PdfText(final);
  EXPECT_NE(text.find("Insertion loss"), std::string::npos) << text;
  EXPECT_NE(text.find("Near-end crosstalk"), std::string::npos);
  EXPECT_EQ(text.find("Return loss"), std::string::npos);  // report 3 was not asked for
  EXPECT_EQ(f.Model->StatusText(), "");
  EXPECT_EQ(f.Model->ProgressValue(), 0);
}

TEST(WindowPrinting, NoFileIsLoadedUnderARunningPrintout) {
  SampleRun f;
  const fs::path final = f.Dir.path() / "cert.pdf";
  const fs::path spool = f.Dir.path() / "spool";
  fs::create_directories(spool);
  const std::string data = f.Data();
  ASSERT_EQ(f.Start(SampleIni("APPNAME=" + final.string() + "\nAUTOPDF_TEMPDIR=" + spool.string()),
                    ">N0,1,N<", data),
            StartupOutcome::Running);
  const std::string other = f.Dir.Write("other.txt", "no tests in here\n").string();
  f.Dialog.Answers = {other, f.Definition};
  int tries = 0;
  f.Host.OnEvents = [&] {
    if (!f.Model->PrintingFlag() || tries++ > 0) return;
    f.Model->ChooseDataFiles();
    f.Model->OpenDefinitionFile();
    f.Model->ReloadIni();
    f.Model->ReloadCurrentIni();
  };
  f.Model->PrintCommand(true);
  f.Host.OnEvents = nullptr;

  ASSERT_EQ(tries > 0, true) << "the run let no events run";
  EXPECT_TRUE(f.Dialog.Questions.empty());
  EXPECT_EQ(f.State->DataFilePath, data);
  ASSERT_EQ(f.Prompter.Messages.size(), 4u);
  EXPECT_EQ(f.Prompter.Messages[0].Text.rfind("The reports are still printing.", 0), 0u);
  ASSERT_TRUE(fs::exists(final)) << f.Model->LastPrint().PdfError;
  EXPECT_NE(PdfText(final).find("Insertion loss"), std::string::npos);
  // Once the printout is done the same command loads.
  f.Model->ChooseDataFiles();
  EXPECT_EQ(f.State->DataFilePath, other);
}

TEST(WindowPrinting, SeveralResultsAnsweredNoMakeOneJob) {
  SampleRun f;
  f.Start(SampleIni("APPNAME=unused"), ">N6,N<");
  const fs::path results = f.Dir.path() / "results";
  fs::create_directories(results);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    fs::copy_file(kSamples / "sample-results.txt", results / name);
  }
  f.Dialog.Answers = {results.string() + std::string("\0a.txt\0b.txt\0c.txt", 18)};
  f.Prompter.Script({PromptAnswer::No});
  f.Model->ChooseDataFiles();

  const std::vector<fs::path> pdfs = f.Pdfs(results);
  ASSERT_EQ(pdfs.size(), 1u);
  EXPECT_TRUE(f.Model->LastPrint().JobEnded);
  EXPECT_FALSE(f.Model->Printing().JobOpen());
  EXPECT_EQ(Occurrences(PdfText(pdfs[0]), "Result of every test"), 3);
}

TEST(WindowPrinting, ALastResultThatDoesNotLoadStillEndsTheJob) {
  SampleRun f;
  f.Start(SampleIni("APPNAME=unused"), ">N6,N<");
  const fs::path results = f.Dir.path() / "results";
  fs::create_directories(results);
  fs::copy_file(kSamples / "sample-results.txt", results / "a.txt");
  f.Dir.Write("results/b.txt", "no tests in here\n");
  f.Dialog.Answers = {results.string() + std::string("\0a.txt\0b.txt", 12)};
  f.Prompter.Script({PromptAnswer::No});
  f.Model->ChooseDataFiles();

  EXPECT_FALSE(f.Model->Printing().JobOpen());
  const std::vector<fs::path> pdfs = f.Pdfs(results);
  ASSERT_EQ(pdfs.size(), 1u);
  // a.txt once, and not a second time under b's name.
  EXPECT_EQ(Occurrences(PdfText(pdfs[0]), "Result of every test"), 1);
}

}  // namespace
}  // namespace vantrel::testing
