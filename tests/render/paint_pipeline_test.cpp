#include "render/paint_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vantrel {
namespace {

TEST(PaintPipeline, RunsWorkInOrderAndDrainsBeforeTheResultIsRead) {
  std::vector<int> done;  // touched by the worker only, read after Drain
  PaintPipeline pipe(2);
  for (int i = 0; i < 50; ++i) {
    pipe.Queue([&done, i] {
      if (i % 7 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      done.push_back(i);
    });
  }
  pipe.Drain();
  ASSERT_EQ(done.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(done[static_cast<std::size_t>(i)], i);
  EXPECT_EQ(pipe.Error(), "");
}

// A page after a fault is not painted, and the first fault is the one reported.
TEST(PaintPipeline, AFaultDropsTheWorkAfterIt) {
  std::atomic<int> ran{0};
  PaintPipeline pipe;
  pipe.Queue([&] { ++ran; });
  pipe.Queue([] { throw std::runtime_error("disk full"); });
  pipe.Queue([&] { ++ran; });
  pipe.Queue([&pipe] { pipe.Fail("second"); });
  pipe.Drain();
  EXPECT_EQ(ran.load(), 1);
  EXPECT_EQ(pipe.Error(), "disk full");

  PaintPipeline failing;
  failing.Queue([&failing] { failing.Fail(""); });
  failing.Drain();
  EXPECT_FALSE(failing.Error().empty());  // a fault without words is still a fault
}

// The caller waits for room instead of piling up pages; the queue never holds more.
TEST(PaintPipeline, HoldsAtMostThePendingPages) {
  std::atomic<bool> release{false};
  std::atomic<int> queued{0};
  PaintPipeline pipe(2);
  std::thread producer([&] {
    for (int i = 0; i < 6; ++i) {
      pipe.Queue([&] {
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      });
      ++queued;
    }
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  // One running, two waiting: the fourth Queue call is still blocked.
  EXPECT_LE(queued.load(), 3);
  release = true;
  producer.join();
  pipe.Drain();
  EXPECT_EQ(queued.load(), 6);
}

}  // namespace
}  // namespace vantrel
