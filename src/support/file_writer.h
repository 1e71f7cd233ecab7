#pragma once
// Every file the program makes goes through here. It is written under a temporary
// name in the target's own folder and renamed over the target only when it is
// complete and on the disk, so that a full disk, a fault, a signal or kill -9 never
// leaves a half file under the final name nor destroys the file that was there.

#include <string>
#include <string_view>

namespace vantrel {

enum class Existing {
  Replace,  // a plain file under the target's name is replaced
  Keep,     // the commit fails when anything stands under the target's name
};

struct WriteRules {
  /// What the file must end in to be complete (line ends after it allowed): "%%EOF"
  /// for a PDF, whose writer may have stopped halfway without saying so.
  std::string Trailer;
  Existing IfExists = Existing::Replace;
};

inline constexpr std::string_view kPdfTrailer = "%%EOF";
/// The rules of a PDF that replaces what stood under its name.
inline WriteRules PdfRules() { return {.Trailer = std::string(kPdfTrailer)}; }

class FileWriter {
 public:
  /// Makes the part beside target. When it cannot, Ready() is false and Error() says
  /// why ("cannot write <target>: <the system's reason>").
  explicit FileWriter(std::string target, WriteRules rules = {});
  /// Removes the part unless it was committed.
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  bool Ready() const { return fd_ >= 0; }
  const std::string& Target() const { return target_; }
  /// The part's path, for writers that open files themselves (they write to it, never
  /// rename it).
  const std::string& PartPath() const { return part_; }
  /// Open for writing on the part; -1 when not Ready.
  int Descriptor() const { return fd_; }

  /// Changes what the commit does with a file under the target's name (after the
  /// user was asked, say).
  void SetIfExists(Existing rule) { rules_.IfExists = rule; }

  /// Appends bytes; false with Error() set on any fault (ENOSPC included).
  bool Write(std::string_view bytes);
  /// Checks the part (trailer), gives it its mode (a replaced file keeps its own; a
  /// new one gets 0666 less the umask), flushes it and its folder to the disk and
  /// renames it over the target. False with Error() set, the part removed and
  /// whatever stood under the target's name untouched, otherwise.
  bool Commit();
  /// Drops the part now; the target stays as it was.
  void Abandon();

  const std::string& Error() const { return error_; }
  /// Error() without its "cannot write <target>: ", for messages of their own.
  std::string Reason() const;
  /// The commit failed only because Existing::Keep found something under the name.
  bool FoundExisting() const { return foundExisting_; }

 private:
  bool Fail(const std::string& why);
  bool PutInPlace();

  std::string target_;
  WriteRules rules_;
  std::string part_;
  int fd_ = -1;
  std::string error_;
  bool foundExisting_ = false;
};

/// Writes bytes as target through a FileWriter; false with error set.
bool WriteWholeFile(const std::string& target, std::string_view bytes, std::string& error,
                    const WriteRules& rules = {});

/// Copies the plain file source to target through a FileWriter; false with error set
/// (source is never changed).
bool CopyToFile(const std::string& source, const std::string& target, std::string& error,
                const WriteRules& rules = {});

/// Removes the parts that runs now dead left in folder (after kill -9 or a power cut);
/// a live run's part and any file not named as a part of ours stay.
void RemoveStaleParts(const std::string& folder);
/// As RemoveStaleParts, for a folder no other live run writes into: every part whose
/// lock is free goes, whether or not its run's pid is still seen.
void RemoveUnheldParts(const std::string& folder);

/// Makes folder and its missing parents; false with "cannot create the folder X:
/// <reason>" in error.
bool MakeFolders(const std::string& folder, std::string& error);

/// The folder a path is in, "." for a bare name.
std::string FolderOf(const std::string& path);

/// Why a file in path's folder could not be written completely when the writer did
/// not say: the system's "No space left on device" when the disk is full.
std::string WhyNotWritten(const std::string& path);

}  // namespace vantrel
