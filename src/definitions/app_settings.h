#pragma once
// Program-wide settings of the definition file's [GENERAL] section.

#include <cstdint>
#include <string>

namespace vantrel {

/// Where PAGENUM puts the page number; any other text than these words and NONE is
/// BottomLeft.
enum class PageNumberPlace {
  None,
  BottomLeft,
  BottomMiddle,
  BottomRight,
  TopLeft,
  TopMiddle,
  TopRight
};

/// The place a PAGENUM value names, in any case.
PageNumberPlace PageNumberPlaceOf(const std::string& value);

inline bool AtTop(PageNumberPlace p) {
  return p == PageNumberPlace::TopLeft || p == PageNumberPlace::TopMiddle ||
         p == PageNumberPlace::TopRight;
}

/// LOGOHEIGHT: no logo at all, the picture's own height, or a band of Millimetres.
struct LogoSize {
  enum class Kind { None, Natural, Millimetres };
  Kind Is = Kind::None;
  double Millimetres = 0;  // only for Kind::Millimetres; below 0 a band of no height

  /// 0 is none and -1 the picture's own height; any other value is millimetres.
  static LogoSize Of(double value);
  bool operator==(const LogoSize&) const = default;
};

struct AppSettings {
  // Read at every load of the definition file.
  std::string Logo;
  bool AutoPrint = false;
  std::string AutoProfile;  // upper-cased
  bool AllSelected = true;  // the default of every report's DEFAULT key
  std::string AppName = "Vantrel";
  std::string AutoPdfTempDir;
  bool TopWindow = true;
  std::string PassText = "PASS";
  std::string FailText = "FAIL";
  bool OverallPassFail = true;
  bool TestSummary = false;
  double PdfWaitSeconds = 120;  // how long a PDF run waits for the queue and the file
  // Signing of every PDF made: key and certificate (PEM) or a PKCS#12 bundle.
  std::string SignKey;
  std::string SignCert;
  std::string SignChain;
  std::string SignP12;
  std::string SignPassphraseFile;

  // Read with the report definitions, once after each load.
  std::string TableFormat = "0.0";
  LogoSize LogoHeight;
  bool LogoCenter = true;
  std::string GridColour = "grey";  // lower-cased
  int16_t GraphLineThickness = 0;
  bool BigFail = false;
  std::string LimitName = "Limit";
  std::string ControlName = "Control";
  PageNumberPlace PageNum = PageNumberPlace::None;
  bool NewTables = true;
  bool FailTextRed = false;
  std::string TableColor = "Blue";
  std::string SubHeaderTextColor = "Blue";
  std::string SubHeaderColor = "ltgrey";
  std::string HeaderTextColor = "white";
  bool TableControlLimits = false;
  bool GraphControlLimits = true;
  double OverallStopFreq = 0;
  bool FirstPageOnly = false;  // [GENERAL]: the logo on the first page only
  std::string DefaultTableFreqs =
      "1,4,8,10,16,20,25,31.25,62.5,100,155,200,250,300,350,400,450,500,550,600,650,700,750,"
      "800,850,900,1000,2000";
  bool DefaultMultiPage = true;
  std::string MarginName = "Margin";
  std::string PageName = "Page";
};

}  // namespace vantrel
