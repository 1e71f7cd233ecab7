#include "render/paint_pipeline.h"

#include <exception>
#include <utility>

namespace vantrel {

PaintPipeline::PaintPipeline(std::size_t pending)
    : pending_(pending == 0 ? 1 : pending),
      worker_([this](std::stop_token stop) { Run(std::move(stop)); }) {}

PaintPipeline::~PaintPipeline() {
  Drain();
  worker_.request_stop();
  changed_.notify_all();
}

void PaintPipeline::Queue(std::function<void()> work) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.size() < pending_; });
  queue_.push_back(std::move(work));
  changed_.notify_all();
}

void PaintPipeline::Drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.empty() && !running_; });
}

std::string PaintPipeline::Error() {
  std::lock_guard lock(mutex_);
  return error_;
}

void PaintPipeline::Fail(const std::string& error) {
  std::lock_guard lock(mutex_);
  if (error_.empty()) error_ = error.empty() ? "painting failed" : error;
}

void PaintPipeline::Run(std::stop_token stop) {
  for (;;) {
    std::function<void()> work;
    {
      std::unique_lock lock(mutex_);
      if (!changed_.wait(lock, stop, [this] { return !queue_.empty(); })) return;
      work = std::move(queue_.front());
      queue_.pop_front();
      running_ = error_.empty();
      changed_.notify_all();
      if (!running_) continue;  // a page after a failure is not painted
    }
    std::string failure;
    try {
      work();
    } catch (const std::exception& e) {
      failure = e.what();
    } catch (...) {
      failure = "unknown fault";
    }
    if (!failure.empty()) Fail(failure);
    std::lock_guard lock(mutex_);
    running_ = false;
    changed_.notify_all();
  }
}

}  // namespace vantrel
