#include "ui/qt_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace vantrel {

namespace {

QStringList Extensions(const std::string& extension) {
  return QString::fromStdString(extension).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

}  // namespace

QString FileDialogFilter(const std::string& extension) {
  const QStringList extensions = Extensions(extension);
  if (extensions.isEmpty()) return QStringLiteral("All files (*);;Text files (*.txt)");
  QStringList filters;
  for (const QString& e : extensions)
    filters << QStringLiteral("%1 files (*.%2)").arg(e.toUpper(), e);
  filters << QStringLiteral("All files (*)");
  return filters.join(QStringLiteral(";;"));
}

std::string QtFileDialog::Show(const std::string& title, FileDialogMode mode,
                               const std::string& initialFolder, const std::string& extension) {
  QFileDialog dialog(parent_, QString::fromStdString(title), QString::fromStdString(initialFolder),
                     FileDialogFilter(extension));
  const QStringList extensions = Extensions(extension);
  if (!extensions.isEmpty()) dialog.setDefaultSuffix(extensions.front());
  // The filter decides what a name without an extension becomes.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, extensions](const QString& filter) {
                     for (const QString& e : extensions)
                       if (filter.contains(QStringLiteral("(*.%1)").arg(e)))
                         dialog.setDefaultSuffix(e);
                   });
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
