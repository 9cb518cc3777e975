#include "app/dialog_service.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <memory>

namespace korvo {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QString TitleOrDefault(const QString& title) { return title.isEmpty() ? kAppTitle : title; }

class QtDialogService : public DialogService {
 public:
  void ShowMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) override {
    QMessageBox box(ToQtIcon(icon), TitleOrDefault(title), text, QMessageBox::Ok, parent);
    box.exec();
  }

  bool AskYesNo(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                bool defaultYes) override {
    QMessageBox box(ToQtIcon(icon), TitleOrDefault(title), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sí"));
    box.button(QMessageBox::No)->setText(QStringLiteral("No"));
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
  }

  int AskYesNoCancel(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) override {
    QMessageBox box(ToQtIcon(icon), TitleOrDefault(title), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Sí"));
    box.button(QMessageBox::No)->setText(QStringLiteral("No"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Cancelar"));
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) return 1;
    if (answer == QMessageBox::No) return 0;
    return -1;
  }

  std::optional<QString> GetOpenFileName(QWidget* parent, const FileDialogRequest& request) override {
    return Run(parent, request, QFileDialog::AcceptOpen);
  }

  std::optional<QString> GetSaveFileName(QWidget* parent, const FileDialogRequest& request) override {
    return Run(parent, request, QFileDialog::AcceptSave);
  }

  std::optional<PrintChoice> AskPrint(QWidget* parent) override {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer_.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    PrintChoice choice;
    choice.copies = printer_->copyCount();
    choice.printToFile = !printer_->outputFileName().isEmpty();
    printer_->setCopyCount(1);
    return choice;
  }

  void PrintText(const QString& text) override {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QTextDocument document;
    document.setPlainText(text);
    document.print(printer_.get());
  }

  void Beep() override { QApplication::beep(); }

 private:
  std::optional<QString> Run(QWidget* parent, const FileDialogRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.initialDirectory);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = ConvertFilter(request.filter);
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
      const int index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size()));
      dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
    if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
  }

  std::unique_ptr<QPrinter> printer_;
};

DialogService* g_installed = nullptr;

}  // namespace

DialogService& Dialogs() {
  static QtDialogService real;
  return g_installed != nullptr ? *g_installed : real;
}

void SetDialogService(DialogService* service) { g_installed = service; }

QStringList ConvertFilter(const QString& pipeFilter) {
  QStringList result;
  const QStringList parts = pipeFilter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts.at(i + 1);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    const QString description = parts.at(i).trimmed();
    // Qt reads the patterns from the last parentheses of the entry: a description that already
    // ends with them is kept as it is, any other gets them appended.
    if (description.endsWith(QStringLiteral("(%1)").arg(patterns))) {
      result << description;
    } else {
      result << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
  }
  return result;
}

}  // namespace korvo
