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
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

QAction* Action(const QWidget& window, const char* name) {
  auto* action = window.findChild<QAction*>(QString::fromUtf8(name));
  EXPECT_NE(action, nullptr) << name;
  return action;
}

// The item `index` of a menu array ("Fuente", "Tamaño").
QAction* ArrayItem(const QWidget& window, const QString& name, int index) {
  for (QAction* action : window.findChildren<QAction*>(name)) {
    if (action->property("index").toInt() == index) return action;
  }
  ADD_FAILURE() << name.toStdString() << index;
  return nullptr;
}

const QString kOpen = QStringLiteral("open | none | Abrir | \n");
const QString kSaveAs = QStringLiteral("save | none | Guardar como | \n");
const QString kOverwrite = QStringLiteral("yesno | information |  |  ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? \n");
const QString kClose = QStringLiteral("yesnocancel | information |  |  ¿Desea guardar cambios? \n");
const QString kFailedSave = QStringLiteral("message | critical |  |  No se ha podido guardar el fichero %1/!/salida.txt. *\n");

// Save, open and close scenarios. Steps: "open", "saveas", "save", "close", "text=..." (types a
// new text), "shows=..." (the text the box shows), "utility=NAME" (the coordinate utility names
// a file it read). The file dialogs are answered with names in the test folder ("" cancels,
// "!" is a path no file can take); the dialog log has "%1" for the folder and "*" for the rest
// of a line; the caption names the file shown, if any.
TEST(EditorWindow, SaveOpenAndCloseScenarios) {
  struct Scenario {
    const char* what;
    std::map<QString, QByteArray> before;
    std::vector<std::string> steps;
    std::vector<bool> yesNo;
    QStringList files;
    QString log;
    std::map<QString, QByteArray> after;  // "" for a file that must not exist
    bool visible;
    QString caption;
  };
  const QString x = QStringLiteral("existe.txt"), o = QStringLiteral("otro.txt"), c = QStringLiteral("coord.txt");
  const QByteArray accents("A\xF1o: 2026\r\nCa\xF1\xF3n \x80 \xF1\r\n\xDAltima\r\n");
  const std::vector<Scenario> scenarios = {
      // Opened and saved again, the bytes come back, with or without a last line end.
      {"Windows-1252 and CR LF intact", {{x, accents}}, {"open", "shows=Año: 2026\nCañón € ñ\nÚltima", "save"}, {},
       {x, o}, kOpen + kSaveAs, {{o, accents}}, true, o},
      {"no last line end", {{x, "1\r\n2,3,4"}}, {"open", "saveas"}, {}, {x, o}, kOpen + kSaveAs, {{o, "1\r\n2,3,4"}}, true, o},
      {"blank last line", {{x, "a\r\n\r\n"}}, {"open", "saveas"}, {}, {x, o}, kOpen + kSaveAs, {{o, "a\r\n\r\n"}}, true, o},
      {"save as over an existing file: No asks again, Yes writes", {{x, "viejo\r\n"}}, {"text=línea 1\nlínea 2", "saveas"},
       {false, true}, {x, x}, kSaveAs + kOverwrite + kSaveAs + kOverwrite, {{x, "l\xEDnea 1\r\nl\xEDnea 2\r\n"}}, true, x},
      {"No, then another name, leaves the existing file alone", {{x, "viejo\r\n"}}, {"text=nuevo", "saveas"}, {false},
       {x, o}, kSaveAs + kOverwrite + kSaveAs, {{x, "viejo\r\n"}, {o, "nuevo\r\n"}}, true, o},
      {"cancelled save as is silent", {}, {"text=nada", "saveas"}, {}, {QString()}, kSaveAs, {{o, ""}}, true, {}},
      {"a failed write is reported", {}, {"text=datos", "saveas"}, {}, {QStringLiteral("!")}, kSaveAs + kFailedSave + kSaveAs,
       {}, true, {}},
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
      {"closing after save as saves to the new name", {{x, "original\r\n"}}, {"open", "saveas", "text=cambiado", "close"},
       {true}, {x, o}, kOpen + kSaveAs + kClose, {{x, "original\r\n"}, {o, "cambiado\r\n"}}, false, o},
      {"closing, Yes and a cancelled dialog keeps the window", {}, {"text=sin nombre", "close"}, {true}, {QString()},
       kClose + kSaveAs, {}, true, {}},
      {"closing, Yes and a failed write keeps the window", {}, {"text=importante", "close"}, {true}, {QStringLiteral("!")},
       kClose + kSaveAs + kFailedSave + kSaveAs, {}, true, {}},
      // Regression: the shared opened-file name set by the coordinate utility was the target
      // of the save on close, which the caption never showed.
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
      if (step.starts_with("shows=")) {
        EXPECT_EQ(editor.TextBox()->toPlainText(), QString::fromStdString(step.substr(6)));
      }
      if (step.starts_with("utility=")) SetEditorOpenedFileName(path(QString::fromStdString(step.substr(8))));
      if (step == "open") Action(editor, "FicheroAbrir")->trigger();
      if (step == "saveas") Action(editor, "FicheroGuardar")->trigger();
      if (step == "save") Action(editor, "FicheroGu")->trigger();
      if (step == "close") {
        // The close question has three answers: the scenario's next Yes/No answers it.
        if (!fake.yesNoAnswers.empty()) fake.yesNoCancelAnswers = {fake.yesNoAnswers.front() ? 1 : 0};
        if (!fake.yesNoAnswers.empty()) fake.yesNoAnswers.pop_front();
        editor.close();
      }
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
      if (dialog.kind == testing::RecordedDialog::Kind::Open || dialog.kind == testing::RecordedDialog::Kind::Save) {
        EXPECT_EQ(dialog.request.filter,
                  QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*"));
      }
    }
    fake.yesNoCancelAnswers = {0};
    editor.close();  // whatever is left is not saved
  }
}

