#include "platform/cups_printers.h"

#include <cups/cups.h>

#include <cstdlib>
#include <iterator>
#include <string_view>

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

// A window program has no terminal to type a password on.
const char* NoPassword(const char*, http_t*, const char*, const char*, void*) { return nullptr; }

class NoPasswordPrompt {
 public:
  NoPasswordPrompt() { cupsSetPasswordCB2(NoPassword, nullptr); }
  ~NoPasswordPrompt() { cupsSetPasswordCB2(nullptr, nullptr); }
  NoPasswordPrompt(const NoPasswordPrompt&) = delete;
  NoPasswordPrompt& operator=(const NoPasswordPrompt&) = delete;
};

std::string LastCupsError() {
  const char* why = cupsLastErrorString();
  return why != nullptr && *why != '\0' ? why : "no reason given";
}

std::string BaseName(const std::string& queue) { return queue.substr(0, queue.find('/')); }

// CUPS-Set-Default, which the server grants to its administrators only.
std::string SetServerDefault(const std::string& name) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                   "/printers/%s", name.c_str());
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_SET_DEFAULT);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  const NoPasswordPrompt noPrompt;
  ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/admin/"));
  return cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE ? "" : LastCupsError();
}

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

std::vector<PrinterEntry> CupsLocalQueues(std::string& error) {
  error.clear();
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
  static const char* const kWanted[] = {"printer-name", "printer-type"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kWanted)), nullptr, kWanted);
  ipp_t* response = nullptr;
  {
    const NoPasswordPrompt noPrompt;
    response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  }
  std::vector<PrinterEntry> list;
  if (response == nullptr || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
    // A server without any queue answers "not found".
    if (cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND) error = LastCupsError();
    ippDelete(response);
    return list;
  }
  const std::string current = BaseName(CupsDefaultPrinter());
  std::string name;
  int type = 0;
  const auto add = [&] {
    if (!name.empty() && (type & (CUPS_PRINTER_REMOTE | CUPS_PRINTER_DISCOVERED)) == 0)
      list.push_back({name, name == current});
    name.clear();
    type = 0;
  };
  for (ipp_attribute_t* a = ippFirstAttribute(response); a != nullptr;
       a = ippNextAttribute(response)) {
    const char* attribute = ippGetName(a);
    if (attribute == nullptr) {
      add();  // the end of one printer's group
    } else if (std::string_view(attribute) == "printer-name" && ippGetValueTag(a) == IPP_TAG_NAME) {
      name = ippGetString(a, 0, nullptr);
    } else if (std::string_view(attribute) == "printer-type" && ippGetValueTag(a) == IPP_TAG_ENUM) {
      type = ippGetInteger(a, 0);
    }
  }
  add();
  ippDelete(response);
  return list;
}

std::string CupsServerDefault() {
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
  std::string name;
  if (ipp_attribute_t* a = ippFindAttribute(response, "printer-name", IPP_TAG_NAME))
    name = ippGetString(a, 0, nullptr);
  ippDelete(response);
  return name;
}

DefaultChange CupsSetDefault(const std::string& name) {
  DefaultChange change;
  if (!CupsHasPrinter(name)) {
    change.Error = "there is no printer named '" + name + "'";
    return change;
  }
  if (SetServerDefault(name).empty()) {
    change.Scope = DefaultScope::Everyone;
    // A default of the user's own would still win over the server's.
    if (CupsDefaultPrinter() != name) change.Error = CupsSetDefaultPrinter(name);
    return change;
  }
  change.Scope = DefaultScope::User;
  change.Error = CupsSetDefaultPrinter(name);
  return change;
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

namespace {

PaperSize MediaOf(const cups_size_t& size) {
  // libcups gives hundredths of a millimetre.
  return {.WidthMm = size.width / 100.0,
          .HeightMm = size.length / 100.0,
          .LeftMm = size.left / 100.0,
          .TopMm = size.top / 100.0,
          .RightMm = size.right / 100.0,
          .BottomMm = size.bottom / 100.0};
}

}  // namespace

std::optional<PaperSize> CupsQueueMedia(const std::string& name) {
  const Dests dests;
  cups_dest_t* dest = dests.Find(name);
  if (dest == nullptr) return std::nullopt;
  const char* media = cupsGetOption("media", dest->num_options, dest->options);
  // Copied at once: libcups keeps a size it made up from a name in a buffer that its
  // next lookup overwrites.
  std::optional<pwg_media_t> named;
  if (media != nullptr) {
    const pwg_media_t* found = pwgMediaForPWG(media);
    if (found == nullptr) found = pwgMediaForLegacy(media);
    if (found == nullptr) found = pwgMediaForPPD(media);
    if (found != nullptr) named = *found;
  }
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
  cups_size_t size{};
  bool listed = false;
  if (info != nullptr) {
    listed = media != nullptr ? cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, media,
                                                       CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0
                              : cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info,
                                                        CUPS_MEDIA_FLAGS_DEFAULT, &size) != 0;
    cupsFreeDestInfo(info);
  }
  // The printer answers a size it lacks with the nearest one it has: that one's margins
  // are no use, and the paper is still the one the queue was set up with.
  constexpr int kSameSize = 100;  // 1 mm
  if (named && named->width > 0 && named->length > 0) {
    if (!listed || std::abs(size.width - named->width) > kSameSize ||
        std::abs(size.length - named->length) > kSameSize) {
      size = {};
      size.width = named->width;
      size.length = named->length;
    }
    return MediaOf(size);
  }
  if (listed && size.width > 0 && size.length > 0) return MediaOf(size);
  return std::nullopt;
}

}  // namespace vantrel
