// The manual pages made at build time: every option the batch tool's parser knows is
// in its page and in its --help, and the pages name nothing the parser does not know.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/shell_run.h"

namespace vantrel {
namespace {

using testing::RunShell;
using testing::ShellQuote;
using testing::ShellResult;

// The page as a reader sees it: plain text, no fonts, no hyphenation marks.
std::string RenderedPage(const std::string& page) {
  const ShellResult run =
      RunShell("gzip -dc " + ShellQuote(std::string(VANTREL_MAN_DIR) + "/" + page + ".gz") +
               " | groff -t -man -Tascii -P-cbou -rHY=0");
  EXPECT_EQ(run.Status, 0) << run.Err;
  return run.Out;
}

std::set<std::string> OptionsNamedIn(const std::string& text) {
  return testing::AllMatches(text, "(^|[\\s\\[(|,])(--?[a-z][-a-z0-9]*)", 2);
}

TEST(ManualPages, ReportToolPageAndHelpNameExactlyTheParsersOptions) {
  const std::set<std::string> parser = testing::ReportToolOptions();
  ASSERT_GE(parser.size(), 14u);
  const ShellResult help = RunShell(ShellQuote(VANTREL_REPORT_EXE) + " --help");
  EXPECT_EQ(help.Status, 0);
  const std::set<std::string> inHelp = OptionsNamedIn(help.Out);
  const std::set<std::string> inPage = OptionsNamedIn(RenderedPage("vantrel-report.1"));
  for (const std::string& o : parser) {
    EXPECT_TRUE(inPage.count(o)) << o << " is missing from vantrel-report(1)";
    EXPECT_TRUE(inHelp.count(o)) << o << " is missing from --help";
  }
  for (const std::string& o : inPage) EXPECT_TRUE(parser.count(o)) << o << " is no option";
  for (const std::string& o : inHelp) EXPECT_TRUE(parser.count(o)) << o << " is no option";
}

TEST(ManualPages, VersionIsTheProjectsOne) {
  const ShellResult run = RunShell(ShellQuote(VANTREL_REPORT_EXE) + " --version");
  EXPECT_EQ(run.Out, std::string("vantrel-report ") + VANTREL_VERSION + "\n");
  EXPECT_EQ(run.Status, 0);
  EXPECT_NE(RenderedPage("vantrel-report.1").find("Vantrel " VANTREL_VERSION), std::string::npos);
}

TEST(ManualPages, WindowPageGivesTheCommandLineMarkers) {
  const std::string page = RenderedPage("vantrel.1");
  for (const char* marker : {">I", "I<", ">N", "N<", "0-based"}) {
    EXPECT_NE(page.find(marker), std::string::npos) << marker;
  }
}

TEST(ManualPages, DefinitionPageHoldsTheManualsKeyTables) {
  const std::string page = RenderedPage("vantrel-definition.5");
  for (const char* text : {"FOLLOWINGGRAPHS", "DEFAULTTABLEFREQS", "lowermarginpercent",
                           "SEQUENCEPROFILE_n", "MESSAGES AND WHAT TO DO"}) {
    EXPECT_NE(page.find(text), std::string::npos) << text;
  }
  // Markdown that the converter missed would show as such.
  EXPECT_EQ(page.find("```"), std::string::npos);
  EXPECT_EQ(page.find("|---"), std::string::npos);
  EXPECT_EQ(page.find("**"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
