#pragma once
// Painting on its own thread: pages are laid out on the caller's thread while the
// pages before them are painted (and, for a PDF, compressed) in order on one painter.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vantrel {

class PaintPipeline {
 public:
  /// At most pending pages wait to be painted; the caller waits for room beyond that,
  /// so that a long job does not hold every page in memory.
  explicit PaintPipeline(std::size_t pending = 4);
  ~PaintPipeline();
  PaintPipeline(const PaintPipeline&) = delete;
  PaintPipeline& operator=(const PaintPipeline&) = delete;

  /// Runs work after everything queued before it. Once a work item has failed (thrown,
  /// or called Fail), later ones are dropped.
  void Queue(std::function<void()> work);
  /// Waits until every queued item has run.
  void Drain();
  /// The first failure's message; empty while none. Call after Drain.
  std::string Error();
  void Fail(const std::string& error);

 private:
  void Run(std::stop_token stop);

  std::size_t pending_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::deque<std::function<void()>> queue_;
  bool running_ = false;
  std::string error_;
  std::jthread worker_;
};

}  // namespace vantrel