TEST(EditorWindow, PrintsFourBlankLinesThenTheTextOncePerCopy) {
  FakeDialogService fake;
  EditorWindow editor;
  editor.show();
  editor.TextBox()->setPlainText(QStringLiteral("Año\nfin"));
  fake.printAnswers = {PrintChoice{3, false}, PrintChoice{1, true}, std::nullopt};
  for (int i = 0; i < 3; ++i) Action(editor, "FicheroImprimir")->trigger();
  const QString page = QStringLiteral("\r\n\r\n\r\n\r\nAño\r\nfin");
  EXPECT_EQ(fake.printed, (QStringList{page, page, page}));
  // Printing to a file is not available; a cancelled print prints nothing.
  EXPECT_EQ(fake.Log(), QStringLiteral("print | none |  | \nprint | none |  | \nmessage | none |  |  Opción no disponible. \n"
                                       "print | none |  | \n"));
}

TEST(EditorWindow, EditMenuClipboardAndFonts) {
  FakeDialogService fake;
  EditorWindow editor;
  editor.show();
  QPlainTextEdit* box = editor.TextBox();
  EXPECT_EQ(box->font().family(), QStringLiteral("Courier New"));
  EXPECT_EQ(box->font().pointSize(), 10);
  // Selects, then opens the menu, which enables the items that can act.
  auto select = [box, &editor](int from, int to) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    Q_EMIT editor.findChild<QMenu*>(QStringLiteral("mnuEdicion"))->aboutToShow();
  };
  auto enabled = [&editor] {
    std::string state;
    for (const char* item : {"EdiciónCortar", "EdiciónCopiar", "EdiciónPegar"}) state += Action(editor, item)->isEnabled() ? '1' : '0';
    return state;
  };
  QApplication::clipboard()->clear();
  box->setPlainText(QStringLiteral("uno\ndos"));
  select(0, 0);
  EXPECT_EQ(enabled(), "000");
  select(2, 5);  // "o", line end, "d"
  EXPECT_EQ(enabled(), "110");
  Action(editor, "EdiciónCopiar")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("o\nd"));
  select(0, 0);
  EXPECT_EQ(enabled(), "001");

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
  ArrayItem(editor, QStringLiteral("Tamaño"), 2)->trigger();  // triggering the checked item keeps it checked
  ArrayItem(editor, QStringLiteral("Fuente"), 2)->trigger();
  ArrayItem(editor, QStringLiteral("Tamaño"), 0)->trigger();
  EXPECT_EQ(box->font().family() + QString::number(box->font().pointSize()), QStringLiteral("Symbol8"));
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(ArrayItem(editor, QStringLiteral("Fuente"), k)->isChecked(), k == 2) << k;
    EXPECT_EQ(ArrayItem(editor, QStringLiteral("Tamaño"), k)->isChecked(), k == 0) << k;
  }
  // Shown again after closing, it starts afresh.
  fake.yesNoCancelAnswers = {0};
  editor.close();
  editor.show();
  EXPECT_TRUE(box->toPlainText().isEmpty());
  EXPECT_EQ(box->font().family(), QStringLiteral("Courier New"));
  EXPECT_TRUE(ArrayItem(editor, QStringLiteral("Fuente"), 0)->isChecked());
}

TEST(EditorWindow, ReplaceDialog) {
  FakeDialogService fake;
  EditorWindow editor;
  editor.show();
  const struct {
    QString text, from, to, expected;
    const char* button;
    bool refused;
  } cases[] = {
      {QStringLiteral("1,2,3\n4,5"), QStringLiteral(","), QStringLiteral(";"), QStringLiteral("1;2;3\n4;5"), "btnAccept", false},
      {QStringLiteral("a,b"), QStringLiteral(","), QStringLiteral(";"), QStringLiteral("a,b"), "btnCancel", false},
      {QStringLiteral("añoña"), QStringLiteral("ñ"), QStringLiteral("n"), QStringLiteral("anona"), "btnAccept", false},
      {QStringLiteral("abc"), QStringLiteral("z"), QStringLiteral("y"), QStringLiteral("abc"), "btnAccept", false},
      {QStringLiteral("a,b"), QStringLiteral(","), QString(), QStringLiteral("a,b"), "btnAccept", true},
      {QStringLiteral("a,b"), QString(), QStringLiteral(";"), QStringLiteral("a,b"), "btnAccept", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected.toStdString());
    fake.dialogs.clear();
    editor.TextBox()->setPlainText(c.text);
    ReplaceDialog dialog(editor.TextBox(), &editor);
    dialog.show();
    auto* from = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
    QTest::keyClicks(from, QStringLiteral("xy"));
    EXPECT_EQ(from->text(), QStringLiteral("x"));  // one character only
    from->setText(c.from);
    dialog.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(c.to);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(c.button)), Qt::LeftButton);
    EXPECT_EQ(editor.TextBox()->toPlainText(), c.expected);
    EXPECT_EQ(fake.Log(), c.refused ? QStringLiteral("message | none |  | ¡Las dos celdas han de contener un caracter!\n")
                                    : QString());
    EXPECT_EQ(dialog.isVisible(), c.refused);
  }
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
  EXPECT_EQ(fake.Log(), QString());
}

}  // namespace
}  // namespace korvo
