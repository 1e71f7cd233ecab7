#pragma once
// The test-data object: the one owner of a result file. It works on a private
// temporary copy, indexes the tests in one pass through a window, reads one block at a
// time when it is parsed (with a one-block cache) and reads the general header,
// comments and summaries.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "definitions/column_code.h"
#include "definitions/program_state.h"
#include "definitions/report_reads.h"
#include "results/block_read_ahead.h"
#include "results/data_host.h"
#include "results/test_block.h"
#include "support/prompter.h"

namespace vantrel {

class CopyLines;

/// One test of the index. Start is the 1-based byte position of the block's first
/// line in the copy; Failed is known only once the block was parsed.
struct TestIndexEntry {
  std::string Name;
  int32_t Start = 0;
  bool Failed = false;
};

/// The result of a test lookup and block parse. block stays valid until the next
/// FindTest, ResetNumCols or SetFile.
struct ParsedTest {
  const TestBlock* Block = nullptr;
  bool Failed = false;
  int16_t IndexEntry = -1;
  bool Incomplete = false;  // the block ends early: its rows are not all there
};

/// A message box's text and title.
struct RefusalMessage {
  std::string Text;
  std::string Title;
};

/// What the user is told when the system refuses to read the data file at path with
/// errno code: a denied read is the file held open elsewhere; any other error leads
/// with the system's own description. The reason says what was being done.
RefusalMessage SystemRefusal(const std::string& path, int code);

/// Text grids are indexed [column][row].
using TextGrid = std::vector<std::vector<std::string>>;

class ObjData {
 public:
  static constexpr int kIndexSlots = 611;
  static constexpr int kMaxTests = 610;
  static constexpr int kHeaderBytes = 8192;
  static constexpr int kHeaderSlots = 31;
  static constexpr int32_t kMaxFileBytes = 2147483647;

  ObjData(ProgramState& state, Prompter& prompter, DataHost& host);
  ~ObjData();
  ObjData(const ObjData&) = delete;
  ObjData& operator=(const ObjData&) = delete;

  /// The folder for the temporary copies; "/tmp" until told otherwise. The caller
  /// decides where it comes from (TMPDIR, a setting).
  void UseTempFolder(std::string folder) { tempFolder_ = std::move(folder); }

  /// Copies the file (or a ZIP archive's first entry) to a fresh temporary copy,
  /// indexes it and preselects reports by the header's sequence profile. False when
  /// nothing usable was loaded, always with a message that says why. A refused file
  /// leaves the earlier one loaded.
  bool SetFile(const std::string& path);
  /// Path of the current temporary copy, "" before the first SetFile.
  const std::string& TempPath() const { return tempPath_; }

  /// Rebuilds the index from the loaded copy (header included). SetFile calls it.
  bool ReadTestNames();

  // The index.
  int16_t TestCount() const { return testCount_; }
  /// Name of entry index, "" outside 0..TestCount-1.
  std::string TestName(int16_t index) const;
  /// Entry index, or nullptr outside 0..TestCount-1.
  const TestIndexEntry* Entry(int16_t index) const;
  std::span<const TestIndexEntry> Index() const;
  /// True when a test name of report reportIndex (0-based) matches an indexed test.
  bool CheckTested(int16_t reportIndex) const;
  /// Index entry for a requested name ("|" alternatives, wildcards) and occurrence:
  /// below 1 the first match, 1 the last, 2 the one before it, and so on.
  std::optional<int16_t> LookupTest(std::string_view name, int16_t occurrence) const;

