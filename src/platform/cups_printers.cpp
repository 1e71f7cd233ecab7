#include "platform/cups_printers.h"

#include <cups/cups.h>

#include <cstdlib>

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

int CupsSubmitFile(const std::string& name, const std::string& path, const std::string& title,
                   std::string& error) {
  const int id =
      cupsPrintFile2(CUPS_HTTP_DEFAULT, name.c_str(), path.c_str(), title.c_str(), 0, nullptr);
  if (id == 0) {
    const char* why = cupsLastErrorString();
    error = "the printer '" + name +
            "' refused the job: " + (why != nullptr && *why != '\0' ? why : "no reason given");
  }
  return id;
}

namespace {

QueueMedia MediaOf(const cups_size_t& size) {
  // libcups gives hundredths of a millimetre.
  return {.WidthMm = size.width / 100.0,
          .HeightMm = size.length / 100.0,
          .LeftMm = size.left / 100.0,
          .TopMm = size.top / 100.0,
          .RightMm = size.right / 100.0,
          .BottomMm = size.bottom / 100.0};
}

}  // namespace

std::optional<QueueMedia> CupsQueueMedia(const std::string& name) {
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
