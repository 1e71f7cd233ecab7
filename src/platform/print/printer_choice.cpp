#include "platform/cups_printers.h"
#include "platform/print/builtin_pdf_printer.h"
#include "platform/print/cups_spooler.h"
#include "platform/print/spooler.h"
#include "platform/temp_folder.h"

namespace vantrel {

PrinterChoice OpenPrinter(const std::string& name, const std::string& builtInFolder,
                          Prompter* ask) {
  PrinterChoice choice;
  const std::string queue = name.empty() ? CupsDefaultPrinter() : name;
  if (queue.empty() || queue == kBuiltInPdfPrinter) {
    choice.Printer = std::make_unique<BuiltInPdfPrinter>(builtInFolder, PaperSize{}, ask);
    return choice;
  }
  // Qt would print to a file named after an unknown printer without a word.
  if (!CupsHasPrinter(queue)) {
    choice.Error = "there is no printer named '" + queue + "' (lpstat -p lists the printers)";
    return choice;
  }
  const TempFolder temp = FindTempFolder();
  if (!temp.Error.empty()) {
    choice.Error = temp.Error;
    return choice;
  }
  choice.Printer = std::make_unique<CupsSpooler>(queue, temp.Path);
  return choice;
}

std::vector<PrinterListEntry> AvailablePrinters() {
  std::vector<PrinterListEntry> list;
  bool anyDefault = false;
  for (const PrinterEntry& p : CupsPrinters()) {
    list.push_back({p.Name, p.IsDefault});
    anyDefault = anyDefault || p.IsDefault;
  }
  if (!anyDefault) list.push_back({kBuiltInPdfPrinter, true});
  return list;
}

}  // namespace vantrel
