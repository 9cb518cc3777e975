// frmEditor and frmReemplazar driven through their menus and controls, offscreen.
#include <gtest/gtest.h>

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
#include <map>

#include "editor/editor_window.h"
#include "editor/replace_dialog.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::FakeDialogService;

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

// The dialogs shown, by kind only: "open save yesno ...".
std::string Kinds(const FakeDialogService& fake) {
  static const char* const kNames[] = {"message", "yesno", "yesnocancel", "open", "save", "print"};
  std::string kinds;
  for (const auto& dialog : fake.dialogs) kinds += std::string(kinds.empty() ? "" : " ") + kNames[static_cast<int>(dialog.kind)];
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
  QAction* Action(const char* name) {
    auto* action = window.findChild<QAction*>(QString::fromUtf8(name));
    EXPECT_NE(action, nullptr) << name;
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
  void OpenEditMenu() { Q_EMIT window.findChild<QMenu*>(QStringLiteral("mnuEdicion"))->aboutToShow(); }

  QTemporaryDir dir;
  FakeDialogService fake;
  EditorWindow window;
};

TEST_F(EditorWindowTest, OpensAWindows1252FileWithAccentsAndCrLfIntact) {
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Courier New"));
  EXPECT_EQ(Text1()->font().pointSize(), 10);
  const QString path = Path(QStringLiteral("acentos.txt"));
  // "Año: 2026", "Cañón € ñ", "Última" in Windows-1252 bytes, CR LF line ends.
  const QByteArray bytes("A\xF1o: 2026\r\nCa\xF1\xF3n \x80 \xF1\r\n\xDAltima\r\n");
  WriteBytes(path, bytes);
  fake.fileAnswers = {path, Path(QStringLiteral("copia.txt"))};
  Action("FicheroAbrir")->trigger();
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("Año: 2026\nCañón € ñ\nÚltima"));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto - ") + path);
  EXPECT_EQ(EditorOpenedFileName(), path);
  EXPECT_EQ(fake.dialogs[0].request.filter,
            QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*"));
  // "&Guardar" after only opening asks for a name; the copy holds the same bytes.
  Action("FicheroGu")->trigger();
  EXPECT_EQ(Kinds(fake), "open save");
  EXPECT_EQ(ReadBytes(Path(QStringLiteral("copia.txt"))), bytes);
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto - ") + Path(QStringLiteral("copia.txt")));
}

// Save and close scenarios. Steps: "open", "saveas", "save", "close", "text=..." (types a new
// text), "utility=NAME" (the coordinate utility names a file it read). Answers to the file
// dialogs are file names in the test folder ("" cancels, "!" is a path no file can take).
TEST_F(EditorWindowTest, SaveAndCloseScenarios) {
  struct Scenario {
    const char* what;
    std::map<QString, QByteArray> before;
    std::vector<std::string> steps;
    std::vector<bool> yesNo;
    QStringList files;
    std::string kinds;
    std::map<QString, QByteArray> after;  // "" for a file that must not exist
    bool visible;
  };
  const QString x = QStringLiteral("existe.txt"), o = QStringLiteral("otro.txt"), c = QStringLiteral("coord.txt");
  const std::vector<Scenario> scenarios = {
      {"save as over an existing file: No asks again, Yes writes", {{x, "viejo\r\n"}}, {"text=línea 1\nlínea 2", "saveas"},
       {false, true}, {x, x}, "save yesno save yesno", {{x, "l\xEDnea 1\r\nl\xEDnea 2\r\n"}}, true},
      {"No, then another name, leaves the existing file alone", {{x, "viejo\r\n"}}, {"text=nuevo", "saveas"}, {false},
       {x, o}, "save yesno save", {{x, "viejo\r\n"}, {o, "nuevo\r\n"}}, true},
      {"cancelled save as is silent", {}, {"text=nada", "saveas"}, {}, {QString()}, "save", {{o, ""}}, true},
      {"a failed write is reported", {}, {"text=datos", "saveas"}, {}, {QStringLiteral("!")}, "save message save", {}, true},
      {"unreadable file: reported, the text stays", {}, {"text=sigue", "open"}, {}, {QStringLiteral("no_existe.txt")},
       "open message", {}, true},
      {"save with a name overwrites without asking", {}, {"text=uno", "saveas", "text=dos", "save"}, {}, {o}, "save",
       {{o, "dos\r\n"}}, true},
      {"closing an empty text asks nothing", {}, {"close"}, {}, {}, "", {}, false},
      {"closing, Yes saves to the opened file", {{x, "antes\r\n"}}, {"open", "text=después\nde editar", "close"}, {true},
       {x}, "open yesnocancel", {{x, "despu\xE9s\r\nde editar\r\n"}}, false},
      {"closing, No saves nothing", {{x, "antes\r\n"}}, {"open", "text=cambiado", "close"}, {false}, {x}, "open yesnocancel",
       {{x, "antes\r\n"}}, false},
      {"closing after save as saves to the new name", {{x, "original\r\n"}}, {"open", "saveas", "text=cambiado", "close"},
       {true}, {x, o}, "open save yesnocancel", {{x, "original\r\n"}, {o, "cambiado\r\n"}}, false},
      {"closing, Yes and a cancelled dialog keeps the window", {}, {"text=sin nombre", "close"}, {true}, {QString()},
       "yesnocancel save", {}, true},
      {"closing, Yes and a failed write keeps the window", {}, {"text=importante", "close"}, {true},
       {QStringLiteral("!")}, "yesnocancel save message save", {}, true},
      // Regression: the shared opened-file name set by the coordinate utility was the target
      // of the save on close, which the caption never showed.
      {"closing saves to the shown file, not a coordinate file", {{x, "antes\r\n"}, {c, "1\r\n4,5,6"}},
       {"open", "utility=coord.txt", "text=editado", "close"}, {true}, {x}, "open yesnocancel",
       {{x, "editado\r\n"}, {c, "1\r\n4,5,6"}}, false},
      {"closing an unnamed text asks for a name after the utility read", {{c, "4\r\n1,2,3"}},
       {"text=tecleado", "utility=coord.txt", "close"}, {true}, {o}, "yesnocancel save",
       {{c, "4\r\n1,2,3"}, {o, "tecleado\r\n"}}, false},
      // Regression: after save as A and open B, Guardar wrote B's text over A.
      {"Guardar after opening another file asks", {{o, "segundo\r\n"}},
       {"text=primero", "saveas", "open", "save"}, {}, {x, o, QStringLiteral("tercero.txt")}, "save open save",
       {{x, "primero\r\n"}, {QStringLiteral("tercero.txt"), "segundo\r\n"}}, true},
  };
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.what);
    QTemporaryDir folder;
    fake.dialogs.clear();
    SetEditorOpenedFileName(QString());
    EditorWindow editor;
    editor.show();
    auto act = [&editor](const char* name) { editor.findChild<QAction*>(QString::fromUtf8(name))->trigger(); };
    auto path = [&](const QString& name) {
      if (name == QStringLiteral("!")) return folder.filePath(QStringLiteral("no-es-carpeta.txt/salida.txt"));
      return name.isNull() ? QString() : folder.filePath(name);
    };
    WriteBytes(path(QStringLiteral("no-es-carpeta.txt")), "x");
    for (const auto& [name, bytes] : s.before) WriteBytes(path(name), bytes);
    fake.yesNoAnswers.assign(s.yesNo.begin(), s.yesNo.end());
    fake.fileAnswers.clear();
    for (const QString& name : s.files) fake.fileAnswers.push_back(path(name));
    for (const std::string& step : s.steps) {
      if (step.starts_with("text=")) editor.TextBox()->setPlainText(QString::fromStdString(step.substr(5)));
      if (step.starts_with("utility=")) SetEditorOpenedFileName(path(QString::fromStdString(step.substr(8))));
      if (step == "open") act("FicheroAbrir");
      if (step == "saveas") act("FicheroGuardar");
      if (step == "save") act("FicheroGu");
      if (step == "close") {
        // The close question has three answers: the scenario's next Yes/No answers it.
        if (!fake.yesNoAnswers.empty()) fake.yesNoCancelAnswers = {fake.yesNoAnswers.front() ? 1 : 0};
        if (!fake.yesNoAnswers.empty()) fake.yesNoAnswers.pop_front();
        editor.close();
      }
    }
    EXPECT_EQ(Kinds(fake), s.kinds);
    for (const auto& [name, bytes] : s.after) {
      if (bytes.isEmpty()) {
        EXPECT_FALSE(QFile::exists(path(name))) << name.toStdString();
      } else {
        EXPECT_EQ(ReadBytes(path(name)), bytes) << name.toStdString();
      }
    }
    EXPECT_EQ(editor.isVisible(), s.visible);
    EXPECT_EQ(ReadBytes(path(QStringLiteral("no-es-carpeta.txt"))), QByteArray("x"));
    fake.yesNoCancelAnswers = {0};
    editor.close();  // whatever is left is not saved
  }
}

