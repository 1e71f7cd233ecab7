#include "tools/vantrel_report/watch_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "support/file_writer.h"

namespace vantrel::report_tool {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxCandidates = 100000;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::string Reason(int error) { return std::strerror(error); }

// 0, or the errno of the failure; EEXIST when to is taken.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  // File systems without the flag (NFS): a hard link fails as surely when the name is taken.
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  unlink(from.c_str());
  return 0;
}

fs::path Candidate(const fs::path& folder, const std::string& name, int n) {
  return n == 0 ? folder / name : folder / (name + "." + std::to_string(n));
}

bool MakeFolder(const fs::path& folder, std::string& why) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (fs::is_directory(folder, ec)) return true;
  why = "cannot create the folder " + folder.string() +
        (ec ? ": " + ec.message() : ": a file of that name is in the way");
  return false;
}

}  // namespace

bool IsNotAnInput(std::string_view name) {
  if (name.empty() || name[0] == '.' || name[0] == '~' || name.back() == '~') return true;
  if (name.size() > 1 && name.front() == '#' && name.back() == '#') return true;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  static constexpr std::array<std::string_view, 12> kWorking = {
      ".part",     ".partial", ".tmp",  ".temp", ".crdownload", ".download",
      ".filepart", ".swp",     ".lock", ".lck",  ".pdf",        ".bak"};
  const std::string extension = Lower(name.substr(dot));
  for (std::string_view w : kWorking)
    if (extension == w) return true;
  return false;
}

std::string ForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u == 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

bool MoveToFreeName(const fs::path& file, const fs::path& folder, fs::path& moved,
                    std::string& why) {
  if (!MakeFolder(folder, why)) return false;
  const std::string name = file.filename().string();
  for (int n = 0; n < kMaxCandidates; ++n) {
    moved = Candidate(folder, name, n);
    const int error = RenameNoReplace(file, moved);
    if (error == 0) return true;
    if (error != EEXIST) {
      why = "cannot move it into " + folder.string() + ": " + Reason(error);
      return false;
    }
  }
  why = "cannot move it into " + folder.string() + ": no free name left";
  return false;
}

bool MoveWithReason(const fs::path& file, const fs::path& folder, const std::string& reason,
                    fs::path& moved, std::string& why) {
  if (!MakeFolder(folder, why)) return false;
  const std::string name = file.filename().string();
  for (int n = 0; n < kMaxCandidates; ++n) {
    moved = Candidate(folder, name, n);
    const fs::path reasonFile = moved.string() + ".txt";
    std::string error;
    if (!CreateExclusive(reasonFile, reason, error)) {
      if (error.empty()) continue;  // taken
      why = error;
      return false;
    }
    const int moveError = RenameNoReplace(file, moved);
    if (moveError == 0) return true;
    unlink(reasonFile.c_str());
    if (moveError != EEXIST) {
      why = "cannot move it into " + folder.string() + ": " + Reason(moveError);
      return false;
    }
  }
  why = "cannot move it into " + folder.string() + ": no free name left";
  return false;
}

bool CreateExclusive(const fs::path& path, const std::string& text, std::string& why) {
  why.clear();
  FileWriter writer(path.string(), {.Trailer = "", .IfExists = Existing::Keep});
  if (writer.Ready() && writer.Write(text) && writer.Commit()) return true;
  if (!writer.FoundExisting()) why = writer.Error();
  return false;
}

bool ReadWhole(const fs::path& path, std::string& text, std::string& why) {
  text.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    why = Reason(errno);
    return false;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      why = Reason(errno);
      close(fd);
      return false;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  return true;
}

}  // namespace vantrel::report_tool
