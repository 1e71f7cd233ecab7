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
  std::string definition;              // --definition FILE
  std::string data;                    // the first --data FILE, or the argument of --info
  std::vector<std::string> dataFiles;  // every --data, in order
  bool list = false;                   // --list
  bool info = false;                   // --info DATAFILE
  bool checkLayout = false;            // --check-layout
  std::optional<std::string> reports;  // --reports LIST (1-based, ranges)
  std::optional<std::string> profile;  // --profile NAME
  std::string pdf;                     // --pdf FILE
  std::string png;                     // --png DIR
  std::string csv;                     // --csv DIR
  std::string pageSize = "A4";         // --page-size A4|A3|Letter|Legal
  int dpi = 150;                       // --dpi N
  int jobs = 0;                        // --jobs N: threads for --pdf/--png/--csv; 0: one per core
  bool quiet = false;                  // --quiet
  bool allowIncomplete = false;        // --allow-incomplete: tests lacking data do not fail the run
  bool slots = false;                  // --slots: the slot grid and item frames drawn
  bool attachData = false;             // --attach-data: the input files embedded in the PDF
  bool pdfA = false;                   // --pdfa: PDF/A-1b
  std::string verify;                  // --verify CERT.pdf
  std::string trust;                   // --trust CA.pem: the CAs a signer must chain to
  std::string signKey;                 // --sign-key KEY.pem
  std::string signCert;                // --sign-cert CERT.pem
  std::string signChain;               // --sign-chain CHAIN.pem
  std::string signP12;                 // --sign-p12 FILE
  std::string watch;                   // --watch DIR
  std::string pdfDir;                  // --pdf-dir DIR: one PDF per result file, for --watch
  std::string summary;                 // --summary OUT.csv
  std::string summaryPdf;              // --summary-pdf OUT.pdf
  bool print = false;                  // --print: to the default printer or --printer
  std::string printer;                 // --printer NAME
  bool separate = false;               // --separate: one job per --data
  bool overwrite = false;              // --overwrite: an existing PDF of a print run is replaced
  bool listPrinters = false;           // --list-printers
  bool verbose = false;                // --verbose: Qt's own warnings too
  bool help = false;
  bool version = false;
};

/// Empty error means success.
struct ParseResult {
  Options options;
  std::string error;
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
