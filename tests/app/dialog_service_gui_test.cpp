// The real dialog service: message boxes (icons, titles, Spanish buttons, answers) and file dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/dialog_service.h"
#include "app/translations.h"

namespace korvo {
namespace {

// Runs `check` on the modal dialog of type T that `show` opens, once it is up.
template <class T>
void WhenShown(const std::function<void(T*)>& check) {
  QTimer::singleShot(0, [check] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    check(dialog);
    if (dialog->isVisible()) dialog->reject();  // never leave a test waiting
  });
}

// Message boxes: icon, title, the buttons ("*" the default) and the answer of a click; then the file dialogs.
TEST(QtDialogService, MessageBoxesAndFileDialogs) {
  ASSERT_TRUE(InstallSpanishQtTexts(*QCoreApplication::instance()));
  SetDialogService(nullptr);
  struct Case {
    const char* what;
    std::function<int()> ask;
    QMessageBox::StandardButton click;
    QMessageBox::Icon icon;
    QString title;
    QString buttons;
    int answer;
  };
  const QString text = QStringLiteral("texto");
  const QString title = QStringLiteral("Título");
  DialogService& real = Dialogs();
  const std::vector<Case> cases = {
      {"message without a title", [&] { return real.ShowMessage(nullptr, text, {}, MessageIcon::Critical), 0; },
       QMessageBox::Ok, QMessageBox::Critical, kAppTitle, QStringLiteral("Aceptar"), 0},
      {"exclamation", [&] { return real.ShowMessage(nullptr, text, title, MessageIcon::Exclamation), 0; },
       QMessageBox::Ok, QMessageBox::Warning, title, QStringLiteral("Aceptar"), 0},
      {"yes/no, Yes the default", [&] { return int(real.AskYesNo(nullptr, text, title, MessageIcon::Question, true)); },
       QMessageBox::Yes, QMessageBox::Question, title, QStringLiteral("Sí* No"), 1},
      {"yes/no, No the default", [&] { return int(real.AskYesNo(nullptr, text, {}, MessageIcon::Information, false)); },
       QMessageBox::No, QMessageBox::Information, kAppTitle, QStringLiteral("Sí No*"), 0},
      {"three answers: Yes", [&] { return real.AskYesNoCancel(nullptr, text, {}, MessageIcon::Information); },
       QMessageBox::Yes, QMessageBox::Information, kAppTitle, QStringLiteral("Sí No* Cancelar"), 1},
      {"three answers: No", [&] { return real.AskYesNoCancel(nullptr, text, {}, MessageIcon::None); }, QMessageBox::No,
       QMessageBox::NoIcon, kAppTitle, QStringLiteral("Sí No* Cancelar"), 0},
      {"three answers: Cancelar", [&] { return real.AskYesNoCancel(nullptr, text, title, MessageIcon::Question); },
       QMessageBox::Cancel, QMessageBox::Question, title, QStringLiteral("Sí No* Cancelar"), -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WhenShown<QMessageBox>([&c, &text](QMessageBox* box) {
      EXPECT_EQ(box->text(), text);
      EXPECT_EQ(box->icon(), c.icon);
      EXPECT_EQ(box->windowTitle(), c.title);
      QStringList buttons;
      for (const auto kind : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
        if (QAbstractButton* button = box->button(kind)) {
          buttons << button->text().remove(QLatin1Char('&')) + (box->defaultButton() == button ? QStringLiteral("*") : QString());
        }
      }
      EXPECT_EQ(buttons.join(QLatin1Char(' ')), c.buttons);
      box->button(c.click)->click();
    });
    EXPECT_EQ(c.ask(), c.answer);
  }
  // The file dialogs take the filter, its index, the folder and the default extension.
  QTemporaryDir folder;
  FileDialogRequest request;
  request.title = QStringLiteral("Guardar fichero de resultados");
  request.filter = QStringLiteral("Archivo de texto (*.txt)|*.txt|Datos|*.dat;*.tmp|Todos (*.*)|*.*");
  request.filterIndex = 2;
  request.defaultExtension = QStringLiteral("txt");
  request.initialDirectory = folder.path();
  WhenShown<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), request.title);
    EXPECT_EQ(dialog->nameFilters(), (QStringList{QStringLiteral("Archivo de texto (*.txt)"),
                                                  QStringLiteral("Datos (*.dat *.tmp)"), QStringLiteral("Todos (*.*)")}));
    EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("Datos (*.dat *.tmp)"));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));  // Korvo asks itself
    dialog->selectFile(QStringLiteral("resultados"));
    static_cast<QDialog*>(dialog)->accept();  // through its public slot
  });
  const std::optional<QString> saved = Dialogs().GetSaveFileName(nullptr, request);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(QDir::cleanPath(*saved), QDir(folder.path()).filePath(QStringLiteral("resultados.txt")));
  request.initialName = QStringLiteral("propuesto.txt");
  WhenShown<QFileDialog>([](QFileDialog* dialog) {
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_TRUE(dialog->selectedFiles().value(0).endsWith(QStringLiteral("/propuesto.txt")));
    dialog->reject();
  });
  EXPECT_FALSE(Dialogs().GetOpenFileName(nullptr, request).has_value());
}

}  // namespace
}  // namespace korvo
