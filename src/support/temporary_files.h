#pragma once
// Files that must not outlive the process, even when a signal ends it. Whoever makes
// such a file registers it; a signal handler removes whatever is registered.

#include <string>

namespace vantrel {

/// mkstemps of pattern (XXXXXX followed by suffixLength characters) with the new file
/// registered before any of SIGTERM, SIGINT and SIGHUP can strike: a signal never
/// finds the file made and not yet known. The descriptor, or -1 with errno set.
int MakeTemporaryFile(std::string& pattern, int suffixLength = 0);

/// A file "<folder>/<prefix><pid>-XXXXXX<suffix>", made with mode less the umask and
/// registered as MakeTemporaryFile's are. It is locked (flock) for as long as the
/// descriptor stays open, so that RemoveStaleFiles tells it from a dead run's. The
/// descriptor (read and write), or -1 with errno set; path is set on success only.
int MakeOwnedFile(const std::string& folder, const std::string& prefix, const std::string& suffix,
                  std::string& path, unsigned mode = 0666);

/// Removes what MakeOwnedFile made in folder with prefix and suffix for a run that is
/// over: nobody holds its lock, and its pid is gone or it is older than a minute (the
/// pid was taken again, as in a restarted container). Other names are never touched.
/// With lockAlone, a free lock is enough: for a folder that no other run writes into
/// now, where a dead run's pid may still be seen (a zombie nobody reaps, another host).
void RemoveStaleFiles(const std::string& folder, const std::string& prefix,
                      const std::string& suffix, bool lockAlone = false);

/// False when every slot is taken or the path is too long; the file is then only
/// removed by its owner.
bool RegisterTemporaryFile(const std::string& path);
void ForgetTemporaryFile(const std::string& path);
/// Unlinks every registered file. Async-signal-safe.
void RemoveTemporaryFilesNow();
/// For a process about to die: no file is made from now on (a thread that tries waits
/// for the end), and once the files other threads are making have their names, every
/// registered file is unlinked. Async-signal-safe.
void RemoveTemporaryFilesAtEnd();

}  // namespace vantrel