TEST_F(EditorWindowTest, MessagesOfFailedReadsAndWrites) {
  const QString target = Path(QStringLiteral("fichero.txt")) + QStringLiteral("/salida.txt");
  WriteBytes(Path(QStringLiteral("fichero.txt")), "x");
  const QString missing = Path(QStringLiteral("no_existe.txt"));
  Text1()->setPlainText(QStringLiteral("datos"));
  fake.fileAnswers = {target, QString(), missing};  // the failed save offers the dialog again
  Action("FicheroGuardar")->trigger();
  Action("FicheroAbrir")->trigger();
  ASSERT_EQ(fake.Messages().size(), 2);
  EXPECT_TRUE(fake.Messages()[0].startsWith(QStringLiteral(" No se ha podido guardar el fichero ") + target));
  EXPECT_EQ(fake.dialogs[1].icon, MessageIcon::Critical);
  EXPECT_TRUE(fake.Messages()[1].startsWith(QStringLiteral(" No se ha podido leer el fichero ") + missing));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("datos"));
}

TEST_F(EditorWindowTest, PrintsFourBlankLinesThenTheTextOncePerCopy) {
  Text1()->setPlainText(QStringLiteral("Año\nfin"));
  fake.printAnswers = {PrintChoice{3, false}, PrintChoice{1, true}, std::nullopt};
  for (int i = 0; i < 3; ++i) Action("FicheroImprimir")->trigger();
  const QString page = QStringLiteral("\r\n\r\n\r\n\r\nAño\r\nfin");
  EXPECT_EQ(fake.printed, (QStringList{page, page, page}));
  // Printing to a file is not available; a cancelled print prints nothing.
  EXPECT_EQ(fake.Messages(), QStringList{QStringLiteral(" Opción no disponible. ")});
}

