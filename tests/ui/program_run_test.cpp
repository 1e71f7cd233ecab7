// The vantrel program itself, started as the instrument's software starts it: with
// AUTOPRINT it prints at once and the PDF lands under its APPNAME name.

#include <gtest/gtest.h>

#include <filesystem>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "support/text.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

TEST(VantrelProgram, AutoPrintWithoutADisplayWritesThePdfUnderAppName) {
  TempDir dir;
  const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
  const fs::path final = dir.path() / "certificates" / "cable 7.pdf";
  const fs::path spool = dir.path() / "spool";
  fs::create_directories(spool);
  fs::copy_file(samples / "logo.png", dir.path() / "logo.png");
  const fs::path ini = dir.Write(
      "bench.ini",
      ReplaceAll(ReadFileBytes(samples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                 "APPNAME=" + final.string() +
                     "\nAUTOPRINT=TRUE\nAUTOPDF_TEMPDIR=" + spool.string() + "/"));
  const fs::path data = dir.Write("cable.txt", ReadFileBytes(samples / "sample-results.txt"));
  // The desktop's PDF viewer, as far as the program can tell.
  const fs::path bin = dir.path() / "bin";
  fs::create_directories(bin);
  const fs::path opened = dir.path() / "opened";
  dir.Write("bin/xdg-open",
            "#!/bin/sh\nprintf '%s' \"$1\" > " + ShellQuote(opened.string()) + "\n");
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);

  const std::string line = data.string() + ">I" + ini.string() + "I<>N0,1,N<";
  // The window stays open after printing; it is ended once the PDF is there (or after
  // two minutes, when something is wrong).
  const ShellResult run =
      RunShell("cd " + ShellQuote(dir.path().string()) + " && PATH=" + ShellQuote(bin.string()) +
               ":$PATH QT_QPA_PLATFORM=offscreen CUPS_SERVER=/nonexistent/cups.sock " +
               ShellQuote(VANTREL_WINDOW_EXE) + " " + ShellQuote(line) +
               " & pid=$!; i=0; while [ $i -lt 1200 ] && ! [ -s " + ShellQuote(opened.string()) +
               " ]; do sleep 0.1; i=$((i+1)); done; kill $pid; wait $pid; true");
  ASSERT_TRUE(fs::exists(final)) << run.Err;
  EXPECT_EQ(ReadFileBytes(opened), final.string());
  const std::string text = RunShell("pdftotext " + ShellQuote(final.string()) + " -").Out;
  EXPECT_NE(text.find("Insertion loss"), std::string::npos) << text;
  EXPECT_NE(text.find("Near-end crosstalk"), std::string::npos);
  EXPECT_EQ(text.find("Return loss"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(spool)) ADD_FAILURE() << entry.path();
}

}  // namespace
}  // namespace vantrel::testing
