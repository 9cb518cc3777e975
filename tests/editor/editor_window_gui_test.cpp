// frmEditor and frmReemplazar driven through their menus and controls, offscreen; the line ends
// between files and the edit box.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <map>

#include "editor/editor_text.h"
#include "editor/editor_window.h"
#include "editor/replace_dialog.h"
#include "gui_support/fake_dialog_service.h"
#include "gui_support/gui_find.h"
#include "support/files.h"

namespace korvo {
namespace {

using testing::FakeDialogService;
using testing::Find;

// A file read into the box, and the box saved again: CR LF line ends and one more after the text.
TEST(EditorText, FileToBoxAndBackToFile) {
  struct Case {
    const char* name;
    std::string file, box, saved;
  } cases[] = {
      {"empty", "", "", "\r\n"},
      {"no line end", "abc", "abc", "abc\r\n"},
      {"CR LF: the same bytes and one line end more", "a\r\nb\r\n", "a\nb\n", "a\r\nb\r\n\r\n"},
      {"lone CR", "a\rb\r", "a\nb\n", "a\r\nb\r\n\r\n"},
      {"CR LF then lone CR", "a\r\n\rb", "a\n\nb", "a\r\n\r\nb\r\n"},
      {"LF CR is two line ends", "a\n\rb", "a\n\nb", "a\r\n\r\nb\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToEditorLineEnds(c.file), c.box) << c.name;
    EXPECT_EQ(FileTextForSave(c.box), c.saved) << c.name;
  }
}

QAction* ArrayItem(const QWidget& window, const QString& name, int index) {
  for (QAction* action : window.findChildren<QAction*>(name)) {
    if (action->property("index").toInt() == index) return action;
  }
  ADD_FAILURE() << name.toStdString() << index;
  return nullptr;
}

const QString kOpen = QStringLiteral("open | none | Abrir | \n");
const QString kSaveAs = QStringLiteral("save | none | Guardar como | \n");
const QString kClose = QStringLiteral("yesnocancel | information |  |  ¿Desea guardar cambios? \n");
const QString kFailedSave = QStringLiteral("message | critical |  |  No se ha podido guardar el fichero %1/!/salida.txt. *\n");

// Save/open/close steps (text=, shows=, utility=NAME); file answers in the folder (null cancels).
TEST(EditorWindow, SaveOpenAndCloseScenarios) {
  struct Scenario {
    const char* what;
    std::map<QString, std::string> before;
    std::vector<std::string> steps;
    std::vector<bool> yesNo;  // the close question: Yes or No
    QStringList files;
    QString log;                          // "%1" the folder, "*" the rest of a line
    std::map<QString, std::string> after;  // the bytes of files afterwards
    bool visible;
    QString caption;  // the file the title names
  };
  const QString x = QStringLiteral("existe.txt"), o = QStringLiteral("otro.txt"), c = QStringLiteral("coord.txt");
  const std::string accents("A\xF1o: 2026\r\nCa\xF1\xF3n \x80 \xF1\r\n\xDAltima");  // and no last line end
  const std::vector<Scenario> scenarios = {
      {"Windows-1252 and CR LF intact", {{x, accents}}, {"open", "shows=Año: 2026\nCañón € ñ\nÚltima", "save"}, {},
       {x, o}, kOpen + kSaveAs, {{o, accents}}, true, o},
      {"unreadable file: reported, the text stays", {}, {"text=sigue", "open", "shows=sigue"}, {}, {"no.txt"},
       kOpen + QStringLiteral("message | critical |  |  No se ha podido leer el fichero %1/no.txt. *\n"), {}, true, {}},
      {"save with a name overwrites without asking", {}, {"text=uno", "saveas", "text=dos", "save"}, {}, {o}, kSaveAs,
       {{o, "dos\r\n"}}, true, o},
      {"closing an empty text asks nothing", {}, {"close"}, {}, {}, {}, {}, false, {}},
      {"closing, No saves nothing", {{x, "antes\r\n"}}, {"open", "text=cambiado", "close"}, {false}, {x}, kOpen + kClose,
       {{x, "antes\r\n"}}, false, x},
      {"closing, Yes, a failed write and a cancelled dialog keep the window", {}, {"text=importante", "close"}, {true},
       {QStringLiteral("!/salida.txt")}, kClose + kSaveAs + kFailedSave + kSaveAs, {}, true, {}},
      // Regression: the close saved to the coordinate utility's file name, which the caption never showed.
      {"closing saves to the shown file, not a coordinate file", {{x, "antes\r\n"}, {c, "1\r\n4,5,6"}},
       {"open", "utility=coord.txt", "text=después\nde editar", "close"}, {true}, {x}, kOpen + kClose,
       {{x, "despu\xE9s\r\nde editar\r\n"}, {c, "1\r\n4,5,6"}}, false, x},
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
    EditorWindow editor;  // which forgets the coordinate utility's file
    editor.show();
    auto path = [&](const QString& name) { return name.isNull() ? QString() : folder.filePath(name); };
    std::ofstream(folder.filePath(QStringLiteral("!")).toStdString()) << "x";  // a file where a folder should be
    for (const auto& [name, bytes] : s.before) std::ofstream(path(name).toStdString(), std::ios::binary) << bytes;
    fake.yesNoCancelAnswers.assign(s.yesNo.begin(), s.yesNo.end());  // Yes is 1, No is 0
    fake.fileAnswers.clear();
    for (const QString& name : s.files) fake.fileAnswers.push_back(path(name));
    for (const std::string& step : s.steps) {
      if (step.starts_with("text=")) editor.TextBox()->setPlainText(QString::fromStdString(step.substr(5)));
      if (step.starts_with("shows=")) { EXPECT_EQ(editor.TextBox()->toPlainText(), QString::fromStdString(step.substr(6))); }
      if (step.starts_with("utility=")) SetEditorOpenedFileName(path(QString::fromStdString(step.substr(8))));
      if (step == "open") Find<QAction>(&editor, "FicheroAbrir")->trigger();
      if (step == "saveas") Find<QAction>(&editor, "FicheroGuardar")->trigger();
      if (step == "save") Find<QAction>(&editor, "FicheroGu")->trigger();
      if (step == "close") editor.close();
    }
    QString pattern = QRegularExpression::escape(s.log).replace(QStringLiteral("\\*"), QStringLiteral(".*"));
    pattern.replace(QStringLiteral("\\%1"), QRegularExpression::escape(folder.path()));
    EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(fake.Log()).hasMatch())
        << fake.Log().toStdString();
    for (const auto& [name, bytes] : s.after) {
      EXPECT_EQ(testing::ReadWholeFile(path(name).toStdString()), bytes) << name.toStdString();
    }
    EXPECT_EQ(editor.isVisible(), s.visible);
    EXPECT_EQ(editor.windowTitle(),
              QStringLiteral("Editor de texto") + (s.caption.isEmpty() ? QString() : QStringLiteral(" - ") + path(s.caption)));
    fake.yesNoCancelAnswers = {0};
    editor.close();  // whatever is left is not saved
  }
}

// The one editor: printing, the edit menu and clipboard, fonts, replacing; shown again it starts afresh.
TEST(EditorInstance, PrintEditMenuFontsAndAFreshStart) {
  FakeDialogService fake;
  EditorWindow& editor = EditorInstance();
  editor.show();
  QPlainTextEdit* box = editor.TextBox();
  box->setPlainText(QStringLiteral("Año\nfin"));
  fake.printAnswers = {PrintChoice{3, false}, PrintChoice{1, true}, std::nullopt};  // to a file: not available
  for (int i = 0; i < 3; ++i) Find<QAction>(&editor, "FicheroImprimir")->trigger();
  const QString page = QStringLiteral("\r\n\r\n\r\n\r\nAño\r\nfin");
  EXPECT_EQ(fake.printed, (QStringList{page, page, page}));
  EXPECT_EQ(fake.Log(), QStringLiteral("print | none |  | \nprint | none |  | \nmessage | none |  |  Opción no disponible. \n"
                                       "print | none |  | \n"));
  // Selects, opens the menu and tells which of Cortar, Copiar and Pegar it enabled.
  auto select = [box, &editor](int from, int to) {
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    Q_EMIT editor.findChild<QMenu*>(QStringLiteral("mnuEdicion"))->aboutToShow();
    std::string state;
    for (const char* item : {"EdiciónCortar", "EdiciónCopiar", "EdiciónPegar"}) {
      state += Find<QAction>(&editor, item)->isEnabled() ? '1' : '0';
    }
    return state;
  };
  QApplication::clipboard()->clear();
  box->setPlainText(QStringLiteral("uno\ndos"));
  std::string states = select(0, 0);
  states += select(2, 5);  // "o", line end, "d"
  Find<QAction>(&editor, "EdiciónCopiar")->trigger();
  states += select(0, 0);
  EXPECT_EQ(states, "000110001");
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("o\nd"));
  box->setPlainText(QStringLiteral("abcdef"));
  select(1, 3);
  Find<QAction>(&editor, "EdiciónCortar")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("bc"));
  select(3, 4);  // "f" is replaced by the clipboard's text
  Find<QAction>(&editor, "EdiciónPegar")->trigger();
  EXPECT_EQ(box->toPlainText(), QStringLiteral("adebc"));
  QApplication::clipboard()->setText(QStringLiteral("x\r\ny"));  // from elsewhere: one line end each
  select(0, 0);
  Find<QAction>(&editor, "EdiciónPegar")->trigger();
  EXPECT_EQ(box->toPlainText(), QStringLiteral("x\nyadebc"));
  // The font and size of the box, then which font items and which size items are ticked.
  const auto fonts = [box, &editor] {
    std::string state = (box->font().family() + QString::number(box->font().pointSize())).toStdString() + ' ';
    for (const char* menu : {"Fuente", "Tamaño"}) {
      for (int k = 0; k < 3; ++k) state += ArrayItem(editor, QString::fromUtf8(menu), k)->isChecked() ? '1' : '0';
    }
    return state;
  };
  ArrayItem(editor, QStringLiteral("Fuente"), 2)->trigger();
  ArrayItem(editor, QStringLiteral("Tamaño"), 0)->trigger();
  EXPECT_EQ(fonts(), "Symbol8 001100");
  // Replace: every occurrence, Cancelar leaves the text, an empty cell is refused; one character a cell.
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
    box->setPlainText(QString::fromUtf8(c.text));
    ReplaceDialog dialog(box, &editor);
    dialog.show();
    auto* from = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
    QTest::keyClicks(from, QStringLiteral("xy"));
    EXPECT_EQ(from->text(), QStringLiteral("x"));
    from->setText(QString::fromUtf8(c.from));
    dialog.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QString::fromUtf8(c.to));
    QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(c.button)), Qt::LeftButton);
    EXPECT_EQ(box->toPlainText(), QString::fromUtf8(c.expected));
    EXPECT_EQ(fake.Log(), c.refused ? QStringLiteral("message | none |  | ¡Las dos celdas han de contener un caracter!\n") : QString());
    EXPECT_EQ(dialog.isVisible(), c.refused);
  }
  fake.yesNoCancelAnswers = {0};
  editor.close();
  SetEditorOpenedFileName(QStringLiteral("/tmp/coordenadas.txt"));
  ShowEditor();
  EXPECT_TRUE(editor.isVisible() && box->toPlainText().isEmpty() && EditorOpenedFileName().isEmpty());
  EXPECT_EQ(editor.windowTitle(), QStringLiteral("Editor de texto"));
  EXPECT_EQ(fonts(), "Courier New10 100010");
  editor.close();
}

}  // namespace
}  // namespace korvo
