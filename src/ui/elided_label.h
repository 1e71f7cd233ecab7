#pragma once
// A one-line label that cuts its text with "…" to the width it is given, so that a
// long text never widens its window.

#include <QLabel>

namespace vantrel {

class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ElidedLabel(QWidget* parent = nullptr);
  /// The text as it is drawn at the label's width ("&&" still doubled).
  QString ShownText() const;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vantrel
