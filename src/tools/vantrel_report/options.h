#pragma once
// Command-line options of vantrel-report.

#include <optional>
#include <string>
#include <vector>

namespace vantrel::report_tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitNotLoaded = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitOutput = 3;
inline constexpr int kExitPrinter = 4;
inline constexpr int kExitLayoutFindings = 5;
inline constexpr int kExitDiffers = 6;

struct Options {
  std::string Definition;              // --definition FILE
  std::string Data;                    // the first --data FILE, or the argument of --info
  std::vector<std::string> DataFiles;  // every --data, in order
  bool List = false;                   // --list
  bool Info = false;                   // --info DATAFILE
  bool CheckLayout = false;            // --check-layout
  std::optional<std::string> Reports;  // --reports LIST (1-based, ranges)
  std::optional<std::string> Profile;  // --profile NAME
  std::string Pdf;                     // --pdf FILE
  std::string Png;                     // --png DIR
  std::string Csv;                     // --csv DIR
  std::string PageSize = "A4";         // --page-size A4|A3|Letter|Legal
  int Dpi = 150;                       // --dpi N
  int Jobs = 0;                        // --jobs N: threads for --pdf/--png/--csv; 0: one per core
  bool Quiet = false;                  // --quiet
  bool AllowIncomplete = false;        // --allow-incomplete: tests lacking data do not fail the run
  bool Slots = false;                  // --slots: the slot grid and item frames drawn
  bool AttachData = false;             // --attach-data: the input files embedded in the PDF
  bool PdfA = false;                   // --pdfa: PDF/A-1b
  std::string Verify;                  // --verify CERT.pdf
  std::string Trust;                   // --trust CA.pem: the CAs a signer must chain to
  std::string SignKey;                 // --sign-key KEY.pem
  std::string SignCert;                // --sign-cert CERT.pem
  std::string SignChain;               // --sign-chain CHAIN.pem
  std::string SignP12;                 // --sign-p12 FILE
  std::string Watch;                   // --watch DIR
  std::string PdfDir;                  // --pdf-dir DIR: one PDF per result file, for --watch
  std::string Summary;                 // --summary OUT.csv
  std::string SummaryPdf;              // --summary-pdf OUT.pdf
  bool Print = false;                  // --print: to the default printer or --printer
  std::string Printer;                 // --printer NAME
  bool Separate = false;               // --separate: one job per --data
  bool Overwrite = false;              // --overwrite: an existing PDF of a print run is replaced
  bool ListPrinters = false;           // --list-printers
  bool Verbose = false;                // --verbose: Qt's own warnings too
  bool Help = false;
  bool Version = false;
};

/// Empty error means success.
struct ParseResult {
  Options Parsed;
  std::string Error;
};

ParseResult ParseOptions(const std::vector<std::string>& args);
std::string UsageText();

/// The one job a command line asks for; kOutput is --pdf, --png or --csv over one result.
enum class Job {
  kNone,
  kListPrinters,
  kWatch,
  kPrint,
  kVerify,
  kSummary,
  kInfo,
  kList,
  kCheckLayout,
  kPdfResults,
  kOutput,
};
Job ChosenJob(const Options& options);

}  // namespace vantrel::report_tool
