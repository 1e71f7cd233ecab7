// --summary: the worst margin of every graphed data set with a limit, over many result
// files, as one CSV table; a row per file closes with its status and smallest margin.
// --summary-pdf prints the same rows as report pages.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "definitions/ini_store.h"
#include "definitions/report_reader.h"
#include "definitions/settings_reader.h"
#include "platform/signal_cleanup.h"
#include "platform/stderr_prompter.h"
#include "platform/temp_folder.h"
#include "render/objdata_source.h"
#include "render/plan_painter.h"
#include "render/report_texts.h"
#include "render/summary_pages.h"
#include "results/data_host.h"
#include "results/obj_data.h"
#include "results/read_test_data.h"
#include "support/file_writer.h"
#include "support/number.h"
#include "tools/vantrel_report/commands.h"
#include "tools/vantrel_report/output_csv.h"
#include "tools/vantrel_report/output_file.h"
#include "tools/vantrel_report/output_selection.h"
#include "tools/vantrel_report/report_session.h"

namespace vantrel::report_tool {

namespace {

namespace fs = std::filesystem;

// A margin text "-1.234 dB @ 10.000 MHz" as its two numbers.
struct Margin {
  double Value = 0;
  double Frequency = 0;
};

std::optional<Margin> MarginOf(const std::string& text) {
  const std::size_t at = text.find('@');
  if (text.empty() || at == std::string::npos) return std::nullopt;
  return Margin{Val(text), Val(text.substr(at + 1))};
}

// Every result file named, a folder standing for the files in it.
std::vector<std::string> ResultFiles(const std::vector<std::string>& given, std::string& error) {
  std::vector<std::string> files;
  for (const std::string& g : given) {
    std::error_code ec;
    if (!fs::is_directory(g, ec)) {
      files.push_back(g);
      continue;
    }
    std::vector<std::string> inside;
    for (const auto& e : fs::directory_iterator(g, ec)) {
      const std::string name = e.path().filename().string();
      if (!name.empty() && name[0] != '.' && e.is_regular_file(ec))
        inside.push_back(e.path().string());
    }
    if (ec) error = "cannot read the folder " + g + ": " + ec.message();
    std::sort(inside.begin(), inside.end());
    files.insert(files.end(), inside.begin(), inside.end());
  }
  return files;
}

// Prints what the readers say, as the other jobs do, and keeps the last of it: the
// reason a file did not load goes into its row.
class RememberingPrompter : public Prompter {
 public:
  explicit RememberingPrompter(Prompter& inner) : inner_(inner) {}
  PromptAnswer Message(const std::string& text, const std::string& title, PromptIcon icon,
                       PromptButtons buttons) override {
    last_ = text;
    for (char& c : last_)
      if (c == '\r' || c == '\n') c = ' ';
    return inner_.Message(text, title, icon, buttons);
  }
  std::string TakeLast() { return std::exchange(last_, std::string()); }

 private:
  Prompter& inner_;
  std::string last_;
};

struct Row {
  std::string Test;
  std::string DataSet;
  Margin Worst;
  bool Failed = false;
};

class Summary {
 public:
  explicit Summary(const Options& o) : o_(o), printer_(&state_.AppTitle), prompter_(printer_) {}

