#pragma once
// The common open/save dialog as a QFileDialog.

#include <QPointer>
#include <QWidget>

#include "definitions/file_dialog.h"

namespace vantrel {

class QtFileDialog : public FileDialog {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  std::string Show(const std::string& title, FileDialogMode mode, const std::string& initialFolder,
                   const std::string& extension) override;

 private:
  QPointer<QWidget> parent_;
};

/// The name filters the dialog offers for an extension (no dot), "" for any file.
QString FileDialogFilter(const std::string& extension);

}  // namespace vantrel
