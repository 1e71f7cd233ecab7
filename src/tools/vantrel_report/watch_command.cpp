// --watch: produce the reports of every result file that lands in a folder, then
// move it to done/ or failed/. A marker file beside each file in hand makes a restart
// finish what a crash or signal interrupted without producing anything twice.

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/signal_cleanup.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/report_session.h"

namespace vantrel::report_tool {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t stopRequested = 0;

constexpr auto kPoll = std::chrono::milliseconds(250);
// A file is taken once its size and time have not changed for this long; an empty
// one waits longer, as a writer may create it well before it writes.
constexpr auto kSettled = std::chrono::seconds(2);
constexpr auto kSettledEmpty = std::chrono::seconds(10);
constexpr const char* kInHand = ".in-hand";     // produced, or being produced, now
constexpr const char* kProduced = ".produced";  // output complete, file not moved yet

struct Seen {
  std::uintmax_t size = 0;
  fs::file_time_type time;
  Clock::time_point since;
};

bool IsPdfName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string end = name.substr(name.size() - 4);
  for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return end == ".pdf";
}

std::string Marker(const fs::path& dir, const std::string& name, const char* kind) {
  return (dir / ("." + name + kind)).string();
}

// A name in folder that is not taken yet: name, then name.1, name.2, ...
fs::path FreeName(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  fs::path candidate = folder / name;
  for (int n = 1; fs::exists(candidate, ec) || fs::is_symlink(candidate, ec); ++n)
    candidate = folder / (name + "." + std::to_string(n));
  return candidate;
}

// The PDF's name from the result file's, never over an earlier one.
fs::path FreePdfName(const fs::path& folder, const std::string& name) {
  const std::string stem = fs::path(name).stem().string();
  std::error_code ec;
  fs::path candidate = folder / (stem + ".pdf");
  for (int n = 1; fs::exists(candidate, ec); ++n)
    candidate = folder / (stem + "-" + std::to_string(n) + ".pdf");
  return candidate;
}

bool MoveInto(const fs::path& file, const fs::path& folder, fs::path& moved, std::string& why) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  moved = FreeName(folder, file.filename().string());
  fs::rename(file, moved, ec);
  if (ec) why = "cannot move " + file.string() + " into " + folder.string() + ": " + ec.message();
  return !ec;
}

// Said without Qt's own notes.
std::string OurLines(const std::string& said) {
  std::string ours;
  std::istringstream lines(said);
  for (std::string line; std::getline(lines, line);)
    if (!line.starts_with("QStandardPaths:")) ours += line + "\n";
  return ours;
}

// The first thing the tool said of a failed file (the message naming the reason),
// for the one line of the log.
std::string Verdict(const std::string& said) {
  std::istringstream lines(said);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) return line;
  return "it could not be produced";
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.flush();
  return static_cast<bool>(out);
}

// What RunOutput says on stderr while it produces one file, kept as the reason of a
// failure and passed on to our own stderr.
class StderrCapture {
 public:
  StderrCapture() {
    std::fflush(stderr);
    const char* tmp = std::getenv("TMPDIR");
    std::string name =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vantrel-watch-XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) return;
    unlink(name.c_str());
    saved_ = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    fd_ = fd;
  }
  ~StderrCapture() { Release(); }
  std::string Release() {
    if (fd_ < 0) return text_;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    lseek(fd_, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fd_, buffer, sizeof buffer)) > 0)
      text_.append(buffer, static_cast<std::size_t>(n));
    close(fd_);
    fd_ = -1;
    std::fputs(text_.c_str(), stderr);
    return text_;
  }

 private:
  int fd_ = -1;
  int saved_ = -1;
  std::string text_;
};

class Watch {
 public:
  explicit Watch(const Options& o) : o_(o), dir_(o.watch) {}

  int Run() {
    std::error_code ec;
    if (!fs::is_directory(dir_, ec))
      return Fail("cannot watch " + dir_.string() + ": it is not a folder", kExitUsage);
    if (!o_.pdfDir.empty()) {
      fs::create_directories(o_.pdfDir, ec);
      if (!fs::is_directory(o_.pdfDir, ec))
        return Fail("cannot create the folder " + o_.pdfDir, kExitOutput);
    }
    DeferEndingSignals(&stopRequested);
    Recover();
    std::fprintf(stderr, "vantrel-report: watching %s\n", dir_.string().c_str());
    while (stopRequested == 0) {
      for (const fs::path& file : Ready()) {
        if (stopRequested != 0) break;
        Produce(file);
      }
      std::this_thread::sleep_for(kPoll);
    }
    std::fprintf(stderr, "vantrel-report: stopped watching %s\n", dir_.string().c_str());
    return kExitOk;
  }