  /// Lookup plus block parse, through the one-block cache.
  std::optional<ParsedTest> FindTest(std::string_view name, int16_t occurrence);
  /// Parses the block of one index entry, through the cache.
  std::optional<ParsedTest> ParseEntry(int16_t indexEntry);
  /// Parses the blocks of the tests these reads will find on a thread of its own, in
  /// their order and a little ahead of them; what a block's parse finds is told when it
  /// is read. The same reads again change nothing; none stops it, as SetFile and
  /// ReadTestNames do.
  void ReadAhead(const std::vector<PlannedRead>& reads);
  /// The overall status failed, or any test did; reads every block's row status
  /// without a word about faulty ones (they are told when a report reads them) and
  /// drops the cache.
  bool AnyTestFailed();
  /// Tests whose block could not be read at all (too many rows), and tests with a
  /// block that lacks data (no rows, short rows, fewer rows than its "Points"), told
  /// since the last SetFile. Each was reported once.
  int UnreadableTests() const { return static_cast<int>(unreadable_.size()); }
  int IncompleteTests() const { return static_cast<int>(incomplete_.size()); }
  /// Reads the rows of every test block and tells each one that lacks data or cannot
  /// be read (once); UnreadableTests() + IncompleteTests() afterwards.
  int JudgeEveryTest();
  /// Reads the rows of every test block now and keeps what they say, without a word;
  /// JudgeEveryTest and AnyTestFailed then answer from it until the next SetFile. Lets
  /// a caller with time to spare (waiting for code to load) do the reading early.
  void CheckEveryBlock();
  /// Why the test of an index entry lacks data ("it has no data rows", ...), "" when
  /// its block is complete or is no test block (a summary). Says nothing.
  std::string TestLack(int16_t indexEntry) const;
  /// True when the file's last test block is complete; false when it lacks data or the
  /// file holds no test block. Says nothing.
  bool LastTestComplete() const;
  /// Judges every test (JudgeEveryTest); "" when the file may be certified, else why
  /// not: a test that cannot be read, or an incomplete one unless incompleteAllowed.
  std::string CertificationFault(bool incompleteAllowed);
  /// Empties the block cache; called at the start of every report.
  void ResetNumCols();
  /// True when the cached block has more than k pair columns.
  bool MoreColsToShow(int16_t k) const;

  // The general header.
  bool ControlLimitsStored() const { return controlLimits_; }
  int LimitColumns() const { return controlLimits_ ? 4 : 2; }
  char Delimiter() const { return delimiter_; }
  int16_t Pairs() const { return pairs_; }
  const std::string& CableLength() const { return cableLength_; }
  const std::string& NormalisationLength() const { return normalisationLength_; }
  /// The "test description" value: the sequence profile's name.
  const std::string& TestDescription() const { return testDescription_; }
  /// The data file's "Pass/Fail Status" said "FAILED".
  bool OverallFailed() const { return overallFailed_; }
  /// text with the header's "[paramN]" placeholders filled, line after line, as the
  /// application title is: APPNAME names certificates and jobs with it.
  std::string FillParameters(std::string text) const;
  /// Left value of header slot i for i in 0..29, else "".
  std::string HeaderString(int16_t i) const;
  /// Right value of header slot i for i in 0..29, else "".
  std::string HalfHeaderString(int16_t i) const;

  /// Selects the reports of the sequence profile named name (every report cleared
  /// first) and tells the host. Unknown or empty names change nothing.
  void Set_Sequence_Profiles(const std::string& name);

  /// The summary block of the entry named name exactly, condensed to one row per test:
  /// column 0 name, 1 "PASS"/"FAIL", 2 failing pairs. grid is sized to at least
  /// columns x rows (3 columns at least; more rows when the block needs them).
  bool ReadTestSummary(std::string_view name, TextGrid& grid, int columns, int rows, bool& anyFail);
  /// As ReadTestSummary on the raw layout (status from the eighth character on).
  bool ReadRawTestSummary(std::string_view name, TextGrid& grid, int columns, int rows,
                          bool& anyFail);
  /// The comment entry's "|" parts, upper-cased, in column 0, one per row.
  bool PrintComments(std::string_view comment, TextGrid& grid) const;

