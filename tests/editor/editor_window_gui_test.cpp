// frmEditor and frmReemplazar driven through their menus and controls, offscreen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "editor/editor_window.h"
#include "editor/replace_dialog.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::FakeDialogService;
using Kind = testing::RecordedDialog::Kind;

const QString kOverwriteQuestion =
    QStringLiteral(" ¡El Fichero ya existe! ") + QStringLiteral("\r\n") + QStringLiteral(" ¿Desea sobreescribirlo? ");
const QString kSaveChangesQuestion = QStringLiteral(" ¿Desea guardar cambios? ");
const QString kFilter = QStringLiteral(
    "Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*");

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

std::vector<Kind> Kinds(const FakeDialogService& fake) {
  std::vector<Kind> kinds;
  for (const auto& dialog : fake.dialogs) kinds.push_back(dialog.kind);
  return kinds;
}

class EditorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QApplication::clipboard()->clear();
    window.show();
  }

  QString Path(const QString& name) const { return dir.filePath(name); }

  QAction* Action(const QString& name) {
    auto* action = window.findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name.toStdString();
    return action;
  }

  // The item `index` of a menu array ("Fuente", "Tamaño").
  QAction* ArrayItem(const QString& name, int index) {
    for (QAction* action : window.findChildren<QAction*>(name)) {
      if (action->property("index").toInt() == index) return action;
    }
    ADD_FAILURE() << name.toStdString() << index;
    return nullptr;
  }

  QPlainTextEdit* Text1() { return window.findChild<QPlainTextEdit*>(QStringLiteral("Text1")); }

  void SelectRange(int from, int to) {
    QTextCursor cursor = Text1()->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    Text1()->setTextCursor(cursor);
  }

  void OpenEditMenu() {
    auto* menu = window.findChild<QMenu*>(QStringLiteral("mnuEdicion"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("&Edición "));
    Q_EMIT menu->aboutToShow();
  }

  QTemporaryDir dir;
  FakeDialogService fake;
  EditorWindow window;
};

TEST_F(EditorWindowTest, StartsEmptyInCourierNew10) {
  EXPECT_EQ(window.objectName(), QStringLiteral("frmEditor"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_TRUE(Text1()->toPlainText().isEmpty());
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Courier New"));
  EXPECT_EQ(Text1()->font().pointSize(), 10);
  EXPECT_TRUE(ArrayItem(QStringLiteral("Fuente"), 0)->isChecked());
  EXPECT_TRUE(ArrayItem(QStringLiteral("Tamaño"), 1)->isChecked());
  EXPECT_TRUE(EditorOpenedFileName().isEmpty());
  struct Item {
    const char* name;
    const char* caption;
  } items[] = {{"FicheroAbrir", "A&brir..."},         {"FicheroGu", "&Guardar"},
               {"FicheroGuardar", "Guardar c&omo..."}, {"FicheroImprimir", "&Imprimir..."},
               {"FicheroSalir", "&Salir"},             {"EdiciónCortar", "&Cortar"},
               {"EdiciónCopiar", "C&opiar"},           {"EdiciónPegar", "&Pegar"},
               {"Reemplazar", "Reempla&zar caracteres"}, {"AyudaAcercaDe", "Acerca de Editor"}};
  for (const Item& item : items) {
    QAction* action = Action(QString::fromUtf8(item.name));
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), QString::fromUtf8(item.caption)) << item.name;
  }
  EXPECT_TRUE(Action(QStringLiteral("Separador1"))->isSeparator());
  EXPECT_TRUE(Action(QStringLiteral("Separador2"))->isSeparator());
}