 private:
  // Files a crash or signal left in hand.
  void Recover() {
    std::error_code ec;
    std::vector<fs::path> markers;
    for (const auto& e : fs::directory_iterator(dir_, ec)) markers.push_back(e.path());
    for (const fs::path& path : markers) {
      const std::string marker = path.filename().string();
      for (const char* kind : {kProduced, kInHand}) {
        const std::string k(kind);
        if (marker.size() <= k.size() + 1 || marker[0] != '.' || !marker.ends_with(k)) continue;
        const std::string name = marker.substr(1, marker.size() - 1 - k.size());
        const fs::path file = dir_ / name;
        if (fs::exists(file, ec)) {
          if (k == kProduced) {
            Finish(file, true, "");
          } else if (!o_.print) {
            // A PDF is never left half written, so the file is simply produced again.
            fs::remove(path, ec);
            continue;
          } else {
            Finish(file, false,
                   "the watch ended while this file was being printed; it may have been "
                   "printed in part or in full. Put it back into the folder to print it "
                   "again.");
          }
        }
        fs::remove(path, ec);
      }
    }
  }

  std::vector<fs::path> Ready() {
    std::vector<std::pair<fs::file_time_type, fs::path>> ready;
    std::map<std::string, Seen> now;
    const Clock::time_point t = Clock::now();
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_, ec)) {
      const std::string name = e.path().filename().string();
      if (name.empty() || name[0] == '.' || !e.is_regular_file(ec)) continue;
      // The built-in PDF printer writes beside the result file: its PDFs are no input.
      if (IsPdfName(name)) continue;
      Seen s{e.file_size(ec), e.last_write_time(ec), t};
      if (ec) continue;
      const auto before = seen_.find(name);
      if (before != seen_.end() && before->second.size == s.size && before->second.time == s.time)
        s.since = before->second.since;
      now[name] = s;
      if (t - s.since >= (s.size == 0 ? kSettledEmpty : kSettled))
        ready.emplace_back(s.time, e.path());
    }
    seen_ = std::move(now);
    std::sort(ready.begin(), ready.end());
    std::vector<fs::path> files;
    for (auto& r : ready) files.push_back(std::move(r.second));
    return files;
  }

  void Produce(const fs::path& file) {
    const std::string name = file.filename().string();
    const std::string inHand = Marker(dir_, name, kInHand);
    if (!WriteText(inHand, "")) {
      std::printf("failed %s: cannot write the marker %s\n", name.c_str(), inHand.c_str());
      std::fflush(stdout);
      return;
    }
    Options one = o_;
    one.watch.clear();
    one.data = file.string();
    one.quiet = true;
    std::string target;
    if (o_.print) {
      target = o_.printer.empty() ? "the default printer" : o_.printer;
    } else {
      target = one.pdf = FreePdfName(o_.pdfDir, name).string();
    }
    int status = kExitOk;
    std::string said;
    {
      StderrCapture capture;
      status = o_.print ? RunPrint(one) : RunOutput(one);
      said = OurLines(capture.Release());
    }
    if (status == kExitOk) {
      std::error_code ec;
      fs::rename(inHand, Marker(dir_, name, kProduced), ec);
    }
    Finish(file, status == kExitOk, said.empty() ? "exit status " + std::to_string(status) : said,
           target);
    std::error_code ec;
    fs::remove(inHand, ec);
    fs::remove(Marker(dir_, name, kProduced), ec);
    seen_.erase(name);
  }

  void Finish(const fs::path& file, bool ok, const std::string& why,
              const std::string& target = "") {
    const std::string name = file.filename().string();
    fs::path moved;
    std::string error;
    if (ok) {
      if (!MoveInto(file, dir_ / "done", moved, error)) {
        std::printf("failed %s: %s\n", name.c_str(), error.c_str());
      } else {
        std::printf("done %s%s\n", name.c_str(), target.empty() ? "" : (" -> " + target).c_str());
      }
    } else if (!MoveInto(file, dir_ / "failed", moved, error)) {
      std::printf("failed %s: %s\n", name.c_str(), error.c_str());
    } else {
      WriteText(moved.string() + ".txt", why.ends_with('\n') ? why : why + "\n");
      std::printf("failed %s: %s\n", name.c_str(), Verdict(why).c_str());
    }
    std::fflush(stdout);
  }

  const Options& o_;
  fs::path dir_;
  std::map<std::string, Seen> seen_;
};

}  // namespace

int RunWatch(const Options& o) {
  if (o.definition.empty()) return Fail("--watch needs --definition FILE", kExitUsage);
  if (o.pdfDir.empty() == !o.print)
    return Fail("--watch needs either --print [--printer NAME] or --pdf-dir DIR", kExitUsage);
  return Watch(o).Run();
}

}  // namespace vantrel::report_tool