 private:
  void Refuse(const std::string& path, const std::string& reason);
  void RefuseSystem(const std::string& path, int code);
  bool OpenSource(const std::string& path, int& fd, std::string& head);
  bool MakeCopyFile();
  bool ExtractCopy(const std::string& path);
  bool WriteCopy(const std::string& path, int source, std::string_view head);
  void ClearCopy();
  /// The lines of the copy from position on, read through a window.
  CopyLines LinesFrom(std::uint64_t position, std::size_t window, std::size_t longest = 0) const;
  /// The lines of an index entry's block, read through a window the size of its span.
  CopyLines BlockLines(int16_t entry) const;
  std::uint64_t BlockBytes(int16_t entry) const;
  /// Why the copy could not be read, for the messages that say so.
  std::string CopyFault(const std::string& fault) const;
  bool RemoveCopy();
  bool ReadGeneralHeader(std::size_t& bodyStart);
  void TooManyTests(std::size_t from);
  /// Parses an entry's block, or takes it from the read-ahead, and tells what it found.
  bool ParseBlock(int16_t entry);
  /// Parses an entry's block without a word and without a change to this object, so
  /// that another thread may do it beside the reads.
  void ParseBlockInto(int16_t entry, ParsedBlock& out) const;
  bool ReadFullRow(TestBlock& block, BlockNotes& notes, std::string_view line) const;
  /// Tells what an entry's parse found, as a parse on this thread tells it; the
  /// block's usability.
  bool TakeNotes(int16_t entry, const BlockNotes& notes);
  enum class Opening { NotABlock, NoRows, Rows };
  /// Reads a block's first and heading lines up to its first data row, and the number
  /// of rows its sweep line declares (0 when it does not say).
  Opening ReachRows(CopyLines& cursor, std::vector<std::string>* headings,
                    int& declaredPoints) const;
  /// What a block's rows say without storing them, judged as ParseBlock judges them.
  struct BlockCheck {
    bool IsTest = false;   // a "TEST:" block
    bool HasRows = false;  // at least one data row
    bool Failed = false;
    bool TooLong = false;  // more rows than a 16-bit count holds
    std::string Fault;     // why the copy could not be read; "" when it could
    std::string Lack;      // why its rows are not all there; "" when they are
  };
  BlockCheck CheckBlock(int16_t entry) const;
  void Incomplete(const TestIndexEntry& entry, const std::string& why);
  /// why: "" for a block with too many rows, else why the copy could not be read.
  void Unreadable(const TestIndexEntry& entry, const std::string& why = "");
  void TellDecimalComma(const TestIndexEntry& entry, std::string_view field);
  bool ReadSummaryRows(int16_t entry, TextGrid& rows);
  bool Summarise(std::string_view name, TextGrid& grid, int columns, int rows, bool& anyFail,
                 bool raw);

  ProgramState& state_;
  Prompter& prompter_;
  DataHost& host_;

  std::string tempFolder_ = "/tmp";
  std::string tempPath_;
  int tempLock_ = -1;  // open while the copy lives: a later run then knows it is in use
  bool copyPresent_ = false;
  std::string indexFault_;      // why the last ReadTestNames found no header
  std::uint64_t copySize_ = 0;  // bytes in the copy as it was made

  std::vector<TestIndexEntry> index_;
  std::vector<std::string> lowerNames_;  // for matching, parallel to index_
  std::vector<bool> rawSummaries_;       // a "SUMMARY INFORMATION" block, parallel to index_
  int16_t testCount_ = 0;

  char delimiter_ = '\t';
  bool controlLimits_ = false;
  bool overallFailed_ = false;
  int16_t pairs_ = 0;
  int specificationSlot_ = -1;
  std::string cableLength_;
  std::string normalisationLength_;
  std::string testDescription_;
  std::array<std::string, kHeaderSlots> leftValues_;
  std::array<std::string, kHeaderSlots> rightValues_;
  std::vector<std::pair<std::string, std::string>> parameters_;  // placeholder, value

  std::set<int32_t> unreadable_;  // block starts, reported once each
  std::set<int32_t> incomplete_;
  std::vector<BlockCheck> checks_;  // by index entry, once CheckEveryBlock ran
  bool decimalCommaTold_ = false;   // once per file
  TestBlock current_;
  // The last blocks parsed, so that a page's tables find its graphs' tests parsed. More
  // than one only while blocks are small: memory still follows the largest block.
  struct CachedBlock {
    TestBlock Block;
    int32_t Key = 0;  // the block's Start; 0 when empty
    std::uint64_t Used = 0;
  };
  std::array<CachedBlock, 4> cache_;
  std::size_t last_ = 0;  // the slot FindTest gave last
  std::uint64_t uses_ = 0;
  std::unique_ptr<BlockReadAhead> ahead_;
  std::vector<int16_t> aheadEntries_;  // what ahead_ parses
};

/// Copies every cell [i][j] of source that also lies within destination.
void MatrixCopy(TextGrid& destination, const TextGrid& source);

/// Column titles of codes over a block's headings (keyword codes take the heading of
/// the column they stand for); "" for a column beyond the headings.
std::vector<std::string> ColumnTitles(const TestBlock& block, const std::vector<ColumnCode>& codes);

}  // namespace vantrel
