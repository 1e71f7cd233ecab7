#include "definitions/settings_reader.h"

#include <filesystem>

#include "definitions/ini_chooser.h"
#include "definitions/key_reader.h"
#include "support/number.h"
#include "support/text.h"

namespace vantrel {

namespace {

const char* const kGeneral = "[GENERAL]";
const char* const kHeader = "[HEADER]";
// A key that is not there keeps the setting's own default.
const AppSettings kDefault{};

void ReadFirstGroup(const KeyReader& general, AppSettings& s) {
  s.Logo = general.Text("LOGO");
  s.AutoPrint = general.Flag("AUTOPRINT", FlagText(kDefault.AutoPrint));
  s.AutoProfile = ToUpper(general.Text("AUTOPROFILE"));
  s.AllSelected = general.Flag("ALLSELECTED", FlagText(kDefault.AllSelected));
  s.AppName = general.Text("APPNAME", kDefault.AppName);
  s.AutoPdfTempDir = general.Text("AUTOPDF_TEMPDIR");
  s.TopWindow = general.Flag("TOPWINDOW", FlagText(kDefault.TopWindow));
  s.PassText = general.Text("PASSTEXT", kDefault.PassText);
  s.FailText = general.Text("FAILTEXT", kDefault.FailText);
  s.OverallPassFail = general.Flag("OVERALLPASSFAIL", FlagText(kDefault.OverallPassFail));
  s.TestSummary = general.Flag("TESTSUMMARY", FlagText(kDefault.TestSummary));
  s.PdfWaitSeconds = general.NumberIn("PDFWAITSECONDS", "120", 1, 86400);
  s.SignKey = general.Text("SIGN_KEY");
  s.SignCert = general.Text("SIGN_CERT");
  s.SignChain = general.Text("SIGN_CHAIN");
  s.SignP12 = general.Text("SIGN_P12");
  s.SignPassphraseFile = general.Text("SIGN_PASSPHRASE_FILE");
}

// The name is the text before the first comma; the list starts at that comma, so its
// element 0 is empty. A value without a comma is a name with no reports.
ProfileEntry ParseProfile(const std::string& value, const KeyReader& general,
                          const std::string& key) {
  ProfileEntry entry;
  const std::size_t comma = value.find(',');
  entry.Name = value.substr(0, comma);
  entry.Reports = comma == std::string::npos
                      ? std::vector<std::string>{""}
                      : general.List(std::string_view(value).substr(comma), key);
  entry.Count = static_cast<int16_t>(entry.Reports.size());
  return entry;
}

void ReadProfiles(const KeyReader& general, const char* prefix, int capacity, ProfileTable& table) {
  table.Entries.clear();
  for (int n = 1; n <= capacity; ++n) {
    const std::string key = std::string(prefix) + std::to_string(n);
    const std::string value = general.Text(key);
    if (value.empty()) break;
    table.Entries.push_back(ParseProfile(value, general, key));
  }
}

void ReadHeaderItems(const KeyReader& header, HeaderDefinition& h) {
  const auto family = [&](const char* prefix, HeaderFamily& items) {
    for (int n = 1; n <= kHeaderItems; ++n) {
      items[n - 1] = header.Text(std::string(prefix) + std::to_string(n));
    }
  };
  family("HEADER_", h.HeaderItems);
  family("HALFHEADER_", h.HalfHeaderItems);
  family("HEADERTEXT_", h.HeaderTexts);
  family("HALFHEADERTEXT_", h.HalfHeaderTexts);

  bool hasStatus = false;
  for (int i = 0; i < kHeaderItems; ++i) {
    hasStatus = hasStatus || ToUpper(h.HeaderItems[i]) == "TEST STATUS" ||
                ToUpper(h.HalfHeaderItems[i]) == "TEST STATUS";
  }
  if (!hasStatus && h.HeaderItems[11].empty()) h.HeaderItems[11] = "Test Status";
}

}  // namespace

void ReadSettings(ProgramState& state, Prompter& prompter, const std::string& reportList,
                  const ProgressSink& progress) {
  state.ReportsRead = false;
  IniStore& ini = state.Ini;
  if (ini.NumReports > kMaxReports) {
    prompter.Tell(
        "You have exceeded the maximum number of reports allowed.\r\r"
        "The maximum is currently set to " +
        std::to_string(kMaxReports) +
        ". If you need this figure extended, please contact your software supplier.");
    ini.NumReports = kMaxReports;
  }
  const int numReports = ini.NumReports;

  const KeyReader general(ini, kGeneral, prompter);
  ReadFirstGroup(general, state.Settings);
  ReadProfiles(general, "PROFILE_", kMaxProfiles, state.Profiles);
  ReadProfiles(general, "SEQUENCEPROFILE_", kMaxSequenceProfiles, state.SequenceProfiles);
  ReadHeaderItems(KeyReader(ini, kHeader, prompter), state.Header);

  // Reports beyond this file's count keep nothing of an earlier load.
  state.Reports.Clear();
  state.Selection.fill(false);
  for (int r = 1; r <= numReports; ++r) {
    if (progress) progress(r, numReports);
    ReportDefinition& report = state.Reports[r - 1];
    const KeyReader section(ini, "[REPORT_" + std::to_string(r) + "]", prompter);
    report.Title = section.Text("TITLE");
    if (!reportList.empty()) {
      report.Selected = InList(r - 1, reportList);
    } else if (!report.Title.empty()) {
      report.Selected = section.Flag("DEFAULT", FlagText(state.Settings.AllSelected));
    } else {
      report.Selected = false;
    }
    state.Selection[r - 1] = report.Selected;
  }
}

bool InList(int number, std::string_view list) {
  std::string token;
  for (const char c : list) {
    if (c != ',') {
      token += c;
      continue;
    }
    const auto value = WholeNumberOf(token);
    if (value && *value == number) return true;
    token.clear();
  }
  return false;
}

void FindLogoBeside(AppSettings& settings, const std::string& definition,
                    const std::string& programFolder) {
  namespace fs = std::filesystem;
  const std::string& written = settings.Logo;
  // "\\server\share" is a network path, not the program's folder.
  if (written.size() > 1 && written[0] == '\\' && written[1] != '\\') {
    const fs::path rest(ReplaceAll(written.substr(1), "\\", "/"));
    fs::path besideDefinition = fs::path(definition).parent_path();
    if (besideDefinition.empty()) besideDefinition = ".";
    std::error_code ec;
    for (const fs::path& folder : {fs::path(programFolder), besideDefinition}) {
      if (folder.empty() || !fs::exists(folder / rest, ec)) continue;
      settings.Logo = (folder / rest).string();
      return;
    }
    return;
  }
  const std::filesystem::path logo(settings.Logo);
  if (logo.empty() || !logo.is_relative()) return;
  const std::filesystem::path beside = std::filesystem::path(definition).parent_path() / logo;
  std::error_code ec;
  if (!std::filesystem::exists(logo, ec) && std::filesystem::exists(beside, ec))
    settings.Logo = beside.string();
}

void FindLogoBeside(AppSettings& settings, const std::string& definition) {
  FindLogoBeside(settings, definition,
                 std::filesystem::path(ExecutablePath()).parent_path().string());
}

}  // namespace vantrel
