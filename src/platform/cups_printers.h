#pragma once
// The print server's printers through libcups: the list, the user's default, and how
// many jobs a queue still holds. No server is an answer, never a wait.

#include <optional>
#include <string>
#include <vector>

#include "support/paper_size.h"

namespace vantrel {

struct PrinterEntry {
  std::string Name;
  bool IsDefault = false;
};

/// The server's queues (and the user's lpoptions instances), in the server's order.
/// Empty when there is no server or it has no queue.
std::vector<PrinterEntry> CupsPrinters();
/// The same, with error set when the list could not be read at all (no server), so a
/// server without queues is told apart from a missing one.
std::vector<PrinterEntry> CupsPrinters(std::string& error);

/// The user's default queue, or "" when there is none (or no server).
std::string CupsDefaultPrinter();

/// True when the server knows a queue of that name.
bool CupsHasPrinter(const std::string& name);

/// The server's own queues by name, in the server's order: no instances, no printers
/// of other servers. error is set when the server could not be asked.
std::vector<PrinterEntry> CupsLocalQueues(std::string& error);

/// The server's own default queue, whatever the user's options say; "" when none.
std::string CupsServerDefault();

/// Who a new default printer is for.
enum class DefaultScope {
  Everyone,  // the server's default
  User,      // only this user's (~/.cups/lpoptions)
};
struct DefaultChange {
  std::string Error;  // "" when set
  DefaultScope Scope = DefaultScope::User;
};
/// Makes name the server's default where this user may, else the user's own; never
/// asks for a password.
DefaultChange CupsSetDefault(const std::string& name);

/// Makes name the user's default (~/.cups/lpoptions, or the system's for root).
/// "" on success, else why not.
std::string CupsSetDefaultPrinter(const std::string& name);

/// Pending, held and processing jobs of the queue; -1 when the queue or the server is
/// missing.
int CupsActiveJobs(const std::string& name);

/// The paper the queue prints on by default (its "media" option, else the printer's
/// media-default), with the printer's margins for it; empty when the queue or the
/// server is missing or names no size.
std::optional<PaperSize> CupsQueueMedia(const std::string& name);

/// Sends a file to the queue as one job titled title. The job id, or 0 with error set
/// to the server's reason (or that the server cannot be reached). A stopped queue
/// takes the job: its id, with error saying that nothing will print until it is enabled.
int CupsSubmitFile(const std::string& name, const std::string& path, const std::string& title,
                   std::string& error);

}  // namespace vantrel
