#include "testlist/test_list_printer.h"

#include "render/plan_painter.h"
#include "support/text.h"

namespace vantrel {

namespace {

constexpr Rgb kListBlue = 0xFF0000;
constexpr Rgb kListGreen = 0x00FF00;
constexpr Rgb kListRed = 0x0000FF;
const std::string kIndent(14, ' ');

// 14 spaces and the label in black, ":  " in blue at column 31, then the value.
void Item(TextMode& out, const std::string& label, const std::string& value) {
  PageCanvas& c = out.Canvas();
  c.ForeColor = kBlack;
  out.Print(kIndent + label);
  c.ForeColor = kListBlue;
  out.Tab(31);
  out.Print(":  ");
  c.ForeColor = kBlack;
  out.PrintLine(value);
}

}  // namespace

void LayOutTestList(const TestListData& data, const AppSettings& settings, TextMode& out) {
  PageCanvas& c = out.Canvas();
  c.FontSize = 9.75f;
  c.Item = "test list";
  out.PrintLine();
  out.PrintLine();
  c.FontBold = true;
  out.Underline = true;
  c.ForeColor = kListBlue;
  out.PrintCentred("TEST SUMMARY");
  out.PrintLine();  // its own line end, then two empty lines
  out.PrintLine();
  out.PrintLine();
  c.ForeColor = kBlack;
  c.FontBold = false;
  out.Underline = false;

  Item(out, "Filename", data.ResultsName);
  for (int k = 1; k <= 30; ++k) {
    const std::string& slot = data.Header[static_cast<std::size_t>(k)];
    if (slot.empty()) continue;
    const std::size_t tab = slot.find('\t');
    Item(out, slot.substr(0, tab), tab == std::string::npos ? "" : slot.substr(tab + 1));
  }
  if (!data.Header[31].empty() && data.Header[31] != "0")
    Item(out, "Cable Length(m)", data.Header[31]);
  if (!Trim(data.Header[32]).empty()) Item(out, "Pre-Test Comments", data.Header[32]);
  Item(out, "Test Started", data.Header[33]);

  bool oneSpecification = !data.Rows.empty();
  for (const TestListRow& row : data.Rows)
    oneSpecification = oneSpecification && row.Specification == data.Rows[0].Specification;
  if (oneSpecification) Item(out, "Specification", data.Rows[0].Specification);

  c.ForeColor = kBlack;
  out.Print(kIndent + "Test Status");
  c.ForeColor = kListBlue;
  out.Tab(31);
  out.Print(":  ");
  if (data.Failed) {
    c.ForeColor = kListRed;
    out.Print(settings.FailText.empty() ? "FAILED" : settings.FailText);
  } else {
    c.ForeColor = kListGreen;
    out.Print(settings.PassText.empty() ? "PASSED" : settings.PassText);
  }
  c.ForeColor = kBlack;
  if (data.Completion == 2) out.Print("  (Aborted)");
  out.PrintLine();

  out.PrintLine();
  out.PrintLine();
  c.FontBold = true;
  c.ForeColor = kListBlue;
  out.PrintLine(kIndent + "TEST LIST");
  out.PrintLine();
  c.ForeColor = kBlack;
  c.FontBold = false;

  for (const TestListRow& row : data.Rows) {
    out.Print(kIndent + row.Name);
    out.Tab(65);
    if (StartsWith(row.Status, "FAIL")) {
      c.ForeColor = kListRed;
      out.Print("FAIL ");
      c.ForeColor = kBlack;
      out.Print(row.Status.substr(4));
    } else {
      out.Print(row.Status);
    }
    if (!oneSpecification) {
      out.Tab(95);
      out.Print("(" + row.Specification + ")");
    }
    out.PrintLine();
  }
}

bool PrintTestList(const std::string& dataFile, const AppSettings& settings, PageTarget& target,
                   JobPageState& job, Prompter& ask, const FontMetrics& metrics) {
  std::string error;
  const TestListData data = ReadTestListFile(dataFile, error);
  if (!data.Found) return false;
  bool drawn = false;
  try {
    TextMode out(target.PageWidthMm(), target.PageHeightMm(), metrics);
    LayOutTestList(data, settings, out);
    for (const PagePlan& page : out.Pages()) {
      if (page.Items.empty()) continue;
      if (!job.FirstPage && !target.NewPage()) throw OutputDeviceError(target.Error());
      PaintPlan(page, target);
      job.FirstPage = false;
      job.Printed = true;
      drawn = true;
    }
  } catch (const std::exception&) {
    ask.Message("Error Printing Test List", "Printer Error", PromptIcon::None, PromptButtons::Ok);
  }
  return drawn;
}

}  // namespace vantrel
