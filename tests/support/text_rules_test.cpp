#include <gtest/gtest.h>

#include "support/encoding.h"
#include "support/text.h"
#include "support/wildcard.h"

namespace vantrel {
namespace {

TEST(Text, TrimsBlanksAndMapsAsciiCaseOnly) {
  EXPECT_EQ(Trim(" \t a b \t"), "a b");
  EXPECT_EQ(ToUpper("abc\xC3\xA9"), "ABC\xC3\xA9");
  EXPECT_TRUE(EqualsNoCase("Test Status", "TEST STATUS"));
  EXPECT_EQ(ReplaceAllNoCase("a COL_name b col_NAME", "COL_NAME", "X"), "a X b X");
  EXPECT_EQ(SplitAt("a,,b,", ',').size(), 4u);
  EXPECT_EQ(CarriageReturnsToLineBreaks("a\r\rb\r\nc"), "a\n\nb\nc");
}

struct LikeCase {
  const char* Text;
  const char* Pattern;
  bool Matches;
};

class WildcardTest : public ::testing::TestWithParam<LikeCase> {};

TEST_P(WildcardTest, MatchesLikeTheInstrumentNamesAreWritten) {
  const LikeCase& c = GetParam();
  EXPECT_EQ(WildcardMatch(c.Text, c.Pattern), c.Matches) << c.Text << " ~ " << c.Pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, WildcardTest,
    ::testing::Values(
        LikeCase{"attenuation near", "attenuation near", true},
        LikeCase{"attenuation near", "atten*", true}, LikeCase{"attenuation near", "*near", true},
        LikeCase{"attenuation near", "*far", false}, LikeCase{"next 1", "next ?", true},
        LikeCase{"next 12", "next ?", false}, LikeCase{"pair 7", "pair #", true},
        LikeCase{"pair x", "pair #", false}, LikeCase{"b", "[abc]", true},
        LikeCase{"d", "[abc]", false}, LikeCase{"d", "[!abc]", true}, LikeCase{"m", "[a-z]", true},
        LikeCase{"5", "[!0-9]", false}, LikeCase{"[x", "[x", true}, LikeCase{"", "*", true},
        LikeCase{"", "?", false}, LikeCase{"\xC3\xA9t\xC3\xA9", "?t?", true},
        LikeCase{"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false}));

TEST(DecodeInput, KeepsUtf8AndReadsTheRestAsWindows1252) {
  EXPECT_EQ(DecodeInput("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(DecodeInput("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(DecodeInput("\x80 5\xB0"), "\xE2\x82\xAC 5\xC2\xB0");
  EXPECT_EQ(DecodeInput("\xED\xA0\x80"),
            "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // a surrogate is not UTF-8
  EXPECT_EQ(DecodeInput(std::string("a\0b", 3)), std::string("a\0b", 3));
}

}  // namespace
}  // namespace vantrel
