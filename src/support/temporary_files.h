#pragma once
// Files that must not outlive the process, even when a signal ends it. Whoever makes
// such a file registers it; a signal handler removes whatever is registered.

#include <string>

namespace vantrel {

/// mkstemps of pattern (XXXXXX followed by suffixLength characters) with the new file
/// registered before any of SIGTERM, SIGINT and SIGHUP can strike: a signal never
/// finds the file made and not yet known. The descriptor, or -1 with errno set.
int MakeTemporaryFile(std::string& pattern, int suffixLength = 0);

/// False when every slot is taken or the path is too long; the file is then only
/// removed by its owner.
bool RegisterTemporaryFile(const std::string& path);
void ForgetTemporaryFile(const std::string& path);
/// Unlinks every registered file. Async-signal-safe.
void RemoveTemporaryFilesNow();

}  // namespace vantrel