TEST_F(EditorWindowTest, OpensAWindows1252FileWithAccentsAndCrLfIntact) {
  const QString path = Path(QStringLiteral("acentos.txt"));
  // "Año: 2026", "Cañón € ñ", "Última" in Windows-1252 bytes, CR LF line ends.
  const QByteArray bytes("A\xF1o: 2026\r\nCa\xF1\xF3n \x80 \xF1\r\n\xDAltima\r\n");
  WriteBytes(path, bytes);
  fake.fileAnswers = {path};
  Action(QStringLiteral("FicheroAbrir"))->trigger();

  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("Año: 2026\nCañón € ñ\nÚltima"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto - ") + path);
  EXPECT_EQ(EditorOpenedFileName(), path);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].kind, Kind::Open);
  EXPECT_EQ(fake.dialogs[0].request.filter, kFilter);

  // "&Guardar" after only opening asks for a name; the copy holds the same bytes.
  const QString copy = Path(QStringLiteral("copia.txt"));
  fake.fileAnswers = {copy};
  Action(QStringLiteral("FicheroGu"))->trigger();
  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::Open, Kind::Save}));
  EXPECT_EQ(fake.dialogs[1].request.filter, kFilter);
  EXPECT_EQ(ReadBytes(copy), bytes);
  EXPECT_EQ(ReadBytes(path), bytes);
  EXPECT_EQ(window.SaveName(), copy);
  EXPECT_TRUE(window.IsSaved());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto - ") + copy);

  // Now it has a save name: "&Guardar" overwrites it without asking.
  Text1()->setPlainText(QStringLiteral("otro"));
  Action(QStringLiteral("FicheroGu"))->trigger();
  EXPECT_EQ(fake.dialogs.size(), 2u);
  EXPECT_EQ(ReadBytes(copy), QByteArray("otro\r\n"));
}

TEST_F(EditorWindowTest, CancelledOpenChangesNothing) {
  Text1()->setPlainText(QStringLiteral("texto"));
  fake.fileAnswers = {QString()};
  Action(QStringLiteral("FicheroAbrir"))->trigger();
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("texto"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_TRUE(fake.Messages().isEmpty());
}

TEST_F(EditorWindowTest, SaveAsOverAnExistingFileAsksAgainAfterNoAndWritesAfterYes) {
  const QString existing = Path(QStringLiteral("existe.txt"));
  WriteBytes(existing, "viejo\r\n");
  Text1()->setPlainText(QStringLiteral("línea 1\nlínea 2"));
  fake.fileAnswers = {existing, existing};
  fake.yesNoAnswers = {false, true};
  Action(QStringLiteral("FicheroGuardar"))->trigger();

  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::Save, Kind::YesNo, Kind::Save, Kind::YesNo}));
  for (int i : {1, 3}) {
    EXPECT_EQ(fake.dialogs[i].text, kOverwriteQuestion);
    EXPECT_EQ(fake.dialogs[i].icon, MessageIcon::Information);
    EXPECT_FALSE(fake.dialogs[i].defaultYes);
  }
  EXPECT_EQ(ReadBytes(existing), QByteArray("l\xEDnea 1\r\nl\xEDnea 2\r\n"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto - ") + existing);
}

TEST_F(EditorWindowTest, SaveAsAnswerNoThenAnotherNameLeavesTheExistingFileAlone) {
  const QString existing = Path(QStringLiteral("existe.txt"));
  const QString fresh = Path(QStringLiteral("nuevo.txt"));
  WriteBytes(existing, "viejo\r\n");
  Text1()->setPlainText(QStringLiteral("nuevo"));
  fake.fileAnswers = {existing, fresh};
  fake.yesNoAnswers = {false};
  Action(QStringLiteral("FicheroGuardar"))->trigger();
  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::Save, Kind::YesNo, Kind::Save}));
  EXPECT_EQ(ReadBytes(existing), QByteArray("viejo\r\n"));
  EXPECT_EQ(ReadBytes(fresh), QByteArray("nuevo\r\n"));
  EXPECT_EQ(window.SaveName(), fresh);
}

