// The print preview as an operator meets it: opened from the main window's row
// buttons on the bundled sample, zoomed, scrolled, printed, saved and closed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImageReader>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>

#include "common/shell_run.h"
#include "common/tool_run.h"
#include "platform/print/spooler.h"
#include "render/fake_data_source.h"
#include "support/text.h"
#include "ui/preview_connection.h"
#include "ui/report_window.h"
#include "window_test_fixture.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSamples = fs::path(VANTREL_SOURCE_DIR) / "samples";

struct PreviewFixture : UiFixture {
  PreviewConnection* Connection = nullptr;
  std::string Data;

  PreviewFixture() {
    fs::copy_file(kSamples / "logo.png", Dir.path() / "logo.png");
    Model.SetPrinterName(kBuiltInPdfPrinter);
    Connection = ConnectPreview(Window, Model, Dialog);
  }
  void StartSample() {
    Data = Dir.Write("cable.txt", ReadFileBytes(kSamples / "sample-results.txt")).string();
    ASSERT_EQ(Start(ReadFileBytes(kSamples / "sample.ini"), {}, Data), StartupOutcome::Running);
  }
  ReportWindow* Shown() { return Connection->WindowIfMade(); }
  template <typename T>
  T* In(const char* name) {
    return Shown()->findChild<T*>(QString::fromUtf8(name));
  }
  QComboBox* Zoom() { return In<QComboBox>("CboZoom"); }
  void TypeZoom(const char* text) {
    // Typed as an operator types: into the box holding the focus, where the box's
    // own completion (if it had one) would act.
    QLineEdit* box = Zoom()->lineEdit();
    box->window()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(box->window()));
    box->setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(box->hasFocus());
    Zoom()->lineEdit()->clear();
    QTest::keyClicks(Zoom()->lineEdit(), QString::fromUtf8(text));
    QTest::keyClick(Zoom()->lineEdit(), Qt::Key_Return);
  }
  int TopLevelPreviews() const {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == QStringLiteral("FrmReport")) ++n;
    return n;
  }
};

TEST(PrintPreview, RowButtonsShowTheirReportInOneWindowThatClosingOnlyHides) {
  PreviewFixture f;
  f.StartSample();
  ASSERT_EQ(f.Shown(), nullptr);
  QTest::mouseClick(f.Preview(1), Qt::LeftButton);
  ReportWindow* preview = f.Shown();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->isVisible());
  EXPECT_EQ(f.Connection->Model()->ReportIndex(), 1);
  EXPECT_EQ(preview->windowTitle(), QStringLiteral("Near-end crosstalk - Print Preview"));
  // Out of the way while the preview is up.
  EXPECT_FALSE(f.Window.isVisible());
  ASSERT_NE(f.Connection->Model()->Page(), nullptr);
  EXPECT_EQ(f.In<QPushButton>("CmdClose")->text(), QStringLiteral("&Close"));

  QTest::mouseClick(f.In<QPushButton>("CmdClose"), Qt::LeftButton);
  EXPECT_FALSE(preview->isVisible());
  EXPECT_TRUE(f.Window.isVisible());

  QTest::mouseClick(f.Preview(0), Qt::LeftButton);
  EXPECT_EQ(f.Shown(), preview);
  EXPECT_EQ(f.TopLevelPreviews(), 1);
  EXPECT_TRUE(preview->isVisible());
  // TEST_DESCRIPTION filled from the result file, as on the page.
  EXPECT_EQ(preview->windowTitle().toStdString().find("TEST_DESCRIPTION"), std::string::npos);

  auto* prev = f.In<QPushButton>("PrevReport");
  auto* next = f.In<QPushButton>("NextReport");
  EXPECT_FALSE(prev->isEnabled());
  QTest::mouseClick(next, Qt::LeftButton);
  QTest::mouseClick(next, Qt::LeftButton);
  EXPECT_EQ(f.Connection->Model()->ReportIndex(), 2);
  EXPECT_EQ(preview->windowTitle(),
            QStringLiteral("Far-end crosstalk, all combinations - Print Preview"));
  QTest::mouseClick(prev, Qt::LeftButton);
  EXPECT_EQ(f.Connection->Model()->ReportIndex(), 1);

  // The window's own close button hides it as well.
  preview->close();
  EXPECT_FALSE(preview->isVisible());
  EXPECT_EQ(f.TopLevelPreviews(), 1);

  // So does Esc, wherever the focus is in it.
  QTest::mouseClick(f.Preview(0), Qt::LeftButton);
  ASSERT_TRUE(preview->isVisible());
  QTest::keyClick(f.In<QWidget>("PicPreview"), Qt::Key_Escape);
  EXPECT_FALSE(preview->isVisible());
  EXPECT_TRUE(f.Window.isVisible());
}

