// What the printed page shows, checked on the pages vantrel-report writes: colours as
// pixels of the PNG pages (150 dpi), places as the PDF's word boxes (pdftotext -bbox,
// in points from the top left).

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "common/shell_run.h"
#include "common/temp_dir.h"
#include "common/tool_run.h"
#include "support/text.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::ShellQuote;

constexpr double kPixelsPerPoint = 150.0 / 72.0;
constexpr double kPointsPerMm = 72.0 / 25.4;

struct Box {
  double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;  // points
  double MidX() const { return (X0 + X1) / 2; }
  double MidY() const { return (Y0 + Y1) / 2; }
  double Height() const { return Y1 - Y0; }
};

struct Word {
  int Page = 0;  // 1-based
  Box Bounds;
  std::string Text;
};

std::vector<Word> PdfWords(const fs::path& pdf) {
  const testing::ShellResult run =
      testing::RunShell("pdftotext -bbox " + ShellQuote(pdf.string()) + " -");
  std::vector<Word> words;
  int page = 0;
  const std::regex word(
      R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
  std::size_t start = 0;
  for (std::size_t end; (end = run.Out.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = run.Out.substr(start, end - start);
    if (line.find("<page ") != std::string::npos) ++page;
    std::smatch m;
    if (!std::regex_search(line, m, word)) continue;
    words.push_back({page,
                     {std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])},
                     ReplaceAll(m[5].str(), "&amp;", "&")});
  }
  return words;
}

// The words of phrase, one after another on one line of page; the nth such place.
std::optional<Box> Phrase(const std::vector<Word>& words, int page, const std::string& phrase,
                          int nth = 0) {
  std::vector<std::string> parts;
  for (std::size_t s = 0, e; s <= phrase.size(); s = e + 1) {
    e = std::min(phrase.find(' ', s), phrase.size());
    parts.push_back(phrase.substr(s, e - s));
  }
  for (std::size_t i = 0; i + parts.size() <= words.size(); ++i) {
    bool match = true;
    for (std::size_t k = 0; k < parts.size() && match; ++k) {
      const Word& w = words[i + k];
      match =
          w.Page == page && w.Text == parts[k] && std::abs(w.Bounds.Y0 - words[i].Bounds.Y0) < 1.0;
    }
    if (!match || nth-- > 0) continue;
    return Box{words[i].Bounds.X0, words[i].Bounds.Y0, words[i + parts.size() - 1].Bounds.X1,
               words[i].Bounds.Y1};
  }
  return std::nullopt;
}

// Every place of phrase on page, in the order the page was written.
std::vector<Box> Phrases(const std::vector<Word>& words, int page, const std::string& phrase) {
  std::vector<Box> all;
  for (int nth = 0;; ++nth) {
    const auto box = Phrase(words, page, phrase, nth);
    if (!box) return all;
    all.push_back(*box);
  }
}

// The highest word text on page below box and within its columns.
std::optional<Box> Under(const std::vector<Word>& words, int page, const std::string& text,
                         const Box& box) {
  std::optional<Box> best;
  for (const Word& w : words)
    if (w.Page == page && w.Text == text && w.Bounds.Y0 > box.Y1 && w.Bounds.X0 < box.X1 &&
        w.Bounds.X1 > box.X0 && (!best || w.Bounds.Y0 < best->Y0))
      best = w.Bounds;
  return best;
}

QColor At(const QImage& page, double xPt, double yPt) {
  return page.pixelColor(static_cast<int>(xPt * kPixelsPerPoint),
                         static_cast<int>(yPt * kPixelsPerPoint));
}

bool Near(const QColor& c, int r, int g, int b, int tolerance = 40) {
  return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
         std::abs(c.blue() - b) <= tolerance;
}

// Pixels of box (points) within the tolerance of a colour.
int Count(const QImage& page, const Box& box, int r, int g, int b, int tolerance = 40) {
  int n = 0;
  for (int y = static_cast<int>(box.Y0 * kPixelsPerPoint); y <= box.Y1 * kPixelsPerPoint; ++y)
    for (int x = static_cast<int>(box.X0 * kPixelsPerPoint); x <= box.X1 * kPixelsPerPoint; ++x)
      if (page.valid(x, y) && Near(page.pixelColor(x, y), r, g, b, tolerance)) ++n;
  return n;
}

