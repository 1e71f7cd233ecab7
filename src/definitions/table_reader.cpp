#include "definitions/table_reader.h"

#include "definitions/column_keywords.h"
#include "definitions/key_reader.h"
#include "definitions/report_grid.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

std::vector<ColumnCode> ParseColumns(const std::string& text, const KeyReader& k,
                                     Prompter& prompter) {
  std::vector<ColumnCode> cols;
  for (const std::string& element : k.List(text, "COLS")) {
    const std::string trimmed = Trim(element);
    const auto c = TableColumnCode(trimmed);
    if (!c) {
      prompter.Tell("The column '" + trimmed + "' of COLS in " + k.Section() +
                        " is outside the range -32768 to 32767.\r\rColumn 0 is used instead.",
                    {}, PromptIcon::Exclamation);
    }
    cols.push_back(c.value_or(0));
  }
  return cols;
}

std::vector<std::string> ParseRows(const std::string& freqs, const KeyReader& k,
                                   const TableDefinition& td, int r, int t,
                                   const std::string& reportTitle, Prompter& prompter) {
  std::vector<std::string> rows = k.List(freqs, "FREQS");
  const bool comments = EqualsNoCase(td.Data, "comment");
  for (std::string& row : rows) {
    row = ToLower(Trim(row));
    if (const auto c = RowKeywordCode(row)) row = std::to_string(*c);
    // A comment table names comment fields, which need not be numbers.
    if (comments || IsNumeric(row)) continue;
    prompter.Tell("There is an invalid variable specified in report " + std::to_string(r) + "(" +
                      reportTitle + "), table " + std::to_string(t) + "\r\rThe variable '" + row +
                      "' is not a recognised keyword for a frequency row.",
                  "Reading Reports Ini", PromptIcon::Exclamation);
    row.assign(1, '0');
  }
  return rows;
}

// One title per column: the limit and control words for their columns, else the
// placeholder that the table drawer fills with the column's name.
std::string BuiltHeaders(const std::vector<ColumnCode>& cols, const AppSettings& settings) {
  std::string headers;
  for (std::size_t i = 0; i < cols.size(); ++i) {
    if (i > 0) headers += ',';
    const ColumnCode c = cols[i];
    if (c == code::kUpperLimit || c == code::kLowerLimit) {
      headers += settings.LimitName;
    } else if (c == code::kUpperControl || c == code::kLowerControl) {
      headers += settings.ControlName;
    } else {
      headers += "col_name";
    }
  }
  return headers;
}

}  // namespace

void ReadTables(const IniStore& ini, const AppSettings& settings, int r, ReportDefinition& report,
                Prompter& prompter) {
  for (int t = 1; t <= kMaxTables; ++t) {
    const KeyReader k(ini, "[TABLE_" + std::to_string(r) + "_" + std::to_string(t) + "]", prompter);
    TableDefinition& td = report.Tables[t - 1];
    td.Data = k.Text("DATA");
    if (td.Data.empty()) break;
    td.AbsData = k.Flag("ABSDATA", "FALSE");
    td.ReverseData = k.Flag("REVERSEDATA", "FALSE");
    td.HideFirstCol = k.Flag("HIDEFIRSTCOL", "FALSE");
    td.ApplyAllResults = k.Flag("APPLYALLRESULTS", "FALSE");
    td.CombineAllResults = k.Flag("COMBINEALLRESULTS", "FALSE");
    td.Slot = k.WholeNumber("SLOT", "0");
    td.PosX = k.WholeNumber("POSX", "0");
    td.PosY = k.WholeNumber("POSY", "0");
    td.SizeX = k.WholeNumber("SIZEX", "1");
    td.SizeY = 1;
    td.FontSize = k.WholeNumber("FONTSIZE", "9");
    if (td.Slot == 0) {
      CheckPlacement(report.SlotsX, report.SlotsY, td.PosX, td.PosY, td.SizeX, td.SizeY, r, "table",
                     t, prompter);
    }
    td.Title = k.Text("TITLE");
    td.Order = k.WholeNumber("ORDER", "1");

    const std::string cols =
        ExpandLimits(ToLower("1," + k.Text("COLS")), td.Data, settings.TableControlLimits);
    td.Cols = ParseColumns(cols, k, prompter);

    std::string freqs = k.Text("FREQS");
    if (EqualsNoCase(freqs, "DEFAULT")) freqs = settings.DefaultTableFreqs;
    td.Freqs = ParseRows(freqs, k, td, r, t, report.Title, prompter);
    td.FreqTitles = k.List(k.Text("FREQTITLES"), "FREQTITLES");

    std::string headers = k.Text("HEADERS");
    if (headers.empty() && !td.Cols.empty()) headers = BuiltHeaders(td.Cols, settings);
    headers = ReplaceAll(headers, "CONTROL_LIMIT_NAME", settings.ControlName);
    headers = ReplaceAll(headers, "LIMIT_NAME", settings.LimitName);
    td.Headers = k.List(headers, "HEADERS");
    td.Format = k.Text("FORMAT");
    ++report.TableCount;
  }
}

}  // namespace vantrel
