// --watch: produce the reports of every result file that lands in a folder, then
// move it to done/ or failed/. A file is first claimed into the watcher's own claim
// folder, so that several watchers share one folder and each file is produced once;
// markers beside the claimed file say how far it got, so that whoever finishes it
// after a crash neither loses it nor produces it twice.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "archive/zip_reader.h"
#include "definitions/ini_store.h"
#include "platform/signal_cleanup.h"
#include "platform/stderr_prompter.h"
#include "results/block_completeness.h"
#include "support/text.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/report_session.h"
#include "tools/vantrel_report/watch_claims.h"
#include "tools/vantrel_report/watch_files.h"

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
// A file whose last test stays incomplete this long will not be finished by anyone.
constexpr auto kGiveUp = std::chrono::minutes(5);

// Markers beside a claimed file. in-hand and produced hold the output's name,
// failed the reason.
constexpr const char* kInHand = ".in-hand";
constexpr const char* kProduced = ".produced";
constexpr const char* kFailed = ".failed";

struct Seen {
  std::uintmax_t Size = 0;
  fs::file_time_type Time;
  Clock::time_point Since;
  bool Judged = false;     // the bytes were looked at since the file last changed
  std::string Incomplete;  // why its last test is not complete yet
};

struct Ready {
  fs::path File;
  std::string Incomplete;  // given up on: it goes to failed/ with this reason
};

fs::path Marker(const fs::path& folder, const std::string& name, const char* kind) {
  return folder / ("." + name + kind);
}

// Keeps other watchers off a PDF name while one writes it.
fs::path TokenOf(const fs::path& pdf) {
  return pdf.parent_path() / ("." + pdf.filename().string() + ".taken");
}

bool IsZipName(const std::string& name) {
  return name.size() > 4 && EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".zip");
}

// Why the file is not whole yet, "" when it is (or when the reader must judge it).
std::string Incomplete(const fs::path& file) {
  std::string text;
  std::string why;
  if (!IsZipName(file.filename().string())) {
    if (!ReadWhole(file, text, why)) return {};
    return LastTestIncomplete(text);
  }
  ZipReader zip;
  std::vector<ZipEntry> entries;
  if (!zip.Open(file.string(), why) || !zip.List(entries, why))
    return "it is not a whole ZIP archive yet (" + why + ")";
  if (entries.empty()) return {};
  char* bytes = nullptr;
  std::size_t size = 0;
  std::FILE* memory = open_memstream(&bytes, &size);
  if (memory == nullptr) return {};
  const bool copied = zip.Copy(entries.front(), memory, why);
  std::fclose(memory);
  if (copied) text.assign(bytes, size);
  std::free(bytes);
  return copied ? LastTestIncomplete(text) : std::string();
}

