// A printer that fails while the test list is printed: said once, and the reports that
// follow still get their pages.

#include <gtest/gtest.h>

#include "common/recording_prompter.h"
#include "common/temp_dir.h"
#include "render/page_target.h"
#include "testlist/test_list_printer.h"

namespace vantrel {
namespace {

// A picture target whose next page breaks fail, as a printer that went offline.
class RefusingTarget : public PictureTarget {
 public:
  using PictureTarget::PictureTarget;
  int Refusals = 1;
  bool NewPage() override {
    if (Refusals > 0) {
      --Refusals;
      return false;
    }
    return PictureTarget::NewPage();
  }
};

TEST(PrintTestList, APrinterFaultIsSaidAsTheListsErrorAndTheJobGoesOn) {
  testing::TempDir dir;
  const std::string data = dir.Write("cable.txt",
                                     "Results\tCBL-1.txt\nEXIT STATUS:\n"
                                     "Test Sequence COMPLETED and PASSED\n\n"
                                     "TEST SUMMARY :\nAttenuation Near Test\tPASS\tClass EA\n")
                               .string();
  testing::RecordingPrompter ask;
  RefusingTarget target({.WidthMm = 210, .HeightMm = 297});
  ASSERT_TRUE(target.Begin());
  JobPageState job;
  job.FirstPage = false;  // a report before it: the list needs a page break
  EXPECT_FALSE(PrintTestList(data, AppSettings{}, target, job, ask, PrintFontMetrics()));
  ASSERT_EQ(ask.Messages.size(), 1u);
  EXPECT_EQ(ask.Messages[0].Text, "Error Printing Test List");
  EXPECT_EQ(ask.Messages[0].Title, "Printer Error");
  EXPECT_EQ(ask.Messages[0].Buttons, PromptButtons::Ok);
  // The next report gets its page.
  EXPECT_TRUE(target.NewPage());
}

}  // namespace
}  // namespace vantrel
