#pragma once
// A process ended by SIGTERM, SIGINT or SIGHUP leaves no temporary file behind.

#include <csignal>

namespace vantrel {

/// From now on these signals remove every registered temporary file
/// (support/temporary_files.h) and then end the process as the signal would have.
void RemoveTemporaryFilesOnSignals();

/// From now on the first of these signals only sets *stop, so that a long run can end
/// after the work in hand; a second one ends the process as above.
void DeferEndingSignals(volatile std::sig_atomic_t* stop);

}  // namespace vantrel
