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
#include <QVBoxLayout>

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
      QString::fromStdString(AboutVersionLine(VANTREL_VERSION, VANTREL_BUILD_DATE)), this);
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
  source.List = []() -> std::optional<std::vector<std::string>> {
    std::string error;
    const std::vector<PrinterEntry> printers = CupsPrinters(error);
    if (!error.empty()) return std::nullopt;
    std::vector<std::string> names;
    for (const PrinterEntry& p : printers) names.push_back(p.Name);
    return names;
  };
  source.SetDefault = [](const std::string& name) { return CupsSetDefaultPrinter(name); };
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
  button_ = new QPushButton(QStringLiteral("Set Default Printer"), this);
  button_->setObjectName(QStringLiteral("Command1"));
  // 2000 twips at 15 twips a pixel.
  button_->setFixedWidth(133);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(button_);
  row->addStretch();
  layout->addLayout(row);
  connect(list_, &QListWidget::itemSelectionChanged, this,
          [this] { button_->setEnabled(!list_->selectedItems().isEmpty()); });
  connect(button_, &QPushButton::clicked, this, [this] { SetDefault(); });
  button_->setEnabled(false);
  FillList();
  resize(320, 240);
}

int DefaultPrinterDialog::FillList() {
  list_->clear();
  button_->setEnabled(false);
  const std::optional<std::vector<std::string>> names =
      source_.List ? source_.List() : std::nullopt;
  listed_ = names.has_value();
  if (!names) {
    list_->addItem(QString::fromUtf8(kEnumerationError));
    return 0;
  }
  for (const std::string& name : *names) list_->addItem(QString::fromStdString(name));
  return static_cast<int>(names->size());
}

void DefaultPrinterDialog::SetDefault() {
  const QList<QListWidgetItem*> chosen = list_->selectedItems();
  if (chosen.isEmpty() || !source_.SetDefault) return;
  const std::string error = source_.SetDefault(chosen.front()->text().toStdString());
  // The error entry is no printer: refused without a word. A real printer that could
  // not be made the default is told, so the operator does not believe it was.
  if (!error.empty() && listed_)
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(error));
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
        if (!launch(QCoreApplication::applicationFilePath(), {QString::fromStdString(argument)}))
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
