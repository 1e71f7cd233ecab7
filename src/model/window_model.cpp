#include "model/window_model.h"

#include <utility>

namespace vantrel {

void WindowModel::SetRunState(RunState state, std::string status) {
  const bool changed = state != run_;
  const bool wasPrinting = PrintingFlag();
  run_ = state;
  const bool waiting = state == RunState::WaitingForQueue || state == RunState::WaitingForFile;
  if (changed) waited_ = waiting ? 0 : -1;
  // Not through SetStatusText: the moved temporary there set off a false
  // -Wmaybe-uninitialized of GCC 12 at -O2.
  if (status != status_) {
    status_ = std::move(status);
    Notify(ModelChange::Status);
  }
  if (PrintingFlag() != wasPrinting) Notify(ModelChange::Printing);
  if (changed) Notify(ModelChange::Buttons);
}

}  // namespace vantrel
