#include "ui/qt_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vantrel {

QString FileDialogFilter(const std::string& extension) {
  if (extension.empty()) return QStringLiteral("All files (*);;Text files (*.txt)");
  const QString e = QString::fromStdString(extension);
  return QStringLiteral("%1 files (*.%2);;All files (*)").arg(e.toUpper(), e);
}

std::string QtFileDialog::Show(const std::string& title, FileDialogMode mode,
                               const std::string& initialFolder, const std::string& extension) {
  QFileDialog dialog(parent_, QString::fromStdString(title), QString::fromStdString(initialFolder),
                     FileDialogFilter(extension));
  if (!extension.empty()) dialog.setDefaultSuffix(QString::fromStdString(extension));
  switch (mode) {
    case FileDialogMode::Select:
      dialog.setFileMode(QFileDialog::ExistingFile);
      break;
    case FileDialogMode::SelectMulti:
      dialog.setFileMode(QFileDialog::ExistingFiles);
      break;
    case FileDialogMode::Save:
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      break;
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return {};
  if (files.size() == 1) return files.front().toStdString();
  // Several files come back as the folder, then each name, NUL-separated.
  std::string joined = QFileInfo(files.front()).absolutePath().toStdString();
  for (const QString& file : files) {
    joined += '\0';
    joined += QFileInfo(file).fileName().toStdString();
  }
  return joined;
}

}  // namespace vantrel