TEST_F(EditorWindowTest, CancelledSaveAsIsSilentAndWritesNothing) {
  Text1()->setPlainText(QStringLiteral("nada"));
  fake.fileAnswers = {QString()};
  Action(QStringLiteral("FicheroGuardar"))->trigger();
  EXPECT_TRUE(window.SaveDialogCancelled());
  EXPECT_FALSE(window.IsSaved());
  EXPECT_TRUE(window.SaveName().isEmpty());
  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::Save}));
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(EditorWindowTest, WriteFailureIsReportedAndChangesNothing) {
  // A folder that is really a file cannot take a new file, whoever runs the test.
  const QString notAFolder = Path(QStringLiteral("fichero.txt"));
  WriteBytes(notAFolder, "x");
  const QString target = notAFolder + QStringLiteral("/salida.txt");
  Text1()->setPlainText(QStringLiteral("datos"));
  fake.fileAnswers = {target};
  Action(QStringLiteral("FicheroGuardar"))->trigger();

  ASSERT_EQ(fake.Messages().size(), 1);
  EXPECT_TRUE(fake.Messages()[0].startsWith(QStringLiteral(" No se ha podido guardar el fichero ") + target))
      << fake.Messages()[0].toStdString();
  EXPECT_EQ(fake.dialogs[1].icon, MessageIcon::Critical);
  EXPECT_EQ(fake.dialogs.back().kind, testing::RecordedDialog::Kind::Save);  // offered again
  EXPECT_FALSE(window.IsSaved());
  EXPECT_TRUE(window.SaveName().isEmpty());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_EQ(ReadBytes(notAFolder), QByteArray("x"));
}

TEST_F(EditorWindowTest, WriteToAReadOnlyFolderIsReported) {
  // A folder without write permission; the superuser ignores permissions, so it gets the
  // process file system, where nobody can create files.
  QString folder = QStringLiteral("/proc");
  if (geteuid() != 0) {
    folder = Path(QStringLiteral("solo_lectura"));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  }
  const QString target = folder + QStringLiteral("/korvo_editor_salida.txt");
  Text1()->setPlainText(QStringLiteral("datos"));
  fake.fileAnswers = {target};
  Action(QStringLiteral("FicheroGuardar"))->trigger();
  if (geteuid() != 0) {
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  ASSERT_EQ(fake.Messages().size(), 1);
  EXPECT_TRUE(fake.Messages()[0].startsWith(QStringLiteral(" No se ha podido guardar el fichero ") + target))
      << fake.Messages()[0].toStdString();
  EXPECT_FALSE(window.IsSaved());
  EXPECT_FALSE(QFile::exists(target));
}

TEST_F(EditorWindowTest, UnreadableFileIsReportedAndTheTextStays) {
  Text1()->setPlainText(QStringLiteral("sigue aquí"));
  const QString missing = Path(QStringLiteral("no_existe.txt"));
  fake.fileAnswers = {missing};
  Action(QStringLiteral("FicheroAbrir"))->trigger();
  ASSERT_EQ(fake.Messages().size(), 1);
  EXPECT_TRUE(fake.Messages()[0].startsWith(QStringLiteral(" No se ha podido leer el fichero ") + missing));
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("sigue aquí"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_TRUE(EditorOpenedFileName().isEmpty());
}

TEST_F(EditorWindowTest, PrintsFourBlankLinesThenTheTextOncePerCopy) {
  Text1()->setPlainText(QStringLiteral("Año\nfin"));
  fake.printAnswers = {PrintChoice{3, false}};
  Action(QStringLiteral("FicheroImprimir"))->trigger();
  const QString page = QStringLiteral("\r\n\r\n\r\n\r\nAño\r\nfin");
  EXPECT_EQ(fake.printed, (QStringList{page, page, page}));
  EXPECT_TRUE(fake.Messages().isEmpty());
}

TEST_F(EditorWindowTest, PrintToFileIsNotAvailableAndCancelPrintsNothing) {
  Text1()->setPlainText(QStringLiteral("texto"));
  fake.printAnswers = {PrintChoice{1, true}, std::nullopt};
  Action(QStringLiteral("FicheroImprimir"))->trigger();
  EXPECT_EQ(fake.Messages(), QStringList{QStringLiteral(" Opción no disponible. ")});
  Action(QStringLiteral("FicheroImprimir"))->trigger();
  EXPECT_TRUE(fake.printed.isEmpty());
  EXPECT_EQ(fake.Messages().size(), 1);
}

TEST_F(EditorWindowTest, EditMenuEnablesItemsBySelectionAndClipboard) {
  Text1()->setPlainText(QStringLiteral("uno\ndos"));
  OpenEditMenu();
  EXPECT_FALSE(Action(QStringLiteral("EdiciónCortar"))->isEnabled());
  EXPECT_FALSE(Action(QStringLiteral("EdiciónCopiar"))->isEnabled());
  EXPECT_FALSE(Action(QStringLiteral("EdiciónPegar"))->isEnabled());

  SelectRange(2, 5);  // "o", line end, "d"
  OpenEditMenu();
  EXPECT_TRUE(Action(QStringLiteral("EdiciónCortar"))->isEnabled());
  EXPECT_TRUE(Action(QStringLiteral("EdiciónCopiar"))->isEnabled());
  EXPECT_FALSE(Action(QStringLiteral("EdiciónPegar"))->isEnabled());

  Action(QStringLiteral("EdiciónCopiar"))->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("o\nd"));
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("uno\ndos"));
  SelectRange(0, 0);
  OpenEditMenu();
  EXPECT_FALSE(Action(QStringLiteral("EdiciónCopiar"))->isEnabled());
  EXPECT_TRUE(Action(QStringLiteral("EdiciónPegar"))->isEnabled());
}

