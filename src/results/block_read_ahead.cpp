#include "results/block_read_ahead.h"

#include <algorithm>

namespace vantrel {

BlockReadAhead::BlockReadAhead(std::vector<Planned> order, Parse parse)
    : order_(std::move(order)), parse_(std::move(parse)), thread_([this] { Work(); }) {}

BlockReadAhead::~BlockReadAhead() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

bool BlockReadAhead::RoomForNext() const {
  if (next_ >= order_.size()) return false;
  if (ready_.empty()) return true;
  return ready_.size() < kAheadBlocks && readyBytes_ + order_[next_].Bytes <= kAheadBytes;
}

void BlockReadAhead::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || RoomForNext(); });
    if (stop_) return;
    const Planned planned = order_[next_++];
    if (planned.Bytes > kAheadBytes) continue;
    parsing_ = planned.Entry;
    lock.unlock();
    ParsedBlock parsed;
    parse_(planned.Entry, parsed);
    lock.lock();
    parsing_ = -1;
    ready_.emplace_back(planned, std::move(parsed));
    readyBytes_ += planned.Bytes;
    changed_.notify_all();
  }
}

std::optional<ParsedBlock> BlockReadAhead::Take(int16_t entry) {
  std::unique_lock lock(mutex_);
  for (;;) {
    const auto found = std::find_if(ready_.begin(), ready_.end(),
                                    [entry](const auto& r) { return r.first.Entry == entry; });
    if (found != ready_.end()) {
      ParsedBlock parsed = std::move(found->second);
      // Blocks planned before it were read some other way (from the cache).
      ready_.erase(ready_.begin(), found + 1);
      readyBytes_ = 0;
      for (const auto& r : ready_) readyBytes_ += r.first.Bytes;
      changed_.notify_all();
      return parsed;
    }
    if (parsing_ != entry) break;
    changed_.wait(lock);
  }
  // Not parsed yet: the reads are ahead of the thread, which goes on after this one.
  const auto later = std::find_if(order_.begin() + static_cast<std::ptrdiff_t>(next_), order_.end(),
                                  [entry](const Planned& p) { return p.Entry == entry; });
  if (later != order_.end()) {
    next_ = static_cast<std::size_t>(later - order_.begin()) + 1;
    ready_.clear();
    readyBytes_ = 0;
    changed_.notify_all();
  }
  return std::nullopt;
}

}  // namespace vantrel
