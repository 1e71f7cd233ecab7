#pragma once
// A process ended by SIGTERM, SIGINT or SIGHUP leaves no temporary file behind.

namespace vantrel {

/// From now on these signals remove every registered temporary file
/// (support/temporary_files.h) and then end the process as the signal would have.
void RemoveTemporaryFilesOnSignals();

}  // namespace vantrel