TEST_F(EditorWindowTest, CutAndPasteGoThroughTheClipboard) {
  Text1()->setPlainText(QStringLiteral("abcdef"));
  SelectRange(1, 3);
  Action(QStringLiteral("EdiciónCortar"))->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("bc"));
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("adef"));

  SelectRange(3, 4);  // "f" is replaced by the clipboard's text
  Action(QStringLiteral("EdiciónPegar"))->trigger();
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("adebc"));

  // Text from elsewhere with CR LF becomes one line end each.
  QApplication::clipboard()->setText(QStringLiteral("x\r\ny"));
  SelectRange(0, 0);
  Action(QStringLiteral("EdiciónPegar"))->trigger();
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("x\nyadebc"));
}

TEST_F(EditorWindowTest, FontAndSizeItemsMoveTheCheckMark) {
  ArrayItem(QStringLiteral("Fuente"), 1)->trigger();
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Arial"));
  ArrayItem(QStringLiteral("Tamaño"), 2)->trigger();
  EXPECT_EQ(Text1()->font().pointSize(), 12);
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Arial"));
  // Triggering the checked item again keeps it checked.
  ArrayItem(QStringLiteral("Tamaño"), 2)->trigger();
  ArrayItem(QStringLiteral("Fuente"), 2)->trigger();
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Symbol"));
  ArrayItem(QStringLiteral("Tamaño"), 0)->trigger();
  EXPECT_EQ(Text1()->font().pointSize(), 8);
  const bool fontChecks[] = {false, false, true};
  const bool sizeChecks[] = {true, false, false};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(ArrayItem(QStringLiteral("Fuente"), k)->isChecked(), fontChecks[k]) << k;
    EXPECT_EQ(ArrayItem(QStringLiteral("Tamaño"), k)->isChecked(), sizeChecks[k]) << k;
  }
  EXPECT_EQ(ArrayItem(QStringLiteral("Tamaño"), 0)->text(), QStringLiteral("8"));
  EXPECT_EQ(ArrayItem(QStringLiteral("Fuente"), 2)->text(), QStringLiteral("Symbol"));
}

// Fills frmReemplazar's fields and presses a button once the modal dialog is up.
void AnswerReplaceDialog(EditorWindow& window, const QString& from, const QString& to, const char* button,
                         bool* wasVisible) {
  QTimer::singleShot(0, &window, [&window, from, to, button, wasVisible] {
    auto* dialog = window.findChild<ReplaceDialog*>(QStringLiteral("frmReemplazar"));
    ASSERT_NE(dialog, nullptr);
    *wasVisible = dialog->isVisible();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Reemplazar caracteres"));
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Text1")), from);
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("Text2")), to);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    if (dialog->isVisible()) dialog->reject();  // never leave a test waiting
  });
}

