#include "definitions/colours.h"

#include <gtest/gtest.h>

#include "common/recording_prompter.h"

namespace vantrel {
namespace {

using testing::RecordingPrompter;

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

TEST(ColourToRgb, NamesAndTriples) {
  RecordingPrompter p;
  EXPECT_EQ(ColourToRgb("Blue", p), Rgb(0, 0, 255));
  EXPECT_EQ(ColourToRgb("BLUE", p), Rgb(0, 0, 255));
  EXPECT_EQ(ColourToRgb("brown", p), Rgb(128, 0, 0));
  EXPECT_EQ(ColourToRgb("LtGray", p), Rgb(192, 192, 192));
  EXPECT_EQ(ColourToRgb("255, 128, 0", p), ColourToRgb("orange", p));
  EXPECT_EQ(ColourToRgb("lightgrey", p), 0u);
  EXPECT_EQ(ColourToRgb("", p), 0u);
  EXPECT_EQ(ColourToRgb("300,0,0", p), Rgb(255, 0, 0));  // a full channel, not a spill
  EXPECT_TRUE(p.Messages.empty());
}

TEST(ColourToRgb, MalformedTripleIsBlackWithAMessage) {
  for (const char* bad : {"1,2", "1,x,3", "1,2,3,4", "-1,0,0", ",,"}) {
    RecordingPrompter p;
    EXPECT_EQ(ColourToRgb(bad, p), 0u) << bad;
    ASSERT_EQ(p.Messages.size(), 1u) << bad;
    EXPECT_EQ(p.Messages[0].Title, "Variable Error");
    EXPECT_EQ(p.Messages[0].Text, std::string("Error with color variable: ") + bad);
  }
}

TEST(ColourToPalette, ExactLowerCaseNames) {
  EXPECT_EQ(ColourToPalette("blue"), 5);
  EXPECT_EQ(ColourToPalette(" blue "), 5);
  EXPECT_EQ(ColourToPalette("Blue"), 0);
  EXPECT_EQ(ColourToPalette("ltyellow"), 41);
  EXPECT_EQ(ColourToPalette("brown"), 80);
  EXPECT_EQ(ColourToPalette("grey"), 8);
  EXPECT_EQ(ColourToPalette("lightgrey"), 0);
  EXPECT_EQ(ColourToPalette(""), 0);
}

}  // namespace
}  // namespace vantrel