TEST_F(EditorWindowTest, EditMenuClipboardAndFonts) {
  Text1()->setPlainText(QStringLiteral("uno\ndos"));
  auto enabled = [this] {
    OpenEditMenu();
    return std::vector<bool>{Action("EdiciónCortar")->isEnabled(), Action("EdiciónCopiar")->isEnabled(),
                             Action("EdiciónPegar")->isEnabled()};
  };
  EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false}));
  SelectRange(2, 5);  // "o", line end, "d"
  EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false}));
  Action("EdiciónCopiar")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("o\nd"));
  SelectRange(0, 0);
  EXPECT_EQ(enabled(), (std::vector<bool>{false, false, true}));

  Text1()->setPlainText(QStringLiteral("abcdef"));
  SelectRange(1, 3);
  enabled();
  Action("EdiciónCortar")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("bc"));
  SelectRange(3, 4);  // "f" is replaced by the clipboard's text
  enabled();
  Action("EdiciónPegar")->trigger();
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("adebc"));
  // Text from elsewhere with CR LF becomes one line end each.
  QApplication::clipboard()->setText(QStringLiteral("x\r\ny"));
  SelectRange(0, 0);
  Action("EdiciónPegar")->trigger();
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("x\nyadebc"));

  ArrayItem(QStringLiteral("Fuente"), 1)->trigger();
  ArrayItem(QStringLiteral("Tamaño"), 2)->trigger();
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(Text1()->font().pointSize(), 12);
  ArrayItem(QStringLiteral("Tamaño"), 2)->trigger();  // triggering the checked item keeps it checked
  ArrayItem(QStringLiteral("Fuente"), 2)->trigger();
  ArrayItem(QStringLiteral("Tamaño"), 0)->trigger();
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Symbol"));
  EXPECT_EQ(Text1()->font().pointSize(), 8);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(ArrayItem(QStringLiteral("Fuente"), k)->isChecked(), k == 2) << k;
    EXPECT_EQ(ArrayItem(QStringLiteral("Tamaño"), k)->isChecked(), k == 0) << k;
  }
  // Showing again after closing starts afresh.
  fake.yesNoCancelAnswers = {0};
  window.close();
  window.show();
  EXPECT_TRUE(Text1()->toPlainText().isEmpty());
  EXPECT_EQ(Text1()->font().family(), QStringLiteral("Courier New"));
  EXPECT_TRUE(ArrayItem(QStringLiteral("Fuente"), 0)->isChecked());
}