TEST_F(EditorWindowTest, ReplaceChangesEveryOccurrenceOfTheCharacter) {
  Text1()->setPlainText(QStringLiteral("1,2,3\n4,5"));
  bool shown = false;
  AnswerReplaceDialog(window, QStringLiteral(","), QStringLiteral(";"), "btnAccept", &shown);
  Action(QStringLiteral("Reemplazar"))->trigger();
  EXPECT_TRUE(shown);
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("1;2;3\n4;5"));
  EXPECT_TRUE(fake.Messages().isEmpty());
}

TEST_F(EditorWindowTest, CancelLeavesTheTextAlone) {
  Text1()->setPlainText(QStringLiteral("a,b"));
  bool shown = false;
  AnswerReplaceDialog(window, QStringLiteral(","), QStringLiteral(";"), "btnCancel", &shown);
  Action(QStringLiteral("Reemplazar"))->trigger();
  EXPECT_TRUE(shown);
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("a,b"));
}

TEST_F(EditorWindowTest, ReplaceDialogChecksItsFields) {
  struct Case {
    QString text, from, to, expected;
    bool message;
  } cases[] = {
      {QStringLiteral("añoña"), QStringLiteral("ñ"), QStringLiteral("n"), QStringLiteral("anona"), false},
      {QStringLiteral("a,b,c"), QStringLiteral(","), QStringLiteral(","), QStringLiteral("a,b,c"), false},
      {QStringLiteral("abc"), QStringLiteral("z"), QStringLiteral("y"), QStringLiteral("abc"), false},
      {QStringLiteral("a,b"), QStringLiteral(","), QString(), QStringLiteral("a,b"), true},
      {QStringLiteral("a,b"), QString(), QStringLiteral(";"), QStringLiteral("a,b"), true},
  };
  for (const Case& c : cases) {
    fake.dialogs.clear();
    Text1()->setPlainText(c.text);
    ReplaceDialog dialog(Text1(), &window);
    dialog.show();
    auto* from = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* to = dialog.findChild<QLineEdit*>(QStringLiteral("Text2"));
    ASSERT_NE(from, nullptr);
    ASSERT_NE(to, nullptr);
    QTest::keyClicks(from, QStringLiteral("xy"));
    EXPECT_EQ(from->text(), QStringLiteral("x"));  // one character only
    from->setText(c.from);  // typed keys would have to be ASCII
    to->setText(c.to);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnAccept")), Qt::LeftButton);
    EXPECT_EQ(Text1()->toPlainText(), c.expected) << c.expected.toStdString();
    if (c.message) {
      EXPECT_EQ(fake.Messages(), QStringList{QStringLiteral("¡Las dos celdas han de contener un caracter!")});
      EXPECT_TRUE(dialog.isVisible());
    } else {
      EXPECT_TRUE(fake.Messages().isEmpty());
      EXPECT_FALSE(dialog.isVisible());
    }
  }
}

TEST_F(EditorWindowTest, ClosingWithAnEmptyTextAsksNothing) {
  Action(QStringLiteral("FicheroSalir"))->trigger();
  EXPECT_TRUE(fake.dialogs.empty());
  EXPECT_FALSE(window.isVisible());
}