TEST(PrintPreview, ZoomBoxMouseZoomAndScrollBars) {
  PreviewFixture f;
  f.StartSample();
  QTest::mouseClick(f.Preview(0), Qt::LeftButton);
  ReportWindow* preview = f.Shown();
  preview->resize(700, 600);
  QCoreApplication::processEvents();
  PreviewModel& model = *f.Connection->Model();
  EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("100%"));

  f.TypeZoom("50");
  EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("50%"));
  EXPECT_DOUBLE_EQ(model.Zoom(), 0.5);
  f.TypeZoom("0.5");
  EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("50%"));
  // Read as typed, never completed from the list ("10" is not "100%"): a number below
  // 25 is a factor, held to 200 %.
  for (const char* factor : {"10", "15", "5", "20"}) {
    f.TypeZoom(factor);
    EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("200%")) << factor;
    EXPECT_DOUBLE_EQ(model.Zoom(), 2.0) << factor;
  }

  auto* h = f.In<QScrollBar>("HScrollPreview");
  auto* v = f.In<QScrollBar>("VScrollPreview");
  // At 200 % the page is larger than the view both ways.
  EXPECT_TRUE(h->isEnabled());
  EXPECT_TRUE(v->isEnabled());
  EXPECT_GT(h->maximum(), 0);
  // The wheel over the page scrolls it: down, and across with Shift.
  auto* page = f.In<QWidget>("PicPreview");
  const auto wheel = [page](QPoint angle, Qt::KeyboardModifiers modifiers) {
    const QPointF at(page->width() / 2.0, page->height() / 2.0);
    QWheelEvent event(at, page->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(page, &event);
  };
  wheel({0, -120}, Qt::NoModifier);
  EXPECT_GT(v->value(), 0);
  EXPECT_GT(model.ScrollV(), 0);
  EXPECT_EQ(h->value(), 0);
  wheel({0, -120}, Qt::ShiftModifier);
  EXPECT_GT(h->value(), 0);
  EXPECT_GT(model.ScrollH(), 0);
  wheel({0, 120}, Qt::NoModifier);
  EXPECT_EQ(v->value(), 0);
  v->setValue(v->maximum());
  EXPECT_DOUBLE_EQ(model.ScrollV(), 1.0);

  f.TypeZoom("25");
  EXPECT_FALSE(h->isEnabled());
  EXPECT_FALSE(v->isEnabled());

  f.TypeZoom("100");
  auto* picture = f.In<QWidget>("PicPreview");
  for (int i = 0; i < 4; ++i) QTest::mouseClick(picture, Qt::RightButton);
  EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("6%"));
  EXPECT_DOUBLE_EQ(model.Zoom(), 0.0625);
  // Leaving the box reads "6%" as the factor 6.
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(f.Zoom(), &out);
  EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("200%"));
  QTest::mouseClick(picture, Qt::LeftButton);
  EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("400%"));

  // A choice from the list goes back to the page's top-left corner.
  v->setValue(v->maximum() / 2);
  ASSERT_GT(model.ScrollV(), 0);
  f.Zoom()->setCurrentIndex(1);
  Q_EMIT f.Zoom()->activated(1);
  EXPECT_EQ(f.Zoom()->currentText(), QStringLiteral("50%"));
  EXPECT_DOUBLE_EQ(model.ScrollV(), 0);
}