std::string MarkerText(const fs::path& marker) {
  std::string text;
  std::string why;
  ReadWhole(marker, text, why);
  return text;
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
  explicit Watch(const Options& o) : o_(o), dir_(o.Watch) {}

  int Run() {
    std::error_code ec;
    if (!fs::is_directory(dir_, ec))
      return Fail("cannot watch " + dir_.string() + ": it is not a folder", kExitUsage);
    if (const std::string why = DefinitionFault(); !why.empty()) return Fail(why, kExitUsage);
    if (!o_.PdfDir.empty()) {
      fs::create_directories(o_.PdfDir, ec);
      if (!fs::is_directory(o_.PdfDir, ec))
        return Fail("cannot create the folder " + o_.PdfDir +
                        (ec ? ": " + ec.message() : ": a file of that name is in the way"),
                    kExitOutput);
    }
    std::string why;
    if (!claims_.Open(dir_, why)) return Fail(why, kExitOutput);
    DeferEndingSignals(&stopRequested);
    std::fprintf(stderr, "vantrel-report: watching %s\n", ForLog(dir_.string()).c_str());
    while (stopRequested == 0) {
      bool busy = FinishHeld();
      if (stopRequested == 0 && DefinitionReadable()) busy = ClaimOne() || busy;
      if (!busy) std::this_thread::sleep_for(kPoll);
    }
    std::fprintf(stderr, "vantrel-report: stopped watching %s\n", ForLog(dir_.string()).c_str());
    return kExitOk;
  }

 private:
  // Why the definition cannot serve: unreadable, or it declares no report.
  std::string DefinitionFault() {
    auto store = std::make_unique<IniStore>();
    StderrPrompter prompter(nullptr);
    if (!LoadIni(o_.Definition, *store, prompter))
      return "cannot load the definition file " + o_.Definition + "; nothing is watched";
    if (store->NumReports == 0)
      return "the definition file " + o_.Definition + " declares no report; nothing is watched";
    return {};
  }

  // Checked before each claim: a file taken while the definition is away would go
  // to failed/ for no fault of its own.
  bool DefinitionReadable() {
    const int fd = open(o_.Definition.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      SayOnce("definition", "waiting: cannot read the definition file " + ForLog(o_.Definition) +
                                ": " + std::strerror(errno) + "; no file is taken meanwhile");
      return false;
    }
    close(fd);
    said_.erase("definition");
    return true;
  }

  // Files a watcher claimed, ours and those of watchers that died: on to done/ or
  // failed/. True when something was produced or moved.
  bool FinishHeld() {
    bool busy = false;
    for (const fs::path& folder : claims_.Held()) {
      std::error_code ec;
      std::vector<fs::path> files;
      for (const auto& e : fs::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (!IsNotAnInput(name) && e.is_regular_file(ec)) files.push_back(e.path());
      }
      std::sort(files.begin(), files.end());
      for (const fs::path& file : files) {
        if (stopRequested != 0) return busy;
        busy = Carry(folder, file.filename().string()) || busy;
      }
      if (folder != claims_.Own()) {
        DropOrphanMarkers(folder);
        claims_.ReleaseIfEmpty(folder);
      }
    }
    return busy;
  }

  // A watcher killed after moving a file on but before removing its marker.
  void DropOrphanMarkers(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> orphans;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
      const std::string name = e.path().filename().string();
      for (const char* kind : {kInHand, kProduced, kFailed}) {
        const std::string k(kind);
        if (name.size() <= k.size() + 1 || name[0] != '.' || !name.ends_with(k)) continue;
        if (!fs::exists(folder / name.substr(1, name.size() - 1 - k.size()), ec))
          orphans.push_back(e.path());
      }
    }
    for (const fs::path& orphan : orphans) fs::remove(orphan, ec);
  }

  // Takes the oldest file that is ready and that no other watcher took first.
  bool ClaimOne() {
    for (const Ready& ready : ReadyFiles()) {
      if (stopRequested != 0) return false;
      const std::string name = ready.File.filename().string();
      std::string why;
      if (!claims_.Take(ready.File, why)) {
        if (!why.empty()) SayOnce("claim " + name, "waiting " + ForLog(name) + ": " + why);
        continue;
      }
      said_.erase("claim " + name);
      said_.erase("waiting " + name);
      seen_.erase(name);
      if (!ready.Incomplete.empty()) {
        Failed(claims_.Own(), name,
               ready.Incomplete + "; it did not change for " +
                   std::to_string(kGiveUp / std::chrono::minutes(1)) + " minutes.\n");
      }
      Carry(claims_.Own(), name);
      return true;
    }
    return false;
  }

  std::vector<Ready> ReadyFiles() {
    std::vector<std::pair<fs::file_time_type, Ready>> ready;
    std::map<std::string, Seen> now;
    const Clock::time_point t = Clock::now();
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir_, ec)) {
      const std::string name = e.path().filename().string();
      if (IsNotAnInput(name) || !e.is_regular_file(ec)) continue;
      Seen s;
      s.Size = e.file_size(ec);
      s.Time = e.last_write_time(ec);
      s.Since = t;
      if (ec) continue;
      const auto before = seen_.find(name);
      if (before != seen_.end() && before->second.Size == s.Size && before->second.Time == s.Time) {
        s = before->second;
      }
      if (t - s.Since >= (s.Size == 0 ? kSettledEmpty : kSettled)) {
        if (!s.Judged) {
          s.Incomplete = Incomplete(e.path());
          s.Judged = true;
          if (!s.Incomplete.empty())
            SayOnce("waiting " + name, "waiting " + ForLog(name) + ": " + ForLog(s.Incomplete));
        }
        if (s.Incomplete.empty())
          ready.push_back({s.Time, {e.path(), ""}});
        else if (t - s.Since >= kGiveUp)
          ready.push_back({s.Time, {e.path(), s.Incomplete}});
      }
      now[name] = s;
    }
    seen_ = std::move(now);
    std::stable_sort(ready.begin(), ready.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Ready> files;
    for (auto& r : ready) files.push_back(std::move(r.second));
    return files;
  }

  // Takes a claimed file one step on from where its markers say it is. True when it
  // was produced or moved.
  bool Carry(const fs::path& folder, const std::string& name) {
    const fs::path file = folder / name;
    std::error_code ec;
    if (fs::exists(Marker(folder, name, kProduced), ec)) return Done(folder, name);
    if (fs::exists(Marker(folder, name, kFailed), ec)) return MoveFailed(folder, name);
    const fs::path inHand = Marker(folder, name, kInHand);
    if (fs::exists(inHand, ec)) {
      if (o_.Print) {
        Failed(folder, name,
               "the watch ended while this file was being printed; it may have been "
               "printed in part or in full. Put it back into the folder to print it again.\n");
        fs::remove(inHand, ec);
        return MoveFailed(folder, name);
      }
      // A PDF gets its name only when complete: there, it was made; missing, it was not.
      const std::string target = MarkerText(inHand);
      if (!target.empty() && fs::exists(target, ec)) {
        fs::remove(TokenOf(target), ec);
        fs::rename(inHand, Marker(folder, name, kProduced), ec);
        if (!ec) return Done(folder, name);
      }
      return Produce(folder, name, target);
    }
    return Produce(folder, name, "");
  }

  bool Produce(const fs::path& folder, const std::string& name, std::string target) {
    const fs::path file = folder / name;
    const fs::path inHand = Marker(folder, name, kInHand);
    std::string why;
    fs::path token;
    if (!o_.Print && target.empty()) {
      if (!ReservePdfName(folder, name, target, token, why)) {
        SayOnce("marker " + name, "waiting " + ForLog(name) + ": " + ForLog(why));
        return false;
      }
      std::error_code ec;
      fs::remove(inHand, ec);
      if (!CreateExclusive(inHand, target, why)) {
        fs::remove(token, ec);
        SayOnce("marker " + name, "waiting " + ForLog(name) + ": " + ForLog(why));
        return false;
      }
    } else if (!o_.Print) {
      // Carried on from a watcher that died: its name and token are ours now.
      token = TokenOf(target);
    } else {
      target = o_.Printer.empty() ? "the default printer" : o_.Printer;
      std::error_code ec;
      fs::remove(inHand, ec);
      if (!CreateExclusive(inHand, target, why)) {
        SayOnce("marker " + name, "waiting " + ForLog(name) + ": " + ForLog(why));
        return false;
      }
    }
    said_.erase("marker " + name);

    Options one = o_;
    one.Watch.clear();
    one.PdfDir.clear();
    one.Data = file.string();
    one.DataFiles = {one.Data};
    one.Quiet = true;
    if (!o_.Print) one.Pdf = target;
    int status = kExitOk;
    std::string said;
    {
      StderrCapture capture;
      status = o_.Print ? RunPrint(one) : RunOutput(one);
      said = OurLines(capture.Release());
    }
    // The claim folder is no place the user knows of.
    said = ReplaceAll(said, file.string(), ForLog((dir_ / name).string()));
    std::error_code ec;
    if (o_.Print) MovePrintersPdfs(folder);
    if (!token.empty()) fs::remove(token, ec);
    if (status == kExitOk) {
      fs::rename(inHand, Marker(folder, name, kProduced), ec);
      return Done(folder, name);
    }
    Failed(folder, name, said.empty() ? "exit status " + std::to_string(status) + "\n" : said);
    fs::remove(inHand, ec);
    return MoveFailed(folder, name);
  }

  // The PDF's name from the result file's, never over an earlier one: a hidden token
  // beside it keeps other watchers off the name while this one writes it. The token
  // names the claim it was made for, so that a watcher carrying on with that claim
  // after its first watcher died before saying so knows the token as its own.
  bool ReservePdfName(const fs::path& folder, const std::string& name, std::string& target,
                      fs::path& token, std::string& why) {
    const std::string stem = fs::path(name).stem().string();
    const std::string claim = (folder.filename() / name).string();
    const fs::path out(o_.PdfDir);
    for (int n = 0; n < 100000; ++n) {
      const std::string pdf = stem + (n == 0 ? "" : "-" + std::to_string(n)) + ".pdf";
      const fs::path reserve = TokenOf(out / pdf);
      if (!CreateExclusive(reserve, claim, why)) {
        if (!why.empty()) return false;
        if (MarkerText(reserve) != claim) continue;
      }
      std::error_code ec;
      if (fs::exists(out / pdf, ec) || fs::is_symlink(out / pdf, ec)) {
        fs::remove(reserve, ec);
        continue;
      }
      target = (out / pdf).string();
      token = reserve;
      return true;
    }
    why = "no free PDF name left in " + o_.PdfDir;
    return false;
  }

  // Without a print server the built-in printer writes beside the result file, here
  // in the claim folder: its PDFs go where the result file was.
  void MovePrintersPdfs(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> pdfs;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
      const std::string name = e.path().filename().string();
      if (name.size() > 4 && EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".pdf"))
        pdfs.push_back(e.path());
    }
    for (const fs::path& pdf : pdfs) {
      fs::path moved;
      std::string why;
      if (!MoveToFreeName(pdf, dir_, moved, why))
        Line("note " + ForLog(pdf.filename().string()) + ": " + ForLog(why));
    }
  }

  // The reason is kept beside the file, so that whoever moves it can write it out.
  void Failed(const fs::path& folder, const std::string& name, const std::string& reason) {
    std::string why;
    const fs::path marker = Marker(folder, name, kFailed);
    std::error_code ec;
    fs::remove(marker, ec);
    if (!CreateExclusive(marker, reason.ends_with('\n') ? reason : reason + "\n", why))
      SayOnce("marker " + name, "note " + ForLog(name) + ": " + ForLog(why));
  }

  bool Done(const fs::path& folder, const std::string& name) {
    const fs::path marker = Marker(folder, name, kProduced);
    const std::string target = MarkerText(marker);
    fs::path moved;
    std::string why;
    if (!MoveToFreeName(folder / name, dir_ / "done", moved, why)) {
      // Produced once is enough: it waits here until it can be moved.
      SayOnce("move " + name, "done " + ForLog(name) + " -> " + ForLog(target) + "; " +
                                  ForLog(why) + "; it stays in " + ForLog(folder.string()) +
                                  " until it can be moved");
      return false;
    }
    std::error_code ec;
    fs::remove(marker, ec);
    const bool told = said_.erase("move " + name) > 0;
    if (!told)
      Line("done " + ForLog(name) + (target.empty() ? "" : " -> " + ForLog(target)));
    else
      Line("moved " + ForLog(name) + " into " + ForLog(moved.parent_path().string()));
    return true;
  }

  bool MoveFailed(const fs::path& folder, const std::string& name) {
    const fs::path marker = Marker(folder, name, kFailed);
    std::string reason = MarkerText(marker);
    if (reason.empty()) reason = "it could not be produced\n";
    fs::path moved;
    std::string why;
    if (!MoveWithReason(folder / name, dir_ / "failed", reason, moved, why)) {
      SayOnce("move " + name, "failed " + ForLog(name) + ": " + ForLog(Verdict(reason)) + "; " +
                                  ForLog(why) + "; it stays in " + ForLog(folder.string()) +
                                  " until it can be moved");
      return false;
    }
    std::error_code ec;
    fs::remove(marker, ec);
    said_.erase("move " + name);
    Line("failed " + ForLog(name) + ": " + ForLog(Verdict(reason)));
    return true;
  }

  void Line(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
  }

  // A state that lasts is told once, and again only when it changes.
  void SayOnce(const std::string& key, const std::string& text) {
    auto [it, fresh] = said_.try_emplace(key, text);
    if (!fresh && it->second == text) return;
    it->second = text;
    Line(text);
  }

  const Options& o_;
  fs::path dir_;
  Claims claims_;
  std::map<std::string, Seen> seen_;
  std::map<std::string, std::string> said_;
};

}  // namespace

int RunWatch(const Options& o) { return Watch(o).Run(); }

}  // namespace vantrel::report_tool