// The box of every pixel that is not white within the rows y0..y1 (points).
Box InkBetween(const QImage& page, double y0, double y1) {
  Box ink{1e9, 1e9, -1, -1};
  for (int y = static_cast<int>(y0 * kPixelsPerPoint); y <= y1 * kPixelsPerPoint; ++y)
    for (int x = 0; x < page.width(); ++x)
      if (!Near(page.pixelColor(x, y), 255, 255, 255, 12)) {
        ink.X0 = std::min(ink.X0, x / kPixelsPerPoint);
        ink.X1 = std::max(ink.X1, x / kPixelsPerPoint);
        ink.Y0 = std::min(ink.Y0, y / kPixelsPerPoint);
        ink.Y1 = std::max(ink.Y1, y / kPixelsPerPoint);
      }
  return ink;
}

const std::string kHeader =
    "[HEADER]\nHEADER_1=Cable ID\nHEADER_2=Test Status\nHEADERTEXT_2=Result\n"
    "HALFHEADER_1=Operator\n";

// Report 1 passes, report 2 fails (the sample's return loss), report 3 is report 2 with
// the graph's own title band.
const std::string kBanded =
    "[GENERAL]\nAPPNAME=Pixels\nLOGO=logo.png\nLOGOHEIGHT=15\nLOGOCENTER=FALSE\n"
    "NEWTABLES=TRUE\nTABLECOLOR=Red\nHEADERTEXTCOLOR=yellow\nSUBHEADERCOLOR=green\n"
    "SUBHEADERTEXTCOLOR=blue\nPASSTEXT=PASS\nFAILTEXT=FAIL\nBIGFAIL=TRUE\n"
    "OVERALLPASSFAIL=FALSE\nGRAPHCONTROLLIMITS=TRUE\nPAGENUM=BOTTOMMIDDLE\nPAGENAME=Page\n"
    "DEFAULTMULTIPAGE=FALSE\n\n" +
    kHeader +
    "HEADERJUSTIFY=LEFT\n\n"
    "[REPORT_1]\nTITLE=Colours passed\nSUBHEADER=Banded sub title\nX=2\nY=2\nBORDER=3\n\n"
    "[TABLE_1_1]\nTITLE=Attenuation table\nDATA=Attenuation Near\nSLOT=1\nSIZEX=2\n"
    "COLS=2..5\nFREQS=1,10,100,250,1000\n\n"
    "[GRAPH_1_1]\nSLOT=3\nSIZEX=2\nDATA_1=Attenuation Near\nCOLS_1=2..5,limits\n"
    "TITLE=Attenuation Near\nYAXIS=DEFAULT\n\n"
    "[REPORT_2]\nTITLE=Colours failed\nX=1\nY=2\nBORDER=3\n\n"
    "[GRAPH_2_1]\nSLOT=1\nDATA_1=Return Loss Near\nCOLS_1=2..5,limits\n"
    "TITLE=Return Loss Near\nYAXIS=DEFAULT\n\n"
    "[REPORT_3]\nTITLE=Own title\nX=1\nY=2\nBORDER=3\n\n"
    "[GRAPH_3_1]\nSLOT=1\nDATA_1=Return Loss Near\nCOLS_1=2..5,limits\n"
    "TITLE=Return Loss Near\nYAXIS=DEFAULT\nGRAPH_GENERATED_TITLE=FALSE\n";

// Without bands; the graph takes every occurrence of its test in turn.
const std::string kPlain =
    "[GENERAL]\nAPPNAME=Plain\nLOGO=logo.png\nLOGOHEIGHT=15\nLOGOCENTER=TRUE\n"
    "NEWTABLES=FALSE\nBIGFAIL=FALSE\nTABLECOLOR=Red\nSUBHEADERCOLOR=green\nGRAPHCONTROLLIMITS="
    "FALSE\n"
    "PAGENUM=BOTTOMMIDDLE\nPAGENAME=Page\nDEFAULTMULTIPAGE=FALSE\n\n" +
    kHeader +
    "\n[REPORT_1]\nTITLE=Plain grid\nX=1\nY=2\nBORDER=3\n\n"
    "[TABLE_1_1]\nTITLE=Attenuation table\nDATA=Attenuation Near\nSLOT=1\nCOLS=2..5\n"
    "FREQS=1,10,100,250,1000\n\n"
    "[GRAPH_1_1]\nSLOT=2\nDATA_1=Attenuation Near\nCOLS_1=2\nAUTOORDERINCREASE=TRUE\n"
    "TITLE=Both runs\nYAXIS=DEFAULT\n";