TEST(PrintPreview, PrintSendsThatReportAloneAsOneJob) {
  PreviewFixture f;
  f.StartSample();
  QTest::mouseClick(f.Preview(1), Qt::LeftButton);
  QTest::mouseClick(f.In<QPushButton>("CmdPrint"), Qt::LeftButton);
  EXPECT_FALSE(f.Shown()->isVisible());
  EXPECT_TRUE(f.Window.isVisible());
  const PrintRunResult& run = f.Model.LastPrint();
  EXPECT_EQ(run.Selected, 1);
  EXPECT_EQ(run.Produced, 1);
  EXPECT_TRUE(run.JobEnded);
  EXPECT_FALSE(f.Model.PrintingFlag());
  EXPECT_TRUE(f.Preview(1)->isEnabled());

  std::vector<fs::path> pdfs;
  for (const auto& entry : fs::directory_iterator(f.Dir.path()))
    if (entry.path().extension() == ".pdf") pdfs.push_back(entry.path());
  ASSERT_EQ(pdfs.size(), 1u);
  const std::string text = RunShell("pdftotext " + ShellQuote(pdfs[0].string()) + " -").Out;
  EXPECT_NE(text.find("Near-end crosstalk"), std::string::npos) << text;
  EXPECT_EQ(text.find("Insertion loss"), std::string::npos);
  EXPECT_EQ(RunShell("pdfinfo " + ShellQuote(pdfs[0].string()) + " | grep '^Pages:'").Out,
            "Pages:           1\n");
}

TEST(PrintPreview, PrintOnlyPrintsEvenWhereTheMainWindowsPrintSavesAPdf) {
  PreviewFixture f;
  const fs::path spool = f.Dir.path() / "spool";
  const fs::path final = f.Dir.path() / "certificates" / "cable.pdf";
  fs::create_directories(spool);
  f.Data = f.Dir.Write("cable.txt", ReadFileBytes(kSamples / "sample-results.txt")).string();
  const std::string ini =
      ReplaceAll(ReadFileBytes(kSamples / "sample.ini"), "APPNAME=Vantrel sample certificate",
                 "APPNAME=" + final.string() + "\nAUTOPDF_TEMPDIR=" + spool.string() + "/");
  ASSERT_EQ(f.Start(ini, {}, f.Data), StartupOutcome::Running);
  QTest::mouseClick(f.Preview(1), Qt::LeftButton);
  QTest::mouseClick(f.In<QPushButton>("CmdPrint"), Qt::LeftButton);
  const PrintRunResult& run = f.Model.LastPrint();
  EXPECT_TRUE(run.JobEnded);
  // No waiting for the PDF printer's file, no copy under APPNAME.
  EXPECT_EQ(run.Pdf, PdfOutcome::None);
  EXPECT_FALSE(fs::exists(final));
  std::vector<fs::path> pdfs;
  for (const auto& entry : fs::directory_iterator(spool)) pdfs.push_back(entry.path());
  ASSERT_EQ(pdfs.size(), 1u);
  // The job keeps the printer's own title, not a reserved temporary name.
  EXPECT_EQ(pdfs[0].filename().string().rfind("tmpreport", 0), std::string::npos) << pdfs[0];
  const std::string text = RunShell("pdftotext " + ShellQuote(pdfs[0].string()) + " -").Out;
  EXPECT_NE(text.find("Near-end crosstalk"), std::string::npos) << text;
}

