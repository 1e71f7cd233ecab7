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
  if (o.Watch.empty())
    return o.PdfDir.empty() ? std::string() : "--pdf-dir is only used with --watch";
  if (o.Definition.empty()) return "--watch needs --definition FILE";
  if (o.Print && !o.PdfDir.empty()) return "--watch takes either --print or --pdf-dir, not both";
  if (!o.Print && o.PdfDir.empty())
    return "--watch needs either --print [--printer NAME] or --pdf-dir DIR";
  const std::pair<bool, const char*> others[] = {{!o.DataFiles.empty(), "--data"},
                                                 {!o.Pdf.empty(), "--pdf"},
                                                 {!o.Png.empty(), "--png"},
                                                 {!o.Csv.empty(), "--csv"},
                                                 {!o.Summary.empty(), "--summary"},
                                                 {!o.SummaryPdf.empty(), "--summary-pdf"},
                                                 {!o.Verify.empty(), "--verify"},
                                                 {o.Info, "--info"},
                                                 {o.List, "--list"},
                                                 {o.CheckLayout, "--check-layout"},
                                                 {o.Separate, "--separate"},
                                                 {o.ListPrinters, "--list-printers"}};
  for (const auto& [given, name] : others)
    if (given) return std::string("--watch cannot be combined with ") + name;
  return {};
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  Options& o = result.Parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) -> bool {
      if (i + 1 >= args.size()) {
        result.Error = a + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--version") {
      o.Version = true;
    } else if (a == "--list") {
      o.List = true;
    } else if (a == "--check-layout") {
      o.CheckLayout = true;
    } else if (a == "--quiet") {
      o.Quiet = true;
    } else if (a == "--allow-incomplete") {
      o.AllowIncomplete = true;
    } else if (a == "--print") {
      o.Print = true;
    } else if (a == "--printer") {
      if (!value(o.Printer)) return result;
      if (o.Printer.empty()) {
        result.Error = "--printer needs a printer's name; leave it out for the default printer";
        return result;
      }
      o.Print = true;
    } else if (a == "--separate") {
      o.Separate = true;
    } else if (a == "--overwrite") {
      o.Overwrite = true;
    } else if (a == "--list-printers") {
      o.ListPrinters = true;
    } else if (a == "--verbose") {
      o.Verbose = true;
    } else if (a == "--slots") {
      o.Slots = true;
    } else if (a == "--attach-data") {
      o.AttachData = true;
    } else if (a == "--pdfa") {
      o.PdfA = true;
    } else if (a == "--verify") {
      if (!value(o.Verify)) return result;
    } else if (a == "--trust") {
      if (!value(o.Trust)) return result;
    } else if (a == "--sign-key") {
      if (!value(o.SignKey)) return result;
    } else if (a == "--sign-cert") {
      if (!value(o.SignCert)) return result;
    } else if (a == "--sign-chain") {
      if (!value(o.SignChain)) return result;
    } else if (a == "--sign-p12") {
      if (!value(o.SignP12)) return result;
    } else if (a == "--watch") {
      if (!value(o.Watch)) return result;
    } else if (a == "--pdf-dir") {
      if (!value(o.PdfDir)) return result;
    } else if (a == "--summary") {
      if (!value(o.Summary)) return result;
    } else if (a == "--summary-pdf") {
      if (!value(o.SummaryPdf)) return result;
    } else if (a == "--definition") {
      if (!value(o.Definition)) return result;
    } else if (a == "--data") {
      if (!value(v)) return result;
      if (o.DataFiles.empty()) o.Data = v;
      o.DataFiles.push_back(v);
    } else if (a == "--info") {
      o.Info = true;
      if (!value(o.Data)) return result;
    } else if (a == "--reports") {
      if (!value(v)) return result;
      o.Reports = v;
    } else if (a == "--profile") {
      if (!value(v)) return result;
      o.Profile = v;
    } else if (a == "--pdf") {
      if (!value(o.Pdf)) return result;
    } else if (a == "--png") {
      if (!value(o.Png)) return result;
    } else if (a == "--csv") {
      if (!value(o.Csv)) return result;
    } else if (a == "--page-size") {
      if (!value(o.PageSize)) return result;
      if (o.PageSize != "A4" && o.PageSize != "A3" && o.PageSize != "Letter" &&
          o.PageSize != "Legal") {
        result.Error = "unknown page size '" + o.PageSize + "' (A4, A3, Letter or Legal)";
        return result;
      }
    } else if (a == "--dpi") {
      if (!value(v)) return result;
      if (!WholeNumberIn(v, 10, 2400, o.Dpi)) {
        result.Error = "--dpi needs a whole number from 10 to 2400";
        return result;
      }
    } else if (a == "--jobs") {
      if (!value(v)) return result;
      if (!WholeNumberIn(v, 1, 64, o.Jobs)) {
        result.Error = "--jobs needs a whole number from 1 to 64";
        return result;
      }
    } else {
      result.Error = "unknown argument '" + a + "'";
      return result;
    }
  }
  if (o.Reports && o.Profile) result.Error = "--reports and --profile exclude each other";
  const bool onlyPdf = !o.Pdf.empty() && o.Png.empty() && o.Csv.empty();
  if (o.DataFiles.size() > 1 && o.Summary.empty() && o.SummaryPdf.empty() && !o.Print && !onlyPdf)
    result.Error =
        "--data is given more than once; only --print, --pdf and --summary read several "
        "result files";
  if ((o.AttachData || o.PdfA) && o.Pdf.empty())
    result.Error = std::string(o.AttachData ? "--attach-data" : "--pdfa") +
                   " shapes the PDF of --pdf FILE; without --pdf it has nothing to do";
  if (o.PdfA && o.AttachData)
    result.Error =
        "--pdfa and --attach-data exclude each other: PDF/A-1 cannot hold embedded files";
  const bool signing = !o.SignKey.empty() || !o.SignCert.empty() || !o.SignChain.empty();
  if (signing && !o.SignP12.empty())
    result.Error = "--sign-p12 and --sign-key/--sign-cert exclude each other";
  else if (signing && (o.SignKey.empty() || o.SignCert.empty()))
    result.Error = "signing needs both --sign-key and --sign-cert (or --sign-p12)";
  else if ((signing || !o.SignP12.empty()) && o.Pdf.empty() && o.PdfDir.empty())
    result.Error = "--sign-key, --sign-cert and --sign-p12 sign a PDF: give --pdf or --pdf-dir";
  if (!o.Trust.empty() && o.Verify.empty()) result.Error = "--trust is used only with --verify";
  if (const std::string watch = WatchUsageError(o); !watch.empty()) result.Error = watch;
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
  if (o.ListPrinters) return Job::kListPrinters;
  if (!o.Watch.empty()) return Job::kWatch;
  if (o.Print) return Job::kPrint;
  if (!o.Verify.empty()) return Job::kVerify;
  if (!o.Summary.empty() || !o.SummaryPdf.empty()) return Job::kSummary;
  if (o.Info) return Job::kInfo;
  if (o.List) return Job::kList;
  if (o.CheckLayout) return Job::kCheckLayout;
  if (!o.Pdf.empty() && (o.DataFiles.size() > 1 || o.Separate)) return Job::kPdfResults;
  if (!o.Pdf.empty() || !o.Png.empty() || !o.Csv.empty()) return Job::kOutput;
  return Job::kNone;
}

}  // namespace vantrel::report_tool
