// frmEditor and frmReemplazar driven through their menus and controls, offscreen.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "editor/editor_window.h"
#include "editor/replace_dialog.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::FakeDialogService;

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QAction* Action(const QWidget& window, const char* name) {
  auto* action = window.findChild<QAction*>(QString::fromUtf8(name));
  EXPECT_NE(action, nullptr) << name;
  return action;
}

QAction* ArrayItem(const QWidget& window, const QString& name, int index) {
  for (QAction* action : window.findChildren<QAction*>(name)) {
    if (action->property("index").toInt() == index) return action;
  }
  ADD_FAILURE() << name.toStdString() << index;
  return nullptr;
}

const QString kFilter = QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*");
const QString kOpen = QStringLiteral("open | none | Abrir | \n");
const QString kSaveAs = QStringLiteral("save | none | Guardar como | \n");
const QString kOverwrite = QStringLiteral("yesno | information |  |  ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? \n");
const QString kClose = QStringLiteral("yesnocancel | information |  |  ¿Desea guardar cambios? \n");
const QString kFailedSave = QStringLiteral("message | critical |  |  No se ha podido guardar el fichero %1/!/salida.txt. *\n");

// Save/open/close steps (text=, shows=, utility=NAME); file answers in the folder ("" cancels, "!" unwritable).
TEST(EditorWindow, SaveOpenAndCloseScenarios) {
  struct Scenario {
    const char* what;
    std::map<QString, QByteArray> before;
    std::vector<std::string> steps;
    std::vector<bool> yesNo;
    QStringList files;
    QString log;                          // "%1" the folder, "*" the rest of a line
    std::map<QString, QByteArray> after;  // "" for a file that must not exist
    bool visible;
    QString caption;  // the file the title names
  };
  const QString x = QStringLiteral("existe.txt"), o = QStringLiteral("otro.txt"), c = QStringLiteral("coord.txt");
  const QByteArray accents("A\xF1o: 2026\r\nCa\xF1\xF3n \x80 \xF1\r\n\xDAltima\r\n");
  const std::vector<Scenario> scenarios = {
      {"Windows-1252 and CR LF intact", {{x, accents}}, {"open", "shows=Año: 2026\nCañón € ñ\nÚltima", "save"}, {},
       {x, o}, kOpen + kSaveAs, {{o, accents}}, true, o},
      {"no last line end", {{x, "1\r\n2,3,4"}}, {"open", "saveas"}, {}, {x, o}, kOpen + kSaveAs, {{o, "1\r\n2,3,4"}}, true, o},
      {"save as over an existing file: No asks again, Yes writes", {{x, "viejo\r\n"}}, {"text=línea 1\nlínea 2", "saveas"},
       {false, true}, {x, x}, kSaveAs + kOverwrite + kSaveAs + kOverwrite, {{x, "l\xEDnea 1\r\nl\xEDnea 2\r\n"}}, true, x},
      {"unreadable file: reported, the text stays", {}, {"text=sigue", "open", "shows=sigue"}, {},
       {QStringLiteral("no_existe.txt")}, kOpen + QStringLiteral("message | critical |  |  No se ha podido leer el fichero %1/no_existe.txt. *\n"),
       {}, true, {}},
      {"save with a name overwrites without asking", {}, {"text=uno", "saveas", "text=dos", "save"}, {}, {o}, kSaveAs,
       {{o, "dos\r\n"}}, true, o},
      {"closing an empty text asks nothing", {}, {"close"}, {}, {}, {}, {}, false, {}},
      {"closing, Yes saves to the opened file", {{x, "antes\r\n"}}, {"open", "text=después\nde editar", "close"}, {true},
       {x}, kOpen + kClose, {{x, "despu\xE9s\r\nde editar\r\n"}}, false, x},
      {"closing, No saves nothing", {{x, "antes\r\n"}}, {"open", "text=cambiado", "close"}, {false}, {x}, kOpen + kClose,
       {{x, "antes\r\n"}}, false, x},
      {"closing, Yes and a cancelled dialog keeps the window", {}, {"text=sin nombre", "close"}, {true}, {QString()},
       kClose + kSaveAs, {}, true, {}},
      {"closing, Yes and a failed write keeps the window", {}, {"text=importante", "close"}, {true}, {QStringLiteral("!")},
       kClose + kSaveAs + kFailedSave + kSaveAs, {}, true, {}},
      // Regression: the close saved to the coordinate utility's file name, which the caption never showed.
      {"closing saves to the shown file, not a coordinate file", {{x, "antes\r\n"}, {c, "1\r\n4,5,6"}},
       {"open", "utility=coord.txt", "text=editado", "close"}, {true}, {x}, kOpen + kClose,
       {{x, "editado\r\n"}, {c, "1\r\n4,5,6"}}, false, x},
      {"closing an unnamed text asks for a name after the utility read", {{c, "4\r\n1,2,3"}},
       {"text=tecleado", "utility=coord.txt", "close"}, {true}, {o}, kClose + kSaveAs, {{c, "4\r\n1,2,3"}, {o, "tecleado\r\n"}},
       false, o},
      // Regression: after save as A and open B, Guardar wrote B's text over A.
      {"Guardar after opening another file asks", {{o, "segundo\r\n"}}, {"text=primero", "saveas", "open", "save"}, {},
       {x, o, QStringLiteral("tercero.txt")}, kSaveAs + kOpen + kSaveAs,
       {{x, "primero\r\n"}, {QStringLiteral("tercero.txt"), "segundo\r\n"}}, true, QStringLiteral("tercero.txt")},
  };
  FakeDialogService fake;
  for (const Scenario& s : scenarios) {
    SCOPED_TRACE(s.what);
    QTemporaryDir folder;
    fake.dialogs.clear();
    SetEditorOpenedFileName(QString());
    EditorWindow editor;
    editor.show();
    auto path = [&](const QString& name) {
      if (name == QStringLiteral("!")) return folder.filePath(QStringLiteral("!/salida.txt"));
      return name.isNull() ? QString() : folder.filePath(name);
    };
    WriteBytes(path(QStringLiteral("!")).section(QLatin1Char('/'), 0, -2), "x");  // a file where a folder should be
    for (const auto& [name, bytes] : s.before) WriteBytes(path(name), bytes);
    fake.yesNoAnswers.assign(s.yesNo.begin(), s.yesNo.end());
    fake.fileAnswers.clear();
    for (const QString& name : s.files) fake.fileAnswers.push_back(path(name));
    for (const std::string& step : s.steps) {
      if (step.starts_with("text=")) editor.TextBox()->setPlainText(QString::fromStdString(step.substr(5)));
      if (step.starts_with("shows=")) { EXPECT_EQ(editor.TextBox()->toPlainText(), QString::fromStdString(step.substr(6))); }
      if (step.starts_with("utility=")) SetEditorOpenedFileName(path(QString::fromStdString(step.substr(8))));
      if (step == "open") Action(editor, "FicheroAbrir")->trigger();
      if (step == "saveas") Action(editor, "FicheroGuardar")->trigger();
      if (step == "save") Action(editor, "FicheroGu")->trigger();
      if (step == "close" && !fake.yesNoAnswers.empty()) {
        fake.yesNoCancelAnswers = {fake.yesNoAnswers.front() ? 1 : 0};
        fake.yesNoAnswers.pop_front();
      }
      if (step == "close") editor.close();
    }
    QString pattern = QRegularExpression::escape(s.log).replace(QStringLiteral("\\*"), QStringLiteral(".*"));
    pattern.replace(QStringLiteral("\\%1"), QRegularExpression::escape(folder.path()));
    EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(fake.Log()).hasMatch())
        << fake.Log().toStdString();
    for (const auto& [name, bytes] : s.after) {
      EXPECT_EQ(ReadBytes(path(name)), bytes.isEmpty() ? QByteArray("<missing>") : bytes) << name.toStdString();
    }
    EXPECT_EQ(editor.isVisible(), s.visible);
    EXPECT_EQ(editor.windowTitle(),
              QStringLiteral("Editor de texto") + (s.caption.isEmpty() ? QString() : QStringLiteral(" - ") + path(s.caption)));
    for (const auto& dialog : fake.dialogs) {
      const bool file = dialog.kind == testing::RecordedDialog::Kind::Open || dialog.kind == testing::RecordedDialog::Kind::Save;
      EXPECT_EQ(dialog.request.filter, file ? kFilter : QString());
    }
    fake.yesNoCancelAnswers = {0};
    editor.close();  // whatever is left is not saved
  }
}

