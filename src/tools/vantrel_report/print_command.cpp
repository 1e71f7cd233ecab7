#include <cstdio>

#include "model/print_run.h"
#include "model/window_model.h"
#include "platform/print/spooler.h"
#include "testlist/test_list_printer.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/report_session.h"

namespace vantrel::report_tool {

namespace {

// Answers the overwrite question of the PDF step Yes (--overwrite); everything else
// goes to the tool's own prompter.
class OverwritePrompter : public Prompter {
 public:
  OverwritePrompter(Prompter& inner, bool overwrite) : inner_(inner), overwrite_(overwrite) {}
  PromptAnswer Message(const std::string& text, const std::string& title, PromptIcon icon,
                       PromptButtons buttons) override {
    if (overwrite_ && title == "Auto PDF Saving" && buttons == PromptButtons::YesNo) {
      return PromptAnswer::Yes;
    }
    told_ += text + '\n';
    return inner_.Message(text, title, icon, buttons);
  }
  /// Whether a message told so far held what.
  bool Told(const std::string& what) const { return told_.find(what) != std::string::npos; }

 private:
  Prompter& inner_;
  bool overwrite_;
  std::string told_;
};

// The window's status line, as progress lines on stderr.
class StatusLines : public WindowModelObserver {
 public:
  StatusLines(WindowModel& model, bool quiet) : model_(model), quiet_(quiet) {}
  void ModelChanged(ModelChange what) override {
    if (what == ModelChange::Status && !quiet_ && !model_.StatusText().empty())
      std::fprintf(stderr, "%s\n", model_.StatusText().c_str());
  }

 private:
  WindowModel& model_;
  bool quiet_;
};

}  // namespace

int RunListPrinters(const Options&) {
  for (const PrinterListEntry& p : AvailablePrinters())
    std::printf("%s\t%s\n", p.Name.c_str(), p.IsDefault ? "default" : "");
  return kExitOk;
}

int RunPrint(const Options& o) {
  if (!o.Pdf.empty() || !o.Png.empty() || !o.Csv.empty())
    return Fail("--print writes no --pdf, --png or --csv; give them in a run of their own",
                kExitUsage);
  ReportSession session;
  if (const int status = session.Open(o); status != kExitOk) return status;
  ProgramState& state = session.State();
  RenderContext& base = session.Context();
  OverwritePrompter ask(base.Ask, o.Overwrite);
  RenderContext withAsk{.State = base.State,
                        .Data = base.Data,
                        .Ask = ask,
                        .SlotsFlag = base.SlotsFlag,
                        .Colours = base.Colours,
                        .ReadReports = base.ReadReports,
                        .Observer = base.Observer,
                        .Fonts = base.Fonts,
                        .Certificate = base.Certificate};
  WindowModel model(state);
  model.SetTestListFlag(state.Settings.TestSummary);
  StatusLines lines(model, o.Quiet);
  model.AddObserver(&lines);
  PrintHost host;  // never opens a viewer
  PrintRun run(model, withAsk, host);
  run.SetPrinter(o.Printer);
  // A ZIP is read through its unpacked copy.
  run.SetTestListPrinter([&](const std::string&, PageTarget& target, JobPageState& job) {
    return PrintTestList(session.Data().TempPath(), state.Settings, target, job, ask,
                         PrintFontMetrics());
  });

  int status = kExitOk;
  const auto account = [&](const PrintRunResult& r) {
    if (!r.PrinterError.empty()) {
      // The run's printer message usually gave the reason already.
      if (!ask.Told(r.PrinterError))
        std::fprintf(stderr, "vantrel-report: %s\n", r.PrinterError.c_str());
      status = kExitPrinter;
    } else if (!r.DataError.empty()) {
      // The run said why already.
      if (session.Data().UnreadableTests() == 0)
        std::fprintf(stderr, "vantrel-report: --allow-incomplete prints such a file\n");
      if (status == kExitOk) status = kExitOutput;
    } else if (!r.PdfError.empty()) {
      std::fprintf(stderr, "vantrel-report: %s\n", r.PdfError.c_str());
      if (status == kExitOk) status = kExitOutput;
    } else if (!r.Ok() && status == kExitOk) {
      status = kExitOutput;
    }
    if (!o.Quiet && (r.Pdf == PdfOutcome::Saved || !r.OutputFile.empty()))
      std::fprintf(stderr, "vantrel-report: saved %s\n",
                   (r.Pdf == PdfOutcome::Saved ? r.PdfPath : r.OutputFile).c_str());
  };
  const std::vector<std::string> files =
      o.DataFiles.empty() ? std::vector<std::string>{o.Data} : o.DataFiles;
  const auto skipRest = [&](std::size_t i) {
    if (i + 1 < files.size())
      std::fprintf(stderr, "vantrel-report: %d result(s) after %s were not printed\n",
                   static_cast<int>(files.size() - i - 1), files[i].c_str());
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (i > 0) {
      if (const int loaded = session.LoadData(files[i]); loaded != kExitOk) {
        status = loaded;
        skipRest(i);
        break;  // the job of the results before is still ended below
      }
    }
    const bool last = i + 1 == files.size();
    const PrintRunResult r = run.PrintCommand(o.Separate || last);
    account(r);
    if (status == kExitPrinter || !r.DataError.empty()) {
      skipRest(i);
      break;
    }
  }
  if (run.JobOpen()) {
    // The last result did not load: the results before it are still sent.
    state.Selection = {};
    account(run.PrintCommand(true));
  }
  model.RemoveObserver(&lines);
  return status;
}

}  // namespace vantrel::report_tool
