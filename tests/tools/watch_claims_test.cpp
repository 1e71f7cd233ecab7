// Several watchers on one folder, some of them killed with SIGKILL mid-run: every
// file is produced exactly once and none is lost.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <vector>

#include "tools/watch_fixture.h"

namespace vantrel {
namespace {

using namespace testing;

constexpr int kFiles = 200;

std::string Numbered(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "r%03d", i);
  return name;
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(folder, ec))
    if (e.is_regular_file()) names.insert(e.path().filename().string());
  return names;
}

// Hidden names: parts of PDFs whose writer was killed, and tokens of PDF names.
std::set<std::string> Visible(const std::set<std::string>& names) {
  std::set<std::string> visible;
  for (const std::string& name : names)
    if (!name.starts_with(".")) visible.insert(name);
  return visible;
}

std::set<std::string> Tokens(const std::set<std::string>& names) {
  std::set<std::string> tokens;
  for (const std::string& name : names)
    if (name.ends_with(".taken")) tokens.insert(name);
  return tokens;
}

TEST_F(WatchedFolder, FourWatchersKilledAtRandomProduceEachFileExactlyOnce) {
  std::vector<std::string> watchers;
  int launched = 0;
  auto launch = [&] {
    const std::string n = std::to_string(launched++);
    watchers.push_back(Launch("--watch in --definition tiny.ini --pdf-dir out", "log-" + n + ".txt",
                              "err-" + n + ".txt"));
  };
  for (int w = 0; w < 4; ++w) launch();
  for (int i = 0; i < kFiles; ++i) Drop(Numbered(i) + ".txt", TinyResult(Numbered(i)));

  // Two of them die mid-run, one at a time, and a fresh one joins.
  const auto done = [&] { return static_cast<int>(Names(In() / "done").size()); };
  ASSERT_TRUE(WaitFor([&] { return done() >= kFiles / 4; }, 600));
  RunShell("kill -KILL " + watchers[0]);
  ASSERT_TRUE(WaitFor([&] { return done() >= kFiles / 2; }, 600));
  RunShell("kill -KILL " + watchers[1]);
  launch();
  ASSERT_TRUE(WaitFor([&] { return done() == kFiles; }, 900)) << done();
  for (std::size_t w = 2; w < watchers.size(); ++w) RunShell("kill -TERM " + watchers[w]);
  for (std::size_t w = 2; w < watchers.size(); ++w)
    EXPECT_TRUE(WaitFor([&] { return Gone(watchers[w]); }));

  std::set<std::string> results;
  std::set<std::string> pdfs;
  for (int i = 0; i < kFiles; ++i) {
    results.insert(Numbered(i) + ".txt");
    pdfs.insert(Numbered(i) + ".pdf");
  }
  EXPECT_EQ(Names(In() / "done"), results);
  EXPECT_EQ(Visible(Names(Path("out"))), pdfs);
  for (const std::string& token : Tokens(Names(Path("out"))))
    ADD_FAILURE() << "token left: " << token << "\n"
                  << Log("log-0.txt") + Log("log-1.txt") + Log("log-4.txt");
  EXPECT_FALSE(fs::exists(In() / "failed"));
  EXPECT_TRUE(Names(In()).empty());
  // The dead watchers' claims were taken over and given back.
  std::error_code ec;
  int left = 0;
  for (const auto& e : fs::recursive_directory_iterator(In() / ".claims", ec))
    left += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(left, 0);
}

}  // namespace
}  // namespace vantrel
