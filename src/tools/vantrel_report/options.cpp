#include "tools/vantrel_report/options.h"

#include <charconv>
#include <utility>

namespace vantrel::report_tool {

namespace {

// The whole text as a number from lo to hi.
bool WholeNumberIn(const std::string& text, int lo, int hi, int& out) {
  int n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < lo || n > hi) return false;
  out = n;
  return true;
}

// --watch makes its own --pdf per file and takes no other job; what it cannot honour
// is refused rather than silently ignored.
std::string WatchUsageError(const Options& o) {
  if (o.watch.empty())
    return o.pdfDir.empty() ? std::string() : "--pdf-dir is only used with --watch";
  if (o.definition.empty()) return "--watch needs --definition FILE";
  if (o.print && !o.pdfDir.empty()) return "--watch takes either --print or --pdf-dir, not both";
  if (!o.print && o.pdfDir.empty())
    return "--watch needs either --print [--printer NAME] or --pdf-dir DIR";
  const std::pair<bool, const char*> others[] = {{!o.dataFiles.empty(), "--data"},
                                                 {!o.pdf.empty(), "--pdf"},
                                                 {!o.png.empty(), "--png"},
                                                 {!o.csv.empty(), "--csv"},
                                                 {!o.summary.empty(), "--summary"},
                                                 {!o.summaryPdf.empty(), "--summary-pdf"},
                                                 {!o.verify.empty(), "--verify"},
                                                 {o.info, "--info"},
                                                 {o.list, "--list"},
                                                 {o.checkLayout, "--check-layout"},
                                                 {o.separate, "--separate"},
                                                 {o.listPrinters, "--list-printers"}};
  for (const auto& [given, name] : others)
    if (given) return std::string("--watch cannot be combined with ") + name;
  return {};
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  Options& o = result.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) -> bool {
      if (i + 1 >= args.size()) {
        result.error = a + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--list") {
      o.list = true;
    } else if (a == "--check-layout") {
      o.checkLayout = true;
    } else if (a == "--quiet") {
      o.quiet = true;
    } else if (a == "--allow-incomplete") {
      o.allowIncomplete = true;
    } else if (a == "--print") {
      o.print = true;
    } else if (a == "--printer") {
      if (!value(o.printer)) return result;
      if (o.printer.empty()) {
        result.error = "--printer needs a printer's name; leave it out for the default printer";
        return result;
      }
      o.print = true;
    } else if (a == "--separate") {
      o.separate = true;
    } else if (a == "--overwrite") {
      o.overwrite = true;
    } else if (a == "--list-printers") {
      o.listPrinters = true;
    } else if (a == "--verbose") {
      o.verbose = true;
    } else if (a == "--slots") {
      o.slots = true;
    } else if (a == "--attach-data") {
      o.attachData = true;
    } else if (a == "--pdfa") {
      o.pdfA = true;
    } else if (a == "--verify") {
      if (!value(o.verify)) return result;
    } else if (a == "--trust") {
      if (!value(o.trust)) return result;
    } else if (a == "--sign-key") {
      if (!value(o.signKey)) return result;
    } else if (a == "--sign-cert") {
      if (!value(o.signCert)) return result;
    } else if (a == "--sign-chain") {
      if (!value(o.signChain)) return result;
    } else if (a == "--sign-p12") {
      if (!value(o.signP12)) return result;
    } else if (a == "--watch") {
      if (!value(o.watch)) return result;
    } else if (a == "--pdf-dir") {
      if (!value(o.pdfDir)) return result;
    } else if (a == "--summary") {
      if (!value(o.summary)) return result;
    } else if (a == "--summary-pdf") {
      if (!value(o.summaryPdf)) return result;
    } else if (a == "--definition") {
      if (!value(o.definition)) return result;
    } else if (a == "--data") {
      if (!value(v)) return result;
      if (o.dataFiles.empty()) o.data = v;
      o.dataFiles.push_back(v);
    } else if (a == "--info") {
      o.info = true;
      if (!value(o.data)) return result;
    } else if (a == "--reports") {
      if (!value(v)) return result;
      o.reports = v;
    } else if (a == "--profile") {
      if (!value(v)) return result;
      o.profile = v;
    } else if (a == "--pdf") {
      if (!value(o.pdf)) return result;
    } else if (a == "--png") {
      if (!value(o.png)) return result;
    } else if (a == "--csv") {
      if (!value(o.csv)) return result;
    } else if (a == "--page-size") {
      if (!value(o.pageSize)) return result;
      if (o.pageSize != "A4" && o.pageSize != "A3" && o.pageSize != "Letter" &&
          o.pageSize != "Legal") {
        result.error = "unknown page size '" + o.pageSize + "' (A4, A3, Letter or Legal)";
        return result;
      }
    } else if (a == "--dpi") {
      if (!value(v)) return result;
      if (!WholeNumberIn(v, 10, 2400, o.dpi)) {
        result.error = "--dpi needs a whole number from 10 to 2400";
        return result;
      }
    } else if (a == "--jobs") {
      if (!value(v)) return result;
      if (!WholeNumberIn(v, 1, 64, o.jobs)) {
        result.error = "--jobs needs a whole number from 1 to 64";
        return result;
      }
    } else {
      result.error = "unknown argument '" + a + "'";
      return result;
    }
  }
  if (o.reports && o.profile) result.error = "--reports and --profile exclude each other";
  const bool onlyPdf = !o.pdf.empty() && o.png.empty() && o.csv.empty();
  if (o.dataFiles.size() > 1 && o.summary.empty() && o.summaryPdf.empty() && !o.print && !onlyPdf)
    result.error =
        "--data is given more than once; only --print, --pdf and --summary read several "
        "result files";
  if ((o.attachData || o.pdfA) && o.pdf.empty())
    result.error = std::string(o.attachData ? "--attach-data" : "--pdfa") +
                   " shapes the PDF of --pdf FILE; without --pdf it has nothing to do";
  if (o.pdfA && o.attachData)
    result.error =
        "--pdfa and --attach-data exclude each other: PDF/A-1 cannot hold embedded files";
  const bool signing = !o.signKey.empty() || !o.signCert.empty() || !o.signChain.empty();
  if (signing && !o.signP12.empty())
    result.error = "--sign-p12 and --sign-key/--sign-cert exclude each other";
  else if (signing && (o.signKey.empty() || o.signCert.empty()))
    result.error = "signing needs both --sign-key and --sign-cert (or --sign-p12)";
  else if ((signing || !o.signP12.empty()) && o.pdf.empty() && o.pdfDir.empty())
    result.error = "--sign-key, --sign-cert and --sign-p12 sign a PDF: give --pdf or --pdf-dir";
  if (!o.trust.empty() && o.verify.empty()) result.error = "--trust is used only with --verify";
  if (const std::string watch = WatchUsageError(o); !watch.empty()) result.error = watch;
  return result;
}

