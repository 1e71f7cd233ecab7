#include "ui/qt_prompter.h"

#include <QInputDialog>
#include <QMessageBox>

#include "support/text.h"

namespace vantrel {

namespace {

QMessageBox::Icon IconOf(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Information:
      return QMessageBox::Information;
    case PromptIcon::Exclamation:
      return QMessageBox::Warning;
    case PromptIcon::Critical:
      return QMessageBox::Critical;
    case PromptIcon::Question:
      return QMessageBox::Question;
    case PromptIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::Ok:
      return QMessageBox::Ok;
    case PromptButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case PromptButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

PromptAnswer AnswerOf(int button, PromptButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return PromptAnswer::Ok;
    case QMessageBox::Retry:
      return PromptAnswer::Retry;
    case QMessageBox::Yes:
      return PromptAnswer::Yes;
    case QMessageBox::No:
      return PromptAnswer::No;
    case QMessageBox::Cancel:
      return PromptAnswer::Cancel;
    default:
      break;
  }
  // Escape or the window's close button.
  return SafeAnswer(buttons);
}

}  // namespace

QString QtPrompter::TitleOf(const std::string& title) const {
  if (!title.empty()) return QString::fromStdString(title);
  return defaultTitle_ ? QString::fromStdString(*defaultTitle_) : QStringLiteral("Vantrel");
}

PromptAnswer QtPrompter::Message(const std::string& text, const std::string& title, PromptIcon icon,
                                 PromptButtons buttons) {
  QMessageBox box(IconOf(icon), TitleOf(title),
                  QString::fromStdString(CarriageReturnsToLineBreaks(text)), ButtonsOf(buttons),
                  parent_);
  if (buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel) {
    box.setDefaultButton(QMessageBox::Yes);
  }
  return AnswerOf(box.exec(), buttons);
}

std::string QtPrompter::Input(const std::string& prompt, const std::string& title) {
  bool ok = false;
  const QString text = QInputDialog::getText(
      parent_, TitleOf(title), QString::fromStdString(prompt), QLineEdit::Normal, QString(), &ok);
  return ok ? text.toStdString() : std::string();
}

}  // namespace vantrel