TEST(PrintPreview, SavePictureWritesTheFormatItsNameAsksFor) {
  PreviewFixture f;
  f.StartSample();
  QTest::mouseClick(f.Preview(0), Qt::LeftButton);
  const std::string png = (f.Dir.path() / "page.png").string();
  const std::string bmp = (f.Dir.path() / "page.bmp").string();
  f.Dialog.Answers = {png, bmp, ""};
  auto* save = f.In<QPushButton>("cmdSaveAs");
  for (int i = 0; i < 3; ++i) QTest::mouseClick(save, Qt::LeftButton);
  ASSERT_EQ(f.Dialog.Questions.size(), 3u);
  EXPECT_EQ(f.Dialog.Questions[0].Title, "Save Picture File");
  EXPECT_EQ(f.Dialog.Questions[0].Mode, FileDialogMode::Save);
  // The bitmap first, PNG beside it.
  EXPECT_EQ(f.Dialog.Questions[0].Extension, "bmp,png");
  for (const auto& [path, format] : {std::pair{png, "png"}, std::pair{bmp, "bmp"}}) {
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), QByteArray(format)) << path;
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << path;
    // A4 at 150 dpi, with something drawn on it.
    EXPECT_EQ(image.size(), QSize(1240, 1754));
    int dark = 0;
    for (int y = 0; y < image.height(); y += 7)
      for (int x = 0; x < image.width(); x += 7)
        if (qGray(image.pixel(x, y)) < 128) ++dark;
    EXPECT_GT(dark, 100) << path;
  }
  EXPECT_TRUE(f.Prompter.Messages.empty());

  // A folder that does not exist: said, and nothing written.
  const std::string lost = (f.Dir.path() / "missing" / "page.png").string();
  f.Dialog.Answers = {lost};
  QTest::mouseClick(save, Qt::LeftButton);
  ASSERT_EQ(f.Prompter.Messages.size(), 1u);
  EXPECT_EQ(f.Prompter.Messages[0].Title, "Save Picture File");
  EXPECT_FALSE(fs::exists(lost));
}

// Pixels whose grey differs by more than anti-aliasing can account for.
int DifferentPixels(const QImage& a, const QImage& b) {
  int different = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 96) ++different;
  return different;
}

TEST(PrintPreview, SavedPageIsThePageTheBatchToolDrawsAtTheSameResolution) {
  PreviewFixture f;
  f.StartSample();
  const fs::path pages = f.Dir.path() / "pages";
  const ToolRun batch =
      RunReportTool(f.Dir.path(), {"--definition", f.Definition, "--data", f.Data, "--png",
                                   pages.string(), "--dpi", "150", "--reports", "2"});
  ASSERT_EQ(batch.Status, 0) << batch.Err;
  const QImage expected(QString::fromStdString((pages / "page-001.png").string()));
  ASSERT_FALSE(expected.isNull());

  QTest::mouseClick(f.Preview(1), Qt::LeftButton);
  const std::string png = (f.Dir.path() / "page.png").string();
  const std::string bmp = (f.Dir.path() / "page.bmp").string();
  f.Dialog.Answers = {png, bmp};
  auto* save = f.In<QPushButton>("cmdSaveAs");
  QTest::mouseClick(save, Qt::LeftButton);
  QTest::mouseClick(save, Qt::LeftButton);
  for (const std::string& path : {png, bmp}) {
    const QImage saved(QString::fromStdString(path));
    ASSERT_EQ(saved.size(), expected.size()) << path;
    const int different = DifferentPixels(saved.convertToFormat(QImage::Format_RGB32),
                                          expected.convertToFormat(QImage::Format_RGB32));
    // Text and curves land on the same pixels; only their edges may shade differently.
    // (A replay of the screen's picture moves text by a pixel: 0.4 % of the page.)
    EXPECT_LT(different, saved.width() * saved.height() / 10000) << path;
  }
}

// Each graph's data takes long enough for the operator to close the window between.
class SlowSource : public FakeDataSource {
 public:
  std::function<void()> OnRead;
  ReadTestDataResult ReadTestData(const ReadTestDataRequest& request, bool all) override {
    if (OnRead) OnRead();
    return FakeDataSource::ReadTestData(request, all);
  }
};

