#include "platform/signal_cleanup.h"

#include <csignal>

#include "support/temporary_files.h"

namespace vantrel {

namespace {

volatile std::sig_atomic_t* deferTo = nullptr;

void OnSignal(int signal) {
  if (deferTo != nullptr && *deferTo == 0) {
    *deferTo = 1;
    return;
  }
  RemoveTemporaryFilesAtEnd();
  // The caller sees the signal as the cause of death, as without us.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

void DeferEndingSignals(volatile std::sig_atomic_t* stop) {
  deferTo = stop;
  RemoveTemporaryFilesOnSignals();
}

void RemoveTemporaryFilesOnSignals() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    sigaddset(&action.sa_mask, signal);
  }
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace vantrel
