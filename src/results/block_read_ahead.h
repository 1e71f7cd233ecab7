#pragma once
// Test blocks parsed on a thread of their own, in the order a job will read them and
// a little ahead of it, so that a read finds its block already parsed.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "results/test_block.h"

namespace vantrel {

/// What parsing a block found that its reader is told. Kept apart from the parse, so
/// that a block parsed ahead is told of when it is read, in the order of the reads.
struct BlockNotes {
  enum class Kind : uint8_t {
    Incomplete,    // Text: why its rows are not all there
    Unreadable,    // Text: why the copy could not be read; "" for too many rows
    DecimalComma,  // Text: the first field that looks like a decimal comma
  };
  struct Note {
    Kind What;
    std::string Text;
  };
  std::vector<Note> Notes;
  std::optional<bool> Failed;  // set once the rows were reached
  bool Parsed = false;         // the block is usable
  bool CommaNoted = false;

  void Add(Kind what, std::string text) { Notes.push_back(Note{what, std::move(text)}); }
};

struct ParsedBlock {
  TestBlock Block;
  BlockNotes Notes;
};

class BlockReadAhead {
 public:
  /// Parses entry's block into out; called on the read-ahead thread, so it must
  /// change nothing the reading thread sees.
  using Parse = std::function<void(int16_t entry, ParsedBlock& out)>;
  struct Planned {
    int16_t Entry = 0;
    std::uint64_t Bytes = 0;  // of its text
  };

  /// order: the entries in the order they will be read.
  BlockReadAhead(std::vector<Planned> order, Parse parse);
  ~BlockReadAhead();
  BlockReadAhead(const BlockReadAhead&) = delete;
  BlockReadAhead& operator=(const BlockReadAhead&) = delete;

  /// entry's parsed block, waiting while it is being parsed; nullopt when it is not
  /// ahead (the reads left the plan, or caught up with it): the caller parses it.
  std::optional<ParsedBlock> Take(int16_t entry);

  /// A parsed block takes many times its text, so only this much text is held ahead,
  /// and a larger block is never parsed ahead.
  static constexpr std::uint64_t kAheadBytes = std::uint64_t{1} << 20;
  static constexpr std::size_t kAheadBlocks = 4;

 private:
  void Work();
  bool RoomForNext() const;

  std::vector<Planned> order_;
  Parse parse_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::pair<Planned, ParsedBlock>> ready_;
  std::uint64_t readyBytes_ = 0;
  std::size_t next_ = 0;  // position in order_ of the next block to parse
  int16_t parsing_ = -1;
  bool stop_ = false;
  std::thread thread_;  // last: it starts once everything above is there
};

}  // namespace vantrel
