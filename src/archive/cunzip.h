#pragma once
// Reading ZIP archives: the entry list and extraction of selected entries into a folder.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

/// Entries larger than this are refused: no result file comes near it, and a forged
/// size must not fill the disk.
inline constexpr uint64_t kMaxEntryBytes = uint64_t{1} << 30;

struct ZipEntry {
  std::string Name;    // the name without its folder
  std::string Folder;  // folder inside the archive, "" at the top
  uint64_t Size = 0;
  uint64_t PackedSize = 0;
  int Ratio = 0;     // percent saved by compression
  std::string Date;  // "yyyy-mm-dd hh:mm"
  uint32_t Crc = 0;
  std::string Method;
  bool Encrypted = false;
  bool Selected = true;
  uint64_t ArchiveIndex = 0;  // position in the archive's own list
};

/// Properties only store or return their value. Entries are 1-based; folder entries of
/// the archive are not listed.
class cUnzip {
 public:
  bool ExtractOnlyNewer() const { return extractOnlyNewer_; }
  void ExtractOnlyNewer(bool v) { extractOnlyNewer_ = v; }
  bool SpaceToUnderScore() const { return spaceToUnderScore_; }
  void SpaceToUnderScore(bool v) { spaceToUnderScore_ = v; }
  bool PromptToOverwrite() const { return promptToOverwrite_; }
  void PromptToOverwrite(bool v) { promptToOverwrite_ = v; }
  int MessageLevel() const { return messageLevel_; }
  void MessageLevel(int v) { messageLevel_ = v; }
  bool TestZip() const { return testZip_; }
  void TestZip(bool v) { testZip_ = v; }
  bool UseFolderNames() const { return useFolderNames_; }
  void UseFolderNames(bool v) { useFolderNames_ = v; }
  bool OverwriteExisting() const { return overwriteExisting_; }
  void OverwriteExisting(bool v) { overwriteExisting_ = v; }
  bool ConvertCRToCRLF() const { return convertCRToCRLF_; }
  void ConvertCRToCRLF(bool v) { convertCRToCRLF_ = v; }
  bool CaseSensitiveFileNames() const { return caseSensitive_; }
  void CaseSensitiveFileNames(bool v) { caseSensitive_ = v; }

  long FileCount() const { return static_cast<long>(entries_.size()); }
  std::string Filename(long i) const;
  std::string FileDirectory(long i) const;
  uint64_t FileSize(long i) const;
  uint64_t FilePackedSize(long i) const;
  int FileCompressionRatio(long i) const;
  std::string FileDate(long i) const;
  uint32_t FileCRC(long i) const;
  std::string FileCompressionMethod(long i) const;
  bool FileEncrypted(long i) const;
  bool FileSelected(long i) const;
  void FileSelected(long i, bool selected);

  const std::string& UnzipFolder() const { return unzipFolder_; }
  void UnzipFolder(const std::string& v) { unzipFolder_ = v; }
  const std::string& ZipFile() const { return zipFile_; }
  void ZipFile(const std::string& v) { zipFile_ = v; }

  /// Lists the archive's entries. False (with Error() set) when it cannot be read.
  bool Directory();
  /// Extracts the selected entries into UnzipFolder (or tests them under TestZip).
  /// Names never leave the folder. False at the first fault, with Error() set.
  bool Unzip();
  std::string GetVersion() const;

  /// What went wrong in the last Directory or Unzip, "" after success.
  const std::string& Error() const { return error_; }

 private:
  const ZipEntry* At(long i) const;
  bool ExtractOne(void* archive, const ZipEntry& entry);

  bool extractOnlyNewer_ = false;
  bool spaceToUnderScore_ = false;
  bool promptToOverwrite_ = false;
  int messageLevel_ = 0;
  bool testZip_ = false;
  bool useFolderNames_ = false;
  bool overwriteExisting_ = false;
  bool convertCRToCRLF_ = false;
  bool caseSensitive_ = false;
  std::string unzipFolder_;
  std::string zipFile_;
  std::vector<ZipEntry> entries_;
  std::string error_;
};

}  // namespace vantrel
