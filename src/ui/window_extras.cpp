#include "ui/window_extras.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "model/main_window_model.h"
#include "model/new_instance.h"
#include "platform/cups_printers.h"
#include "ui/main_window.h"

namespace vantrel {

namespace {
const char kEnumerationError[] = "Error enumerating printers.";
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("Vantrel"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(windowIcon().pixmap(64, 64));
  if (!QApplication::windowIcon().isNull())
    icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
  top->addWidget(icon);
  auto* texts = new QVBoxLayout;
  auto* title = new QLabel(QStringLiteral("Vantrel"), this);
  title->setObjectName(QStringLiteral("lblTitle"));
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  title->setFont(big);
  auto* version = new QLabel(
      QString::fromStdString(AboutVersionLine(VANTREL_VERSION, VANTREL_RELEASE_DATE)), this);
  version->setObjectName(QStringLiteral("lblVersion"));
  texts->addWidget(title);
  texts->addWidget(version);
  top->addLayout(texts, 1);
  layout->addLayout(top);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("cmdOK"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  setMinimumWidth(320);
}

PrinterSource CupsPrinterSource() {
  PrinterSource source;
  source.List = []() -> std::optional<std::vector<PrinterEntry>> {
    std::string error;
    std::vector<PrinterEntry> printers = CupsLocalQueues(error);
    if (!error.empty()) return std::nullopt;
    return printers;
  };
  source.SetDefault = [](const std::string& name) { return CupsSetDefault(name); };
  return source;
}

DefaultPrinterDialog::DefaultPrinterDialog(PrinterSource source, QWidget* parent)
    : QDialog(parent), source_(std::move(source)) {
  setObjectName(QStringLiteral("frmDefaultPrinter"));
  setWindowTitle(QStringLiteral("Default Printer"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("List1"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  layout->addWidget(list_);
  said_ = new QLabel(this);
  said_->setObjectName(QStringLiteral("lblDefault"));
  said_->setWordWrap(true);
  layout->addWidget(said_);
  button_ = new QPushButton(QStringLiteral("Set Default Printer"), this);
  button_->setObjectName(QStringLiteral("Command1"));
  // 2000 twips at 15 twips a pixel.
  button_->setFixedWidth(133);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("CmdClose"));
  auto* row = new QHBoxLayout;
  row->addWidget(button_);
  row->addStretch();
  row->addWidget(close);
  layout->addLayout(row);
  connect(list_, &QListWidget::itemSelectionChanged, this,
          [this] { button_->setEnabled(!list_->selectedItems().isEmpty()); });
  connect(button_, &QPushButton::clicked, this, [this] { SetDefault(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  button_->setEnabled(false);
  FillList();
  resize(360, 280);
}

int DefaultPrinterDialog::FillList() {
  list_->clear();
  button_->setEnabled(false);
  const std::optional<std::vector<PrinterEntry>> printers =
      source_.List ? source_.List() : std::nullopt;
  listed_ = printers.has_value();
  if (!printers) {
    list_->addItem(QString::fromUtf8(kEnumerationError));
    said_->clear();
    return 0;
  }
  QString current;
  for (const PrinterEntry& p : *printers) {
    auto* item = new QListWidgetItem(QString::fromStdString(p.Name), list_);
    if (!p.IsDefault) continue;
    current = item->text();
    QFont bold = item->font();
    bold.setBold(true);
    item->setFont(bold);
    item->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    item->setToolTip(QStringLiteral("The current default printer"));
  }
  said_->setText(current.isEmpty() ? QStringLiteral("No default printer is set.")
                                   : QStringLiteral("Current default: %1").arg(current));
  return static_cast<int>(printers->size());
}

void DefaultPrinterDialog::SetDefault() {
  const QList<QListWidgetItem*> chosen = list_->selectedItems();
  if (chosen.isEmpty() || !source_.SetDefault) return;
  const QString name = chosen.front()->text();
  const DefaultChange change = source_.SetDefault(name.toStdString());
  // The error entry is no printer: refused without a word. A real printer that could
  // not be made the default is told, so the operator does not believe it was.
  if (!listed_) return;
  if (!change.Error.empty()) {
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(change.Error));
    return;
  }
  FillList();
  const QList<QListWidgetItem*> again = list_->findItems(name, Qt::MatchExactly);
  if (!again.isEmpty()) list_->setCurrentItem(again.front());
  said_->setText(change.Scope == DefaultScope::Everyone
                     ? QStringLiteral("%1 is now the default printer of this computer, for "
                                      "every user.")
                           .arg(name)
                     : QStringLiteral("%1 is now your own default printer. Only an "
                                      "administrator can set the default of this computer "
                                      "for every user.")
                           .arg(name));
}

QPoint NewInstancePosition(const QRect& frame, const QRect& screen) {
  // About a title bar's height, as window managers cascade.
  constexpr int kStep = 32;
  QPoint at = frame.topLeft() + QPoint(kStep, kStep);
  if (at.x() + frame.width() > screen.right() + 1) at.setX(screen.left());
  if (at.y() + frame.height() > screen.bottom() + 1) at.setY(screen.top());
  return at;
}

QStringList NewInstanceArguments(const std::string& argument, QPoint position) {
  // Qt takes -qwindowgeometry out of the arguments before the program reads them. In
  // its X11 form a "-" would count from the screen's far edge.
  return {QStringLiteral("-qwindowgeometry"),
          QStringLiteral("+%1+%2").arg(std::max(0, position.x())).arg(std::max(0, position.y())),
          QString::fromStdString(argument)};
}

void ConnectWindowExtras(MainWindow& window, MainWindowModel& model, Launcher launch,
                         PrinterSource printers) {
  if (!launch)
    launch = [](const QString& program, const QStringList& arguments) {
      return QProcess::startDetached(program, arguments);
    };
  QObject::connect(window.AboutAction(), &QAction::triggered, &window, [&window, &model] {
    model.KeepOnTop(false);
    AboutBox box(&window);
    box.exec();
  });
  QObject::connect(
      window.OpenNewInstanceAction(), &QAction::triggered, &window, [&window, &model, launch] {
        model.KeepOnTop(false);
        const std::string argument =
            NewInstanceArgument(model.State().DefinitionPath, model.State().Selection);
        const QScreen* screen = window.screen();
        const QPoint at = NewInstancePosition(
            window.frameGeometry(), screen ? screen->availableGeometry() : window.frameGeometry());
        if (!launch(QCoreApplication::applicationFilePath(), NewInstanceArguments(argument, at)))
          QMessageBox::warning(&window, QStringLiteral("Vantrel"),
                               QStringLiteral("A new instance could not be started."));
      });
  QObject::connect(window.SetDefaultPrinterAction(), &QAction::triggered, &window,
                   [&window, &model, printers] {
                     model.KeepOnTop(false);
                     DefaultPrinterDialog dialog(printers, &window);
                     dialog.exec();
                   });
  window.AboutAction()->setEnabled(true);
  window.OpenNewInstanceAction()->setEnabled(true);
  window.SetDefaultPrinterAction()->setEnabled(true);
}

}  // namespace vantrel
