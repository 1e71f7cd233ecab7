#include "platform/cups_printers.h"

#include <cups/cups.h>

namespace vantrel {

namespace {

// Owns what cupsGetDests2 hands out.
class Dests {
 public:
  Dests() { count_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_); }
  ~Dests() { cupsFreeDests(count_, dests_); }
  Dests(const Dests&) = delete;
  Dests& operator=(const Dests&) = delete;
  int Count() const { return count_; }
  cups_dest_t* Items() const { return dests_; }
  cups_dest_t* Find(const std::string& name) const {
    return cupsGetDest(name.c_str(), nullptr, count_, dests_);
  }

 private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

std::string NameOf(const cups_dest_t& d) {
  std::string name = d.name;
  if (d.instance != nullptr) name += std::string("/") + d.instance;
  return name;
}

}  // namespace

std::vector<PrinterEntry> CupsPrinters() {
  const Dests dests;
  std::vector<PrinterEntry> list;
  for (int i = 0; i < dests.Count(); ++i)
    list.push_back({NameOf(dests.Items()[i]), dests.Items()[i].is_default != 0});
  return list;
}

std::vector<PrinterEntry> CupsPrinters(std::string& error) {
  error.clear();
  std::vector<PrinterEntry> list = CupsPrinters();
  const ipp_status_t status = cupsLastError();
  if (list.empty() && status > IPP_STATUS_OK_EVENTS_COMPLETE &&
      status != IPP_STATUS_ERROR_NOT_FOUND)
    error = cupsLastErrorString() != nullptr ? cupsLastErrorString() : "no print server";
  return list;
}

std::string CupsDefaultPrinter() {
  const Dests dests;
  for (int i = 0; i < dests.Count(); ++i)
    if (dests.Items()[i].is_default) return NameOf(dests.Items()[i]);
  return "";
}

bool CupsHasPrinter(const std::string& name) {
  if (name.empty()) return false;
  const Dests dests;
  return dests.Find(name) != nullptr;
}

std::string CupsSetDefaultPrinter(const std::string& name) {
  const Dests dests;
  if (dests.Find(name) == nullptr) return "there is no printer named '" + name + "'";
  for (int i = 0; i < dests.Count(); ++i) dests.Items()[i].is_default = 0;
  dests.Find(name)->is_default = 1;
  if (cupsSetDests2(CUPS_HTTP_DEFAULT, dests.Count(), dests.Items()) != 0)
    return "the default printer could not be saved: " + std::string(cupsLastErrorString());
  return "";
}

int CupsActiveJobs(const std::string& name) {
  if (!CupsHasPrinter(name)) return -1;
  cups_job_t* jobs = nullptr;
  const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
  cupsFreeJobs(count > 0 ? count : 0, jobs);
  return count < 0 ? -1 : count;
}

namespace {

// A stopped (disabled) queue takes jobs and prints none of them until it is enabled.
std::string StoppedQueue(const std::string& name) {
  const Dests dests;
  const cups_dest_t* dest = dests.Find(name);
  if (dest == nullptr) return "";
  const char* state = cupsGetOption("printer-state", dest->num_options, dest->options);
  if (state == nullptr || std::string(state) != std::to_string(IPP_PSTATE_STOPPED)) return "";
  const char* message = cupsGetOption("printer-state-message", dest->num_options, dest->options);
  return "the printer '" + name + "' is stopped" +
         (message != nullptr && *message != '\0' ? " (" + std::string(message) + ")" : "") +
         ": it took the job, but prints nothing until it is enabled again";
}

}  // namespace

int CupsSubmitFile(const std::string& name, const std::string& path, const std::string& title,
                   std::string& error) {
  const int id =
      cupsPrintFile2(CUPS_HTTP_DEFAULT, name.c_str(), path.c_str(), title.c_str(), 0, nullptr);
  if (id == 0) {
    const char* reason = cupsLastErrorString();
    const std::string why = reason != nullptr && *reason != '\0' ? reason : "no reason given";
    // No answer at all is libcups' internal error: the server is gone, not the queue.
    if (cupsLastError() == IPP_STATUS_ERROR_INTERNAL ||
        cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
      error = "the print server cannot be reached (" + why + "); the job for '" + name +
              "' was not sent";
    else
      error = "the printer '" + name + "' refused the job: " + why;
    return 0;
  }
  error = StoppedQueue(name);
  return id;
}

}  // namespace vantrel