TEST_F(EditorWindowTest, ClosingWithTextAndYesSavesToTheOpenedFile) {
  const QString path = Path(QStringLiteral("datos.txt"));
  WriteBytes(path, "antes\r\n");
  fake.fileAnswers = {path};
  Action(QStringLiteral("FicheroAbrir"))->trigger();
  Text1()->setPlainText(QStringLiteral("después\nde editar"));
  fake.yesNoCancelAnswers = {1};
  Action(QStringLiteral("FicheroSalir"))->trigger();

  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::Open, Kind::YesNoCancel}));
  EXPECT_EQ(fake.dialogs[1].text, kSaveChangesQuestion);
  EXPECT_EQ(fake.dialogs[1].icon, MessageIcon::Information);
  EXPECT_EQ(ReadBytes(path), QByteArray("despu\xE9s\r\nde editar\r\n"));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(EditorWindowTest, ClosingWithTextAndNoSavesNothing) {
  const QString path = Path(QStringLiteral("datos.txt"));
  WriteBytes(path, "antes\r\n");
  fake.fileAnswers = {path};
  Action(QStringLiteral("FicheroAbrir"))->trigger();
  Text1()->setPlainText(QStringLiteral("cambiado"));
  fake.yesNoCancelAnswers = {0};
  window.close();
  EXPECT_EQ(ReadBytes(path), QByteArray("antes\r\n"));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(EditorWindowTest, ClosingAfterSaveAsSavesToTheNewNameNotOverTheOpenedFile) {
  const QString opened = Path(QStringLiteral("original.txt"));
  const QString copy = Path(QStringLiteral("copia.txt"));
  WriteBytes(opened, "original\r\n");
  fake.fileAnswers = {opened, copy};
  Action(QStringLiteral("FicheroAbrir"))->trigger();
  Action(QStringLiteral("FicheroGuardar"))->trigger();
  Text1()->setPlainText(QStringLiteral("cambiado"));
  fake.yesNoCancelAnswers = {1};
  window.close();
  EXPECT_EQ(ReadBytes(opened), QByteArray("original\r\n"));
  EXPECT_EQ(ReadBytes(copy), QByteArray("cambiado\r\n"));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(EditorWindowTest, ClosingWithYesAndACancelledSaveDialogKeepsTheWindowAndText) {
  Text1()->setPlainText(QStringLiteral("sin nombre"));
  fake.yesNoCancelAnswers = {1};
  fake.fileAnswers = {QString()};
  window.close();
  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::YesNoCancel, Kind::Save}));
  EXPECT_TRUE(fake.Messages().isEmpty());
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("sin nombre"));

  // Second attempt with a name: saved, and the window closes.
  const QString path = Path(QStringLiteral("nombre.txt"));
  fake.yesNoCancelAnswers = {1};
  fake.fileAnswers = {path};
  window.close();
  EXPECT_EQ(ReadBytes(path), QByteArray("sin nombre\r\n"));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(EditorWindowTest, ClosingWithYesAndAFailedWriteKeepsTheWindow) {
  const QString notAFolder = Path(QStringLiteral("fichero.txt"));
  WriteBytes(notAFolder, "x");
  Text1()->setPlainText(QStringLiteral("importante"));
  fake.yesNoCancelAnswers = {1};
  fake.fileAnswers = {notAFolder + QStringLiteral("/salida.txt")};
  window.close();
  EXPECT_EQ(fake.Messages().size(), 1);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("importante"));
}

TEST_F(EditorWindowTest, ShowingAgainAfterClosingStartsAfresh) {
  ArrayItem(QStringLiteral("Fuente"), 1)->trigger();
  Text1()->setPlainText(QStringLiteral("algo"));
  fake.yesNoCancelAnswers = {0};
  window.close();
  window.show();
  EXPECT_TRUE(Text1()->toPlainText().isEmpty());
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Courier New"));
  EXPECT_TRUE(ArrayItem(QStringLiteral("Fuente"), 0)->isChecked());
  EXPECT_FALSE(ArrayItem(QStringLiteral("Fuente"), 1)->isChecked());
}