class PagePixels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testing::TempDir;
    const fs::path samples = fs::path(VANTREL_SOURCE_DIR) / "samples";
    fs::copy_file(samples / "logo.png", dir_->path() / "logo.png");
    const std::string sample = ReadFileBytes(samples / "sample-results.txt");
    dir_->Write("run.txt", sample);
    // A second, later run of the attenuation test: a 1 put before every negative value's
    // digits, so -1.8 dB reads -11.8 dB.
    const std::size_t from = sample.find("TEST:\tAttenuation Near");
    const std::size_t to = sample.find("\n\n", from);
    dir_->Write("rerun.txt",
                sample + "\n" + ReplaceAll(sample.substr(from, to + 2 - from), "\t-", "\t-1"));
    dir_->Write("banded.ini", kBanded);
    dir_->Write("plain.ini", kPlain);
    const auto in = [](const char* name) { return Path(name).string(); };
    Run({"--definition", in("banded.ini"), "--data", in("run.txt"), "--png", in("banded"), "--pdf",
         in("banded.pdf")});
    Run({"--definition", in("banded.ini"), "--data", in("run.txt"), "--reports", "1", "--slots",
         "--pdf", in("slots.pdf")});
    Run({"--definition", in("plain.ini"), "--data", in("rerun.txt"), "--png", in("plain"), "--pdf",
         in("plain.pdf"), "--csv", in("csv")});
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static void Run(std::vector<std::string> args) {
    args.push_back("--quiet");
    const testing::ToolRun run = testing::RunReportTool(dir_->path(), args);
    EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
  }
  static QImage Png(const std::string& set, int page) {
    char name[32];
    std::snprintf(name, sizeof name, "page-%03d.png", page);
    QImage image(QString::fromStdString((dir_->path() / set / name).string()));
    EXPECT_FALSE(image.isNull()) << set << " " << name;
    return image.convertToFormat(QImage::Format_RGB32);
  }
  static std::vector<Word> Words(const std::string& pdf) { return PdfWords(dir_->path() / pdf); }
  static fs::path Path(const std::string& name) { return dir_->path() / name; }

  static testing::TempDir* dir_;
};

testing::TempDir* PagePixels::dir_ = nullptr;

TEST_F(PagePixels, BandsHeadingRowsAndStatusTakeTheirColours) {
  const std::vector<Word> words = Words("banded.pdf");
  const QImage passed = Png("banded", 1);
  const QImage failed = Png("banded", 2);
  ASSERT_FALSE(passed.isNull());
  ASSERT_FALSE(failed.isNull());
  // Title and table title: TABLECOLOR red bands with HEADERTEXTCOLOR text.
  for (const char* text : {"Colours passed", "Attenuation table"}) {
    const auto box = Phrase(words, 1, text);
    ASSERT_TRUE(box) << text;
    EXPECT_TRUE(Near(At(passed, box->X0 - 6, box->MidY()), 255, 0, 0)) << text;
    EXPECT_GT(Count(passed, *box, 255, 255, 0), 20) << text;
  }
  // The sub title keeps its own blue band and white text whatever TABLECOLOR says.
  const auto sub = Phrase(words, 1, "Banded sub title");
  ASSERT_TRUE(sub);
  EXPECT_TRUE(Near(At(passed, sub->X0 - 6, sub->MidY()), 0, 128, 240, 10));
  EXPECT_GT(Count(passed, *sub, 255, 255, 255, 10), 20);
  EXPECT_EQ(Count(passed, *sub, 255, 255, 0), 0);
  // The heading row: SUBHEADERCOLOR fill, SUBHEADERTEXTCOLOR text; body rows banded grey.
  const auto heading = Phrase(words, 1, "Freq (MHz)");
  ASSERT_TRUE(heading);
  EXPECT_TRUE(Near(At(passed, heading->X0 - 4, heading->MidY()), 0, 255, 0));
  EXPECT_GT(Count(passed, *heading, 0, 0, 255, 60), 20);
  const auto first = Under(words, 1, "1", *heading);
  const auto second = Under(words, 1, "10", *heading);
  ASSERT_TRUE(first && second);
  EXPECT_TRUE(Near(At(passed, first->X0 - 20, first->MidY()), 255, 255, 255, 5));
  EXPECT_TRUE(Near(At(passed, second->X0 - 20, second->MidY()), 228, 228, 228, 5));
  // The status: green when the report passed, red when it failed.
  const auto pass = Phrase(words, 1, "PASS");
  ASSERT_TRUE(pass);
  EXPECT_GT(Count(passed, *pass, 0, 150, 0), 20);
  EXPECT_EQ(Count(passed, *pass, 255, 0, 0), 0);
  std::vector<Box> fails = Phrases(words, 2, "FAIL");
  ASSERT_EQ(fails.size(), 2u);  // the status, and the large mark
  std::sort(fails.begin(), fails.end(),
            [](const Box& a, const Box& b) { return a.Height() < b.Height(); });
  const Box* fail = &fails[0];
  EXPECT_GT(Count(failed, *fail, 255, 0, 0), 20);
  EXPECT_EQ(Count(failed, *fail, 0, 150, 0), 0);
  // And the large fail mark, red at the top right, only on the failed page.
  const Box* mark = &fails[1];
  EXPECT_GT(mark->Height(), 40);
  EXPECT_GT(mark->MidX(), 595 / 2);
  EXPECT_GT(Count(failed, *mark, 255, 0, 0), 500);
  EXPECT_FALSE(Phrase(words, 1, "FAIL"));
}

