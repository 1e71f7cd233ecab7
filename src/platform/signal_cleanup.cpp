#include "platform/signal_cleanup.h"

#include <csignal>

#include "support/temporary_files.h"

namespace vantrel {

namespace {

void OnSignal(int signal) {
  RemoveTemporaryFilesNow();
  // The caller sees the signal as the cause of death, as without us.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

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