TEST_F(EditorWindowTest, ReplaceDialog) {
  struct Case {
    QString text, from, to, expected;
    const char* button;
    bool message;
  } cases[] = {
      {QStringLiteral("1,2,3\n4,5"), QStringLiteral(","), QStringLiteral(";"), QStringLiteral("1;2;3\n4;5"), "btnAccept", false},
      {QStringLiteral("a,b"), QStringLiteral(","), QStringLiteral(";"), QStringLiteral("a,b"), "btnCancel", false},
      {QStringLiteral("añoña"), QStringLiteral("ñ"), QStringLiteral("n"), QStringLiteral("anona"), "btnAccept", false},
      {QStringLiteral("abc"), QStringLiteral("z"), QStringLiteral("y"), QStringLiteral("abc"), "btnAccept", false},
      {QStringLiteral("a,b"), QStringLiteral(","), QString(), QStringLiteral("a,b"), "btnAccept", true},
      {QStringLiteral("a,b"), QString(), QStringLiteral(";"), QStringLiteral("a,b"), "btnAccept", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected.toStdString());
    fake.dialogs.clear();
    Text1()->setPlainText(c.text);
    ReplaceDialog dialog(Text1(), &window);
    dialog.show();
    auto* from = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* to = dialog.findChild<QLineEdit*>(QStringLiteral("Text2"));
    QTest::keyClicks(from, QStringLiteral("xy"));
    EXPECT_EQ(from->text(), QStringLiteral("x"));  // one character only
    from->setText(c.from);
    to->setText(c.to);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(c.button)), Qt::LeftButton);
    EXPECT_EQ(Text1()->toPlainText(), c.expected);
    EXPECT_EQ(fake.Log(), c.message ? QStringLiteral("message | none |  | ¡Las dos celdas han de contener un caracter!\n")
                                    : QString());
    EXPECT_EQ(dialog.isVisible(), c.message);
  }
  // From the menu: the modal dialog comes up and replaces.
  Text1()->setPlainText(QStringLiteral("a,b"));
  bool shown = false;
  QTimer::singleShot(0, &window, [this, &shown] {
    auto* dialog = window.findChild<ReplaceDialog*>(QStringLiteral("frmReemplazar"));
    ASSERT_NE(dialog, nullptr);
    shown = dialog->isVisible();
    dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral(","));
    dialog->findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral(";"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnAccept")), Qt::LeftButton);
    if (dialog->isVisible()) dialog->reject();  // never leave a test waiting
  });
  Action("Reemplazar")->trigger();
  EXPECT_TRUE(shown);
  EXPECT_EQ(Text1()->toPlainText(), QStringLiteral("a;b"));
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
  EXPECT_TRUE(fake.dialogs.empty());
}

}  // namespace
}  // namespace korvo