  int Run() {
    std::string error;
    const std::vector<std::string> files = ResultFiles(o_.DataFiles, error);
    if (!error.empty()) return Fail(error, kExitNotLoaded);
    if (files.empty()) return Fail("--summary needs --data FILE or --data DIR", kExitUsage);
    std::vector<std::string> inputs = files;
    inputs.push_back(o_.Definition);
    for (const std::string* out : {&o_.Summary, &o_.SummaryPdf})
      if (!out->empty())
        if (const std::string refusal = OutputRefusal(*out, inputs); !refusal.empty())
          return Fail(refusal, kExitUsage);
    if (!o_.Summary.empty() && !o_.SummaryPdf.empty() &&
        fs::weakly_canonical(o_.Summary) == fs::weakly_canonical(o_.SummaryPdf))
      return Fail("--summary and --summary-pdf name the same file", kExitUsage);
    RemoveTemporaryFilesOnSignals();
    if (!LoadIni(o_.Definition, state_.Ini, prompter_))
      return Fail("cannot load the definition file " + o_.Definition, kExitUsage);
    state_.DefinitionPath = o_.Definition;
    ReadSettings(state_, prompter_, "");
    ReadReportsIni(state_, prompter_);
    if (const int status = Select(); status != kExitOk) return status;
    const TempFolder tempFolder = FindTempFolder();
    if (!tempFolder.Error.empty()) return Fail(tempFolder.Error, kExitNotLoaded);
    ObjData data(state_, prompter_, host_);
    data.UseTempFolder(tempFolder.Path);

    SummaryTable table;
    table.Title = "Headroom summary";
    table.Heads = {"result file",        "cable", "test", "data set", "worst margin",
                   "at frequency (MHz)", "status"};
    table.Weights = {22, 13, 21, 12, 11, 13, 8};
    int notLoaded = 0;
    int notCertified = 0;  // loaded, but a test lacks data
    int n = 0;
    for (const std::string& file : files) {
      ++n;
      if (!o_.Quiet)
        std::fprintf(stderr, "Summing up %s  (%d/%d)\n", file.c_str(), n,
                     static_cast<int>(files.size()));
      state_.DataFilePath = file;
      prompter_.TakeLast();
      if (!data.SetFile(file)) {
        ++notLoaded;
        const std::string why = prompter_.TakeLast();
        const std::string reason = why.empty() ? "not loaded" : why;
        table.Rows.push_back(
            {{file, "", "", "not loaded", "", "", reason}, true, true, "not loaded: " + reason});
        continue;
      }
      // A half-written file must not sum up as PASS.
      if (const std::string fault = data.CertificationFault(o_.AllowIncomplete); !fault.empty()) {
        ++notCertified;
        const std::string why = prompter_.TakeLast();
        const std::string reason = why.empty() ? fault : why;
        table.Rows.push_back({{file, data.HeaderString(0), "", "incomplete", "", "", reason},
                              true,
                              true,
                              "incomplete: " + reason});
        continue;
      }
      AddFile(data, file, table, data.IncompleteTests() > 0);
    }
    if (!o_.Summary.empty())
      if (const int status = WriteCsv(table); status != kExitOk) return status;
    if (!o_.SummaryPdf.empty()) {
      table.Note =
          "Definition file " + fs::path(o_.Definition).filename().string() + "; " +
          std::to_string(files.size()) + " result file(s): " +
          std::to_string(static_cast<int>(files.size()) - notLoaded - notCertified - failedFiles_) +
          " passed, " + std::to_string(failedFiles_) + " failed, " + std::to_string(notLoaded) +
          " not loaded" +
          (notCertified > 0 ? ", " + std::to_string(notCertified) + " incomplete" : "");
      if (const int status = WritePdf(data, table); status != kExitOk) return status;
    }
    if (notLoaded > 0)
      return Fail(std::to_string(notLoaded) + " result file(s) could not be loaded", kExitOutput);
    if (notCertified > 0)
      return Fail(std::to_string(notCertified) +
                      " result file(s) hold a test that is incomplete or cannot be read "
                      "(--allow-incomplete sums up incomplete ones)",
                  kExitOutput);
    return kExitOk;
  }

 private:
  int WriteCsv(const SummaryTable& table) {
    std::string text;
    const auto line = [&](const std::vector<std::string>& cells) {
      for (std::size_t i = 0; i < cells.size(); ++i) text += (i ? "," : "") + CsvField(cells[i]);
      text += "\n";
    };
    line(table.Heads);
    for (const SummaryRow& row : table.Rows) line(row.Cells);
    std::string error;
    return WriteWholeFile(o_.Summary, text, error) ? kExitOk : Fail(error, kExitOutput);
  }

  int WritePdf(ObjData& data, const SummaryTable& table) {
    const auto gui = StartGui(o_.Verbose);
    FindLogoBeside(state_.Settings, o_.Definition);
    ObjDataSource source(data);
    RenderContext context{.State = state_, .Data = source, .Ask = prompter_};
    UseDefinitionColours(context);
    const PaperSize paper = PaperByName(o_.PageSize);
    const std::vector<PagePlan> pages = PlanSummaryPages(context, table, paper);
    FileWriter part(o_.SummaryPdf, PdfRules());
    if (!part.Ready()) return Fail(part.Error(), kExitOutput);
    const auto notWritten = [&](const std::string& why) {
      return Fail("the PDF " + o_.SummaryPdf + " was not written: " + why, kExitOutput);
    };
    {
      PdfTarget target(part, paper, table.Title);
      if (!target.Begin()) return notWritten(target.Error());
      try {
        for (std::size_t p = 0; p < pages.size(); ++p) {
          if (p > 0 && !target.NewPage()) throw OutputDeviceError(target.Error());
          PaintPlan(pages[p], target);
        }
      } catch (const OutputDeviceError& e) {
        target.End();
        return notWritten(e.what());
      }
      if (!target.End()) return notWritten(target.Error());
    }
    if (!o_.Quiet)
      std::fprintf(stderr, "Wrote %s (%d page(s))\n", o_.SummaryPdf.c_str(),
                   static_cast<int>(pages.size()));
    return part.Commit() ? kExitOk : Fail(part.Error(), kExitOutput);
  }

