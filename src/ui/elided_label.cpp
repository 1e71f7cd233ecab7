#include "ui/elided_label.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace vantrel {

namespace {
// The label shows "&&" as "&" when it has a buddy; the cut must measure it so.
constexpr int kMnemonic = Qt::TextShowMnemonic;
}  // namespace

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QString ElidedLabel::ShownText() const {
  return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width(), kMnemonic);
}

QSize ElidedLabel::sizeHint() const {
  const QSize full = QLabel::sizeHint();
  return {std::min(full.width(), fontMetrics().averageCharWidth() * 40), full.height()};
}

QSize ElidedLabel::minimumSizeHint() const {
  const QSize full = QLabel::minimumSizeHint();
  return {std::min(full.width(), fontMetrics().averageCharWidth() * 6), full.height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int flags = static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment())) |
                    kMnemonic | Qt::TextSingleLine;
  style()->drawItemText(&painter, contentsRect(), flags, palette(), isEnabled(), ShownText(),
                        foregroundRole());
}

}  // namespace vantrel
