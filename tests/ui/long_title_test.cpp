// A report title far longer than the row: cut in the row, whole in its tooltip, and the
// window stays on the screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>

#include "ui/elided_label.h"
#include "window_test_fixture.h"

namespace vantrel::testing {
namespace {

TEST(LongReportTitle, IsCutInTheRowWholeInTheTooltipAndTheWindowFitsTheScreen) {
  UiFixture f;
  std::string title = "R&D ";
  while (title.size() < 265) title += "Insertion loss and return loss of every pair ";
  title.resize(265);
  ASSERT_EQ(f.Start(WindowIni(2, {}, {title, "Short"})), StartupOutcome::Running);
  f.Window.show();
  QCoreApplication::processEvents();

  const QRect screen = f.Window.screen()->availableGeometry();
  EXPECT_LE(f.Window.frameGeometry().width(), screen.width());
  EXPECT_LE(f.Window.minimumSizeHint().width(), screen.width());
  auto* row = qobject_cast<ElidedLabel*>(f.Label(0));
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->toolTip().toStdString(), title);
  const QString shown = row->ShownText();
  EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("R&&D Insertion"))) << shown.toStdString();
  EXPECT_LE(row->fontMetrics().size(Qt::TextShowMnemonic, shown).width(),
            row->contentsRect().width());
  // The preview button of the row is still inside the window.
  const QWidget* preview = f.Preview(0);
  EXPECT_LE(preview->mapTo(&f.Window, QPoint(preview->width(), 0)).x(), f.Window.width());

  auto* shortRow = qobject_cast<ElidedLabel*>(f.Label(1));
  EXPECT_EQ(shortRow->ShownText(), QStringLiteral("Short"));
  // A wider window shows more of the title.
  const int before = static_cast<int>(shown.size());
  f.Window.resize(f.Window.width() + 200, f.Window.height());
  QCoreApplication::processEvents();
  EXPECT_GT(row->ShownText().size(), before);
}

}  // namespace
}  // namespace vantrel::testing