std::string UsageText() {
  return "usage: vantrel-report --definition FILE --list [--reports LIST]\n"
         "       vantrel-report --info DATAFILE [--definition FILE]\n"
         "       vantrel-report --definition FILE --data DATAFILE\n"
         "                      [--pdf FILE] [--png DIR [--dpi N]] [--csv DIR]\n"
         "                      [--reports LIST | --profile NAME] [--page-size "
         "A4|A3|Letter|Legal]\n"
         "                      [--slots] [--quiet] [--allow-incomplete]\n"
         "                      [--attach-data | --pdfa] [--jobs N]\n"
         "                      [--sign-key KEY.pem --sign-cert CERT.pem [--sign-chain "
         "CHAIN.pem] | --sign-p12 FILE]\n"
         "       vantrel-report --definition FILE --data DATAFILE... --print [--printer NAME]\n"
         "                      [--separate] [--overwrite] [--reports LIST | --profile NAME]\n"
         "       vantrel-report --list-printers\n"
         "       vantrel-report --help | -h | --version\n"
         "       vantrel-report --check-layout --definition FILE --data DATAFILE\n"
         "                      [--reports LIST | --profile NAME] [--page-size ...]\n"
         "       vantrel-report --verify CERT.pdf [--data DATAFILE] [--definition FILE]\n"
         "                      [--trust CA.pem]\n"
         "       vantrel-report --summary OUT.csv --definition FILE --data FILE|DIR ...\n"
         "                      [--summary-pdf OUT.pdf] [--reports LIST] [--page-size ...]\n"
         "       vantrel-report --watch DIR --definition FILE\n"
         "                      (--pdf-dir OUT | --print [--printer NAME])\n"
         "                      [--reports LIST | --profile NAME] [--page-size ...]\n"
         "\n"
         "LIST holds 1-based report numbers and ranges, such as 1,3,5..8.\n"
         "--slots draws the page's slot grid and the frame of every item.\n"
         "Every PDF records the program, the time, the digests (SHA-256) of the data and\n"
         "definition files and the overall status; --attach-data embeds both files,\n"
         "--pdfa writes PDF/A-1b; --verify compares a PDF's record with the files given\n"
         "(or with its attachments) and prints match or differs for each, checks the\n"
         "file's structure and its signature (--trust: the signer's chain up to CA.pem).\n"
         "--sign-key/--sign-cert or --sign-p12 sign the PDF; an encrypted key's\n"
         "passphrase is read from the file that VANTREL_SIGN_PASSPHRASE_FILE names.\n"
         "--watch produces every result file that lands in DIR (once it stops growing and\n"
         "its last test is whole) and moves it into DIR/done/, or with its reason into\n"
         "DIR/failed/; one line per file on standard output, until SIGTERM or SIGINT.\n"
         "Several watchers may share DIR: each file is claimed and produced by one.\n"
         "--summary writes the worst margin of every graphed data set with a limit, for\n"
         "each result file (--data may be repeated; a folder stands for its files), and\n"
         "a row per file with its status and smallest margin; --summary-pdf writes the\n"
         "same rows as report pages (with or without --summary).\n"
         "--pdf with several --data writes one PDF holding every result (--separate:\n"
         "--pdf names a folder, one PDF per result named after its APPNAME).\n"
         "--print sends the selected reports of every --data as one job (--separate: one\n"
         "job each) to the default printer, or the built-in \"Vantrel PDF\" printer when\n"
         "there is no print server; with AUTOPDF_TEMPDIR the PDF is then saved under\n"
         "APPNAME (an existing one replaced only with --overwrite). --verbose shows Qt's\n"
         "own warnings.\n"
         "Exit status: 0 done, 1 data file not loaded, 2 usage or definition error,\n"
         "3 output not written, 4 printer missing or refusing the job, 5 layout findings (one line "
         "each on standard output),\n"
         "6 a file differs from the certificate's record, or the PDF is damaged or its signature\n"
         "does not hold (--verify).\n";
}

Job ChosenJob(const Options& o) {
  if (o.listPrinters) return Job::kListPrinters;
  if (!o.watch.empty()) return Job::kWatch;
  if (o.print) return Job::kPrint;
  if (!o.verify.empty()) return Job::kVerify;
  if (!o.summary.empty() || !o.summaryPdf.empty()) return Job::kSummary;
  if (o.info) return Job::kInfo;
  if (o.list) return Job::kList;
  if (o.checkLayout) return Job::kCheckLayout;
  if (!o.pdf.empty() && (o.dataFiles.size() > 1 || o.separate)) return Job::kPdfResults;
  if (!o.pdf.empty() || !o.png.empty() || !o.csv.empty()) return Job::kOutput;
  return Job::kNone;
}

}  // namespace vantrel::report_tool
