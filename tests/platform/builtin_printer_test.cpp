// The built-in PDF printer and files it did not make: a lab's PDF under the job's name
// is replaced only when the user says so, and the printer says what it wrote.

#include <gtest/gtest.h>

#include <QPainter>
#include <filesystem>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "platform/print/builtin_pdf_printer.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;

// One page with a word on it; Finish's answer.
std::string PrintOnePage(BuiltInPdfPrinter& printer, const std::string& title,
                         std::string* written = nullptr) {
  std::string error;
  std::unique_ptr<PrintJob> job = printer.StartJob(title, error);
  if (!job) return error;
  if (!job->Target().Begin()) return job->Target().Error();
  job->Target().Painter().drawText(QPointF(100, 100), "Insertion loss");
  const std::string finished = job->Finish();
  if (written != nullptr) *written = job->WrittenFile();
  return finished;
}

TEST(BuiltInPdfPrinter, AFileItDidNotMakeIsReplacedOnlyWhenTheUserSaysYes) {
  testing::TempDir dir;
  const fs::path theirs = dir.Write("cable 7.pdf", "the lab's own certificate");
  testing::RecordingPrompter ask;
  BuiltInPdfPrinter printer(dir.path().string(), {}, &ask);

  ask.Script({PromptAnswer::No});
  EXPECT_EQ(PrintOnePage(printer, "cable 7"), "the printer 'Vantrel PDF' did not replace " +
                                                  theirs.string() + "; the report is not saved");
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Title, "Auto PDF Saving");
  EXPECT_EQ(ask.Messages[0].Text, "The following filename already exists:\r" + theirs.string() +
                                      "\r\rDo you want to overwrite this file?\rSelecting No will "
                                      "mean the report is not saved");
  EXPECT_EQ(ask.Messages[0].Buttons, PromptButtons::YesNo);
  EXPECT_EQ(ReadFileBytes(theirs), "the lab's own certificate");

  ask.Script({PromptAnswer::Yes});
  std::string written;
  EXPECT_EQ(PrintOnePage(printer, "cable 7", &written), "");
  EXPECT_EQ(written, theirs.string());
  EXPECT_EQ(ReadFileBytes(theirs).substr(0, 5), "%PDF-");

  // Its own file is made again without a question, by this printer or another one.
  BuiltInPdfPrinter again(dir.path().string(), {}, &ask);
  EXPECT_EQ(PrintOnePage(again, "cable 7"), "");
  EXPECT_EQ(ask.Messages.size(), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(BuiltInPdfPrinter, WithNobodyToAskAFileItDidNotMakeIsKept) {
  testing::TempDir dir;
  const fs::path theirs = dir.Write("cable 8.pdf", "kept");
  BuiltInPdfPrinter printer(dir.path().string());
  EXPECT_EQ(PrintOnePage(printer, "cable 8"),
            "the printer 'Vantrel PDF' did not replace " + theirs.string() +
                ", which it did not make; the report is not saved");
  EXPECT_EQ(ReadFileBytes(theirs), "kept");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace vantrel