TEST_F(PagePixels, WithoutNewTablesNothingIsFilledAndTheTitleFollowsTheHeader) {
  const std::vector<Word> words = Words("plain.pdf");
  const QImage page = Png("plain", 1);
  ASSERT_FALSE(page.isNull());
  const auto title = Phrase(words, 1, "Plain grid");
  const auto header = Phrase(words, 1, "Cable ID");
  const auto table = Phrase(words, 1, "Attenuation table");
  const auto heading = Phrase(words, 1, "Freq (MHz)");
  ASSERT_TRUE(heading);
  const auto second = Under(words, 1, "10", *heading);
  ASSERT_TRUE(title && header && table && second);
  EXPECT_GT(title->Y0, header->Y1);  // below the header block, not in a band above it
  for (const Box& box : {*title, *table, *heading, *second}) {
    EXPECT_TRUE(Near(At(page, box.X0 - 6, box.MidY()), 255, 255, 255, 5));
    EXPECT_EQ(Count(page, box, 255, 0, 0), 0);
    EXPECT_EQ(Count(page, box, 0, 255, 0), 0);
  }
  // The header block is framed: a dark line at its left edge (10 mm + BORDER).
  const double left = 13 * kPointsPerMm;
  EXPECT_GT(Count(page, {left - 1, header->Y0, left + 1, header->Y1}, 0, 0, 0, 90), 10);
  const std::vector<Word> banded = Words("banded.pdf");
  const auto bandedHeader = Phrase(banded, 1, "Cable ID");
  ASSERT_TRUE(bandedHeader);
  EXPECT_EQ(Count(Png("banded", 1), {left - 1, bandedHeader->Y0, left + 1, bandedHeader->Y1}, 0, 0,
                  0, 90),
            0);
}

TEST_F(PagePixels, HeaderValuesAreLeftAlignedOnlyWhenAsked) {
  // Left: the values of one column start at one place; otherwise they share a centre.
  const std::vector<Word> left = Words("banded.pdf");
  const auto id = Phrase(left, 1, "CBL-2024-48687");
  const auto status = Phrase(left, 1, "PASS");
  ASSERT_TRUE(id && status);
  EXPECT_NEAR(id->X0, status->X0, 0.5);
  const std::vector<Word> centred = Words("plain.pdf");
  const auto id2 = Phrase(centred, 1, "CBL-2024-48687");
  const auto status2 = Phrase(centred, 1, "FAIL");  // the later run fails its limit
  ASSERT_TRUE(id2 && status2);
  EXPECT_NEAR(id2->MidX(), status2->MidX(), 0.5);
  EXPECT_GT(status2->X0 - id2->X0, 10);
}

TEST_F(PagePixels, TheLogoStartsAtTheLeftOrIsCentred) {
  // The logo band: LOGOHEIGHT 15 mm from the top margin at 10 mm.
  const Box atLeft = InkBetween(Png("banded", 1), 10 * kPointsPerMm, 25 * kPointsPerMm);
  EXPECT_NEAR(atLeft.X0, 13 * kPointsPerMm, 1.5 * kPointsPerMm);
  EXPECT_LT(atLeft.X1, 595 / 2);
  const Box centred = InkBetween(Png("plain", 1), 10 * kPointsPerMm, 25 * kPointsPerMm);
  EXPECT_NEAR(centred.MidX(), 595 / 2.0, 1.5 * kPointsPerMm);
  EXPECT_NEAR(centred.X1 - centred.X0, atLeft.X1 - atLeft.X0, 1.0);
}

