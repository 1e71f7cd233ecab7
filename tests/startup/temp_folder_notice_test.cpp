#include "startup/temp_folder_notice.h"

#include <gtest/gtest.h>

#include "common/recording_prompter.h"

namespace vantrel {
namespace {

TEST(TellUnusableTempFolder, LeadsWithTheKnownLineThenTheReason) {
  testing::RecordingPrompter prompter;
  TellUnusableTempFolder("the temporary folder /gone (TMPDIR) cannot be used: No such file",
                         prompter);
  ASSERT_EQ(prompter.Messages.size(), 1u);
  EXPECT_EQ(prompter.Messages[0].Text,
            "Error Finding the Temporary Directory\r\rThe temporary folder /gone (TMPDIR) "
            "cannot be used: No such file.");
}

}  // namespace
}  // namespace vantrel