// The one editor: printing, the edit menu and clipboard, fonts; shown again it starts afresh.
TEST(EditorInstance, PrintEditMenuFontsAndAFreshStart) {
  FakeDialogService fake;
  EditorWindow& editor = EditorInstance();
  EXPECT_EQ(&editor, &EditorInstance());
  editor.show();
  QPlainTextEdit* box = editor.TextBox();
  box->setPlainText(QStringLiteral("Año\nfin"));
  fake.printAnswers = {PrintChoice{3, false}, PrintChoice{1, true}, std::nullopt};  // to a file: not available
  for (int i = 0; i < 3; ++i) Action(editor, "FicheroImprimir")->trigger();
  const QString page = QStringLiteral("\r\n\r\n\r\n\r\nAño\r\nfin");
  EXPECT_EQ(fake.printed, (QStringList{page, page, page}));
  EXPECT_EQ(fake.Log(), QStringLiteral("print | none |  | \nprint | none |  | \nmessage | none |  |  Opción no disponible. \n"
                                       "print | none |  | \n"));
  EXPECT_EQ(box->font().family() + QString::number(box->font().pointSize()), QStringLiteral("Courier New10"));
  // Selects, opens the menu and tells which of Cortar, Copiar and Pegar it enabled.
  auto select = [box, &editor](int from, int to) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    Q_EMIT editor.findChild<QMenu*>(QStringLiteral("mnuEdicion"))->aboutToShow();
    std::string state;
    for (const char* item : {"EdiciónCortar", "EdiciónCopiar", "EdiciónPegar"}) state += Action(editor, item)->isEnabled() ? '1' : '0';
    return state;
  };
  QApplication::clipboard()->clear();
  box->setPlainText(QStringLiteral("uno\ndos"));
  std::string states = select(0, 0);
  states += select(2, 5);  // "o", line end, "d"
  Action(editor, "EdiciónCopiar")->trigger();
  states += select(0, 0);
  EXPECT_EQ(states, "000110001");
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("o\nd"));
  box->setPlainText(QStringLiteral("abcdef"));
  select(1, 3);
  Action(editor, "EdiciónCortar")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("bc"));
  select(3, 4);  // "f" is replaced by the clipboard's text
  Action(editor, "EdiciónPegar")->trigger();
  EXPECT_EQ(box->toPlainText(), QStringLiteral("adebc"));
  QApplication::clipboard()->setText(QStringLiteral("x\r\ny"));  // from elsewhere: one line end each
  select(0, 0);
  Action(editor, "EdiciónPegar")->trigger();
  EXPECT_EQ(box->toPlainText(), QStringLiteral("x\nyadebc"));
  ArrayItem(editor, QStringLiteral("Fuente"), 1)->trigger();
  ArrayItem(editor, QStringLiteral("Tamaño"), 2)->trigger();
  EXPECT_EQ(box->font().family() + QString::number(box->font().pointSize()), QStringLiteral("Arial12"));
  ArrayItem(editor, QStringLiteral("Fuente"), 2)->trigger();
  ArrayItem(editor, QStringLiteral("Tamaño"), 0)->trigger();
  EXPECT_EQ(box->font().family() + QString::number(box->font().pointSize()), QStringLiteral("Symbol8"));
  std::string checked;  // the font items, then the size items
  for (const char* menu : {"Fuente", "Tamaño"}) {
    for (int k = 0; k < 3; ++k) checked += ArrayItem(editor, QString::fromUtf8(menu), k)->isChecked() ? '1' : '0';
  }
  EXPECT_EQ(checked, "001100");
  fake.yesNoCancelAnswers = {0};
  editor.close();
  SetEditorOpenedFileName(QStringLiteral("/tmp/coordenadas.txt"));
  ShowEditor();
  EXPECT_TRUE(editor.isVisible() && box->toPlainText().isEmpty() && EditorOpenedFileName().isEmpty());
  EXPECT_EQ(editor.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_EQ(box->font().family(), QStringLiteral("Courier New"));
  EXPECT_TRUE(ArrayItem(editor, QStringLiteral("Fuente"), 0)->isChecked());
  editor.close();
}