TEST_F(PagePixels, TheControlMarginLineFollowsGraphControlLimits) {
  const std::vector<Word> words = Words("banded.pdf");
  const auto limit = Phrase(words, 2, "Limit Margin :");
  const auto control = Phrase(words, 2, "Control Margin :");
  ASSERT_TRUE(limit && control);
  // Its own line, 3 mm below the limit margin's, red when the margin is below zero.
  EXPECT_NEAR(control->MidY() - limit->MidY(), 3 * kPointsPerMm, 1.0);
  EXPECT_NEAR(control->X0, limit->X0, 0.5);
  const Word* value = nullptr;
  for (const Word& w : words)
    if (w.Page == 2 && std::abs(w.Bounds.Y0 - control->Y0) < 1 && w.Bounds.X0 > control->X1) {
      value = &w;
      break;
    }
  ASSERT_NE(value, nullptr);
  const bool negative = value->Text.front() == '-';
  EXPECT_EQ(Count(Png("banded", 2), control.value(), 255, 0, 0) > 20, negative) << value->Text;
  // Without GRAPHCONTROLLIMITS only the limit line is written.
  const std::vector<Word> plain = Words("plain.pdf");
  EXPECT_TRUE(Phrase(plain, 1, "Limit Margin :"));
  EXPECT_FALSE(Phrase(plain, 1, "Control Margin :"));
}

TEST_F(PagePixels, AGraphsOwnTitleIsSetPlainInItsBand) {
  // Report 3 is report 2 with GRAPH_GENERATED_TITLE=FALSE: the same words, set in 9 pt
  // regular type over the graph, where the generated title is bold.
  const std::vector<Word> words = Words("banded.pdf");
  const auto generated = Phrase(words, 2, "Return Loss Near");
  const auto own = Phrase(words, 3, "Return Loss Near");
  ASSERT_TRUE(generated && own);
  EXPECT_LT(own->X1 - own->X0, generated->X1 - generated->X0 - 2);
  EXPECT_NEAR(own->MidX(), 595 / 2.0, 2);
  EXPECT_NEAR(own->Height(), 10, 1.5);
}

TEST_F(PagePixels, TheThirdPageOfAJobIsNumberedThreeAtTheFootsMiddle) {
  const std::vector<Word> words = Words("banded.pdf");
  for (int page = 1; page <= 3; ++page) {
    const auto number = Phrase(words, page, "Page " + std::to_string(page));
    ASSERT_TRUE(number) << page;
    EXPECT_NEAR(number->MidX(), 595 / 2.0, 1.0) << page;
    // The bottom of the rectangle that ends 9 mm above the page's foot.
    EXPECT_NEAR(number->Y1, 842 - 9 * kPointsPerMm, 3 * kPointsPerMm) << page;
    EXPECT_GT(number->Y0, 842 - 20 * kPointsPerMm) << page;
  }
}

TEST_F(PagePixels, TheSlotGridIsLabelledCellByCell) {
  // Report 1 has two columns and two rows of slots.
  const std::vector<Word> words = Words("slots.pdf");
  std::vector<Box> slots;
  for (int n = 1; n <= 4; ++n) {
    const auto label = Phrase(words, 1, "Slot " + std::to_string(n));
    ASSERT_TRUE(label) << n;
    slots.push_back(*label);
  }
  EXPECT_FALSE(Phrase(words, 1, "Slot 5"));
  EXPECT_NEAR(slots[0].Y0, slots[1].Y0, 0.5);  // 1 and 2 side by side
  EXPECT_GT(slots[1].X0, slots[0].X0 + 200);
  EXPECT_NEAR(slots[0].X0, slots[2].X0, 0.5);  // 3 under 1
  EXPECT_GT(slots[2].Y0, slots[0].Y0 + 100);
  EXPECT_NEAR(slots[3].X0, slots[1].X0, 0.5);
  EXPECT_NEAR(slots[3].Y0, slots[2].Y0, 0.5);
  for (const char* aid : {"Logo", "Title", "Sub Title", "Graph", "Table"})
    EXPECT_TRUE(Phrase(words, 1, aid)) << aid;
}

TEST_F(PagePixels, AutoOrderIncreaseGraphsEveryRunOfTheTestLatestFirst) {
  const std::string csv = ReadFileBytes(Path("csv") / "report1-p1-graph1.csv");
  const std::vector<std::string> lines = SplitAt(csv, '\n');
  ASSERT_GE(lines.size(), 2u) << csv;
  const std::vector<std::string> first = SplitAt(lines[1], ',');
  // frequency, the later run, the earlier one; no third set.
  ASSERT_EQ(first.size(), 3u) << lines[0];
  EXPECT_EQ(first[1].rfind("-1", 0), 0u);
  EXPECT_LT(std::stod(first[1]), std::stod(first[2]) - 9);
}

}  // namespace
}  // namespace vantrel
