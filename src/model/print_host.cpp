#include "model/print_host.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vantrel {

void PrintHost::ProcessEvents(int maxMs) {
  if (maxMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(maxMs));
}

double PrintHost::Seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Wait(PrintHost& host, double seconds) {
  const double end = host.Seconds() + seconds;
  for (double now = host.Seconds(); now < end; now = host.Seconds()) {
    // Short slices keep the window responsive without spinning a core.
    host.ProcessEvents(std::clamp(static_cast<int>((end - now) * 1000), 1, 20));
  }
}

}  // namespace vantrel