// Replace: every occurrence, Cancelar leaves the text, an empty cell is refused; one character a cell.
TEST(EditorWindow, ReplaceDialog) {
  FakeDialogService fake;
  EditorWindow editor;
  editor.show();
  const struct {
    const char *text, *from, *to, *expected, *button;
    bool refused;
  } cases[] = {
      {"1,2,3\n4,5", ",", ";", "1;2;3\n4;5", "btnAccept", false},
      {"a,b", ",", ";", "a,b", "btnCancel", false},
      {"a,b", ",", "", "a,b", "btnAccept", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    fake.dialogs.clear();
    editor.TextBox()->setPlainText(QString::fromUtf8(c.text));
    ReplaceDialog dialog(editor.TextBox(), &editor);
    dialog.show();
    auto* from = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
    QTest::keyClicks(from, QStringLiteral("xy"));
    EXPECT_EQ(from->text(), QStringLiteral("x"));
    from->setText(QString::fromUtf8(c.from));
    dialog.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QString::fromUtf8(c.to));
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(c.button)), Qt::LeftButton);
    EXPECT_EQ(editor.TextBox()->toPlainText(), QString::fromUtf8(c.expected));
    EXPECT_EQ(fake.Log(), c.refused ? QStringLiteral("message | none |  | ¡Las dos celdas han de contener un caracter!\n") : QString());
    EXPECT_EQ(dialog.isVisible(), c.refused);
  }
}

}  // namespace
}  // namespace korvo