class CaptionRecorder : public PreviewObserver {
 public:
  explicit CaptionRecorder(PreviewModel& model) : model_(model) {}
  void PreviewChanged(PreviewChange what) override {
    if (what == PreviewChange::Production) Captions.push_back(model_.CloseCaption());
  }
  std::vector<std::string> Captions;

 private:
  PreviewModel& model_;
};

TEST(PrintPreview, ClosingWhileDrawingCancelsAndKeepsTheWindow) {
  auto state = std::make_unique<ProgramState>();
  SlowSource data;
  RecordingPrompter ask;
  ScriptedDialog dialog;
  RenderContext context{.State = *state, .Data = data, .Ask = ask};
  state->Ini.NumReports = 1;
  ReportDefinition& report = state->Reports[0];
  report.Title = "Six graphs";
  report.SlotsX = 2;
  report.SlotsY = 3;
  report.GraphCount = 6;
  for (int g = 0; g < 6; ++g) {
    report.Graphs[static_cast<std::size_t>(g)].Data[0] = "Attenuation";
    report.Graphs[static_cast<std::size_t>(g)].Cols[0] = {1, 2, 3};
    report.Graphs[static_cast<std::size_t>(g)].Slot = static_cast<int16_t>(g + 1);
  }
  data.Results["Attenuation"] =
      GraphResult({"1", "2", "4"}, {{"-1", "-2", "-3"}, {"-1", "-2", "-3"}}, {"Freq", "1", "2"});
  WindowModel main(*state);
  int mainShown = 0;
  ReportWindow window(dialog, ask, [&] { ++mainShown; });
  PreviewModel preview(
      main, [&]() -> RenderContext& { return context; }, {}, window);
  window.Bind(preview);
  CaptionRecorder recorder(preview);
  preview.AddObserver(&recorder);

  auto* close = window.findChild<QPushButton*>(QStringLiteral("CmdClose"));
  QString captionWhileDrawing;
  bool printWhileDrawing = true;
  data.OnRead = [&] {
    if (data.Requests.size() != 1) return;
    captionWhileDrawing = close->text();
    printWhileDrawing = window.findChild<QPushButton*>(QStringLiteral("CmdPrint"))->isEnabled();
    QTest::mouseClick(close, Qt::LeftButton);
  };
  window.show();
  EXPECT_EQ(preview.ShowReport(0), ProduceOutcome::Cancelled);
  EXPECT_EQ(captionWhileDrawing, QStringLiteral("&Cancel"));
  EXPECT_FALSE(printWhileDrawing);
  EXPECT_EQ(recorder.Captions, (std::vector<std::string>{"&Cancel", "&Close"}));
  EXPECT_LT(data.Requests.size(), 6u);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(mainShown, 1);
  EXPECT_EQ(close->text(), QStringLiteral("&Close"));
  EXPECT_FALSE(main.PreviewBusy());

  // The same window draws the whole report next time, and the page drawn before is
  // not left on show meanwhile.
  ASSERT_NE(preview.Page(), nullptr);
  auto* picture = window.findChild<QWidget*>(QStringLiteral("PicPreview"));
  bool oldPageShown = true;
  data.OnRead = [&] {
    if (data.Requests.size() != 1) return;
    const QImage view = picture->grab().toImage();
    oldPageShown = preview.Page() != nullptr ||
                   view.pixel(view.width() / 2, view.height() / 2) == qRgb(255, 255, 255);
  };
  data.Requests.clear();
  window.ShowReport(0);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(data.Requests.size(), 6u);
  EXPECT_FALSE(oldPageShown);
  EXPECT_NE(preview.Page(), nullptr);
  window.Unbind();  // the model is made after the window, so it goes first
}

}  // namespace
}  // namespace vantrel::testing