// Regression: the coordinate utility sets the shared opened-file name to the file it reads;
// saving the editor on close wrote the editor's text over that coordinate file, which the
// editor's caption never showed.
TEST_F(EditorWindowTest, ClosingSavesToTheShownFileNotToACoordinateFileReadMeanwhile) {
  const QString opened = Path(QStringLiteral("datos.txt"));
  const QString coordinates = Path(QStringLiteral("coordenadas.txt"));
  WriteBytes(opened, "antes\r\n");
  WriteBytes(coordinates, "1\r\n457631.066,4483452.284,700");
  fake.fileAnswers = {opened};
  Action(QStringLiteral("FicheroAbrir"))->trigger();
  SetEditorOpenedFileName(coordinates);  // what the utility's "Entrada por fichero" does
  Text1()->setPlainText(QStringLiteral("editado"));
  fake.yesNoCancelAnswers = {1};
  window.close();
  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::Open, Kind::YesNoCancel}));
  EXPECT_EQ(ReadBytes(opened), QByteArray("editado\r\n"));
  EXPECT_EQ(ReadBytes(coordinates), QByteArray("1\r\n457631.066,4483452.284,700"));
  EXPECT_FALSE(window.isVisible());
}

TEST_F(EditorWindowTest, ClosingAnUnnamedTextAsksForANameEvenAfterTheUtilityReadAFile) {
  const QString coordinates = Path(QStringLiteral("coordenadas.txt"));
  const QString chosen = Path(QStringLiteral("nuevo.txt"));
  WriteBytes(coordinates, "4\r\n1,2,3");
  Text1()->setPlainText(QStringLiteral("tecleado"));
  SetEditorOpenedFileName(coordinates);
  fake.yesNoCancelAnswers = {1};
  fake.fileAnswers = {chosen};
  window.close();
  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::YesNoCancel, Kind::Save}));
  EXPECT_EQ(ReadBytes(coordinates), QByteArray("4\r\n1,2,3"));
  EXPECT_EQ(ReadBytes(chosen), QByteArray("tecleado\r\n"));
  EXPECT_FALSE(window.isVisible());
}

// Regression: after "Guardar c&omo..." A and "A&brir..." B, "&Guardar" wrote B's text over A
// while the caption showed B. Opening a file forgets the save name, so "&Guardar" asks.
TEST_F(EditorWindowTest, GuardarAfterOpeningAnotherFileAsksInsteadOfWritingOverTheOldName) {
  const QString first = Path(QStringLiteral("primero.txt"));
  const QString second = Path(QStringLiteral("segundo.txt"));
  const QString third = Path(QStringLiteral("tercero.txt"));
  WriteBytes(second, "segundo\r\n");
  Text1()->setPlainText(QStringLiteral("primero"));
  fake.fileAnswers = {first, second, third};
  Action(QStringLiteral("FicheroGuardar"))->trigger();
  ASSERT_EQ(ReadBytes(first), QByteArray("primero\r\n"));
  Action(QStringLiteral("FicheroAbrir"))->trigger();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto - ") + second);
  EXPECT_TRUE(window.SaveName().isEmpty());
  Action(QStringLiteral("FicheroGu"))->trigger();
  EXPECT_EQ(Kinds(fake), (std::vector<Kind>{Kind::Save, Kind::Open, Kind::Save}));
  EXPECT_EQ(ReadBytes(first), QByteArray("primero\r\n"));
  EXPECT_EQ(ReadBytes(third), QByteArray("segundo\r\n"));
  EXPECT_EQ(window.SaveName(), third);
}

TEST(EditorInstance, IsOneWindowThatStartsAfreshAndEmptiesTheSharedName) {
  FakeDialogService fake;
  EditorWindow& editor = EditorInstance();
  EXPECT_EQ(&editor, &EditorInstance());
  SetEditorOpenedFileName(QStringLiteral("/tmp/coordenadas.txt"));
  ShowEditor();
  EXPECT_TRUE(editor.isVisible());
  EXPECT_TRUE(editor.TextBox()->toPlainText().isEmpty());
  EXPECT_EQ(editor.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_TRUE(EditorOpenedFileName().isEmpty());
  editor.close();
  EXPECT_FALSE(editor.isVisible());
  EXPECT_TRUE(fake.dialogs.empty());
}

}  // namespace
}  // namespace korvo