  // incomplete: allowed in, the file's status is never PASS.
  void AddFile(ObjData& data, const std::string& file, SummaryTable& table, bool incomplete) {
    const std::string cable = data.HeaderString(0);
    std::vector<Row> rows;
    std::map<std::pair<std::string, std::string>, bool> seen;
    bool fileFailed = data.AnyTestFailed();
    for (int r = 0; r < state_.Ini.NumReports && r < kMaxReports; ++r) {
      if (o_.Reports && !selection_[static_cast<std::size_t>(r)]) continue;
      const ReportDefinition& report = state_.Reports[static_cast<std::size_t>(r)];
      for (int g = 0; g < std::min<int>(report.GraphCount, kMaxGraphs); ++g) {
        const GraphDefinition& graph = report.Graphs[static_cast<std::size_t>(g)];
        if (graph.MarginType == 0) continue;
        for (int d = 0; d < kMaxDataSets; ++d) {
          const std::string& test = graph.Data[static_cast<std::size_t>(d)];
          if (test.empty()) continue;
          const auto& cols = graph.Cols[static_cast<std::size_t>(d)];
          const int count = std::min<int>(graph.ColCount[static_cast<std::size_t>(d)],
                                          static_cast<int>(cols.size()));
          const int16_t order = graph.Order[static_cast<std::size_t>(d)];
          // Every pair of the test, also those a report shows on its later pages, and
          // the combinations (min, max, mean) the graph draws.
          std::vector<ColumnCode> sets;
          if (const auto parsed = data.FindTest(test, order)) {
            const BlockColumns columns(parsed->Block->Cols(), data.ControlLimitsStored());
            for (int c = columns.FirstPair; c <= columns.LastPair; ++c)
              sets.push_back(static_cast<ColumnCode>(c));
          }
          for (int k = 0; k < count; ++k) {
            const ColumnCode c = cols[static_cast<std::size_t>(k)];
            if (c == code::kMin || c == code::kMax || c == code::kMean) sets.push_back(c);
          }
          for (const ColumnCode set : sets) {
            ReadTestDataRequest request;
            request.TestName = test;
            request.Occurrence = order;
            request.MarginKind = graph.MarginType;
            request.Codes = {1, set};
            request.Units = UnitsOfTest(test);
            const ReadTestDataResult result = ReadTestData(data, request);
            if (!result.Found) continue;
            const std::string dataSet = result.Titles.size() > 1 ? result.Titles[1] : "";
            if (!seen.emplace(std::make_pair(test, dataSet), true).second) continue;
            const auto margin = MarginOf(result.LimitMargin);
            if (!margin) continue;
            rows.push_back({test, dataSet, *margin, margin->Value < 0});
          }
        }
      }
    }
    std::optional<Margin> smallest;
    for (const Row& row : rows) {
      table.Rows.push_back(
          {{file, cable, row.Test, row.DataSet, FormatNumber(row.Worst.Value, "0.000"),
            FormatNumber(row.Worst.Frequency, "0.000"), row.Failed ? "FAIL" : "PASS"},
           row.Failed,
           false,
           {}});
      fileFailed = fileFailed || row.Failed;
      if (!smallest || row.Worst.Value < smallest->Value) smallest = row.Worst;
    }
    if (fileFailed || incomplete) ++failedFiles_;
    const char* status = fileFailed ? "FAIL" : incomplete ? "INCOMPLETE" : "PASS";
    table.Rows.push_back(
        {{file, cable, "", "overall", smallest ? FormatNumber(smallest->Value, "0.000") : "",
          smallest ? FormatNumber(smallest->Frequency, "0.000") : "", status},
         fileFailed || incomplete,
         true,
         {}});
  }

  // The reports to sum up; every report when none were named.
  int Select() {
    if (!o_.Reports) return kExitOk;
    const std::string error = ParseReportList(*o_.Reports, state_.Ini.NumReports, selection_);
    return error.empty() ? kExitOk : Fail(error, kExitUsage);
  }

  const Options& o_;
  ProgramState state_;
  StderrPrompter printer_;
  RememberingPrompter prompter_;
  NullDataHost host_;
  ReportSelection selection_{};
  int failedFiles_ = 0;
};

}  // namespace

int RunSummary(const Options& o) {
  if (o.Definition.empty()) return Fail("--summary needs --definition FILE", kExitUsage);
  // The definitions are far too large for the stack.
  auto summary = std::make_unique<Summary>(o);
  return summary->Run();
}

}  // namespace vantrel::report_tool
