// NuevoI and NuevoII offscreen (lines from the builders the golden file checks): entry, lists, refusals, saving.
#include <cerrno>

#include "common/files.h"
#include "common/win1252.h"
#include "gui_support/entry_support.h"
#include "network/project_file.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo::testing {
namespace {

const QString kUnknown = QStringLiteral("Incógnita");
const QString kFixed = QStringLiteral("Fijo");
const QString kDistance = QStringLiteral("Geométrica");
const QString kZenith = QStringLiteral("Cenital");
const QString kDirection = QStringLiteral("Dirección");

class NuevoTest : public EntryTest {
 protected:
  void TypeSmallNetwork() {  // three vertices, an observation of each type, two baselines
    EnterVertex("1", kUnknown, "4929334.120", "-312456.78", "4024110.5");
    EnterVertex("2", kFixed, "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25");
    EnterVertex("7", kFixed, "4928000", "-313000", "4025000");
    Click(Find<QPushButton>(one, "Command2"));
    EnterObservation(kDistance, "1", "2", "1234.5670", "0.0050");  // the zeros typed are kept
    EnterObservation(kZenith, "1", "7", "99.8765", "10");
    EnterObservation(kDirection, "2", "1", "123.4567", "5");
    EnterBaseline({"1", "2", "666.88", "1456.5", "-1110.25", "1.6E-06", "-4E-07", "3E-07", "2.5E-06", "-1E-07", "4.9E-06"});
    EnterBaseline({"7", "1", "1334.12", "-543.28", "-885.50", "2E-06", "1E-07", "2E-07", "3E-06", "4E-07", "5E-06"});
  }
  std::string SaveAs(const char* name) {
    const std::string path = Path(name);
    dialogs.fileAnswers = {QString::fromStdString(path)};
    Click(Find<QPushButton>(two, "Command3"));
    return path;
  }
};

// The deflection check hides its fields and writes "?"; the pictures and Enter introduce; -32768 fits its box.
TEST_F(NuevoTest, IntroducirByButtonPictureAndEnter) {
  one->show();
  EXPECT_FALSE(Find<QComboBox>(two, "Combo1")->isEditable());  // no observation type can be typed
  auto* check = Find<QCheckBox>(one, "Check1");
  EnterVertex("7", kFixed, "4929334.120", "-312456.78", "4024110.5");
  const std::string expected = Built(BuildVertexLine({"7", kKindFixed, "4929334.120", "-312456.78", "4024110.5", "", "", true}));
  EXPECT_EQ(state.vertexListText, expected);
  EXPECT_EQ(VertexList()->toPlainText(), FromCp1252(expected.substr(0, 106)) + QLatin1Char('\n'));
  EXPECT_TRUE(Find<QComboBox>(one, "Combo1")->currentText().isEmpty() &&
              Find<QComboBox>(one, "Combo2")->currentText() == kFixed);
  EXPECT_TRUE(check->isChecked() && Find<QLineEdit>(one, "Text4")->isHidden());
  EXPECT_FALSE(Find<QLineEdit>(one, "Text5")->isEnabled());
  Type(Find<QComboBox>(one, "Combo1"), QStringLiteral("3"));
  Click(Find<QWidget>(one, "Picture1"));
  EXPECT_EQ(state.vertexListText.size(), 2 * 108u);
  for (const bool unknownDeflection : {false, true}) {
    Type(Find<QComboBox>(one, "Combo1"), unknownDeflection ? QStringLiteral("2") : QStringLiteral("1"));
    check->setChecked(unknownDeflection);
    QTest::keyClick(Find<QLineEdit>(one, "Text3"), Qt::Key_Return);
    if (!unknownDeflection) QTest::keyClick(Find<QLineEdit>(one, "Text5"), Qt::Key_Return);
    EXPECT_EQ(state.vertexListText.size(), (unknownDeflection ? 4 : 3) * 108u) << unknownDeflection;
  }
  two->show();
  EnterObservation(kDirection, "1001", "1002", "123.4567", "5");
  EXPECT_EQ(state.classicalListText, Built(BuildClassicalLine({kTypeDirection, "1001", "1002", "123.4567", "5"})));
  auto* station = Find<QComboBox>(two, "Combo2");
  EXPECT_GE(station->lineEdit()->width(), station->fontMetrics().horizontalAdvance(QStringLiteral("-32768")));
  Click(Find<QWidget>(two, "Picture1"));
  EXPECT_EQ(state.classicalListText.size(), 216u);
  Find<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
  Click(Find<QWidget>(two, "Picture2"));
  EXPECT_EQ(state.gpsListText.size(), 326u);
  EXPECT_TRUE(dialogs.dialogs.empty());
}

// Refused entries add nothing and keep the fields; a click loads the entry under it (known deflection clears
// Check1), MODIFICAR replaces that line, Eliminar asks.
TEST_F(NuevoTest, ClickOnAVertexLoadsItModifyAndEliminar) {
  one->show();
  EnterVertex("1", kUnknown, "4929334.120", "-312456.78", "4024110.5");
  EnterVertex("2", kFixed, "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25");
  EnterVertex("3", kUnknown, "4928000.500", "-313000.0", "4025000.25", "0.10", "-3");
  EnterVertex("4", kFixed, "4927000", "-314000", "4026000");
  EnterVertex("1", kFixed, "4", "5", "6");  // a number already listed
  EXPECT_EQ(Find<QLineEdit>(one, "Text3")->text(), QStringLiteral("6"));
  EnterVertex("5", kUnknown, "1.5", "2.5", "3,5");  // a decimal comma
  EXPECT_EQ(Find<QLineEdit>(one, "Text3")->text(), QStringLiteral("3,5"));
  EXPECT_EQ(dialogs.Log(), QStringLiteral("message | exclamation |  |  El vértice número 1 ya está en la lista. \n"
                                          "message | critical | Signo decimal incorrecto | "
                                          "Use '.' como separador decimal\n"));
  dialogs.dialogs.clear();
  const std::string before = state.vertexListText;
  ASSERT_EQ(before.size(), 4 * 108u);
  auto* modify = Find<QPushButton>(one, "Modificar");
  ClickListAt(VertexList(), 4 * 108);
  EXPECT_TRUE(!one->SelectedEntry().has_value() && modify->isHidden());
  ClickListAt(VertexList(), 10);
  EXPECT_TRUE(Find<QCheckBox>(one, "Check1")->isChecked());
  ClickListAt(VertexList(), 2 * 108 + 104);  // near the line's end
  EXPECT_EQ(one->SelectedEntry(), std::optional<std::size_t>(2));
  EXPECT_EQ(Find<QComboBox>(one, "Combo1")->currentText(), QStringLiteral("3"));
  EXPECT_EQ(Find<QLineEdit>(one, "Text1")->text(), QStringLiteral("4928000.5"));
  EXPECT_FALSE(Find<QCheckBox>(one, "Check1")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(one, "Text4")->text(), QStringLiteral(".1"));
  EXPECT_TRUE(modify->isVisible() && modify->isEnabled());
  EXPECT_EQ(VertexList()->textCursor().selectedText().left(9), QStringLiteral("Punto   3"));
  Type(Find<QLineEdit>(one, "Text3"), QStringLiteral("4025100.75"));
  Click(modify);
  const std::string third = Built(BuildVertexLine({"3", kKindUnknown, "4928000.5", "-313000", "4025100.75", ".1", "-3"}));
  EXPECT_EQ(state.vertexListText, before.substr(0, 216) + third + before.substr(324));
  EXPECT_EQ(VertexList()->Section(), state.vertexListText);
  EXPECT_TRUE(modify->isHidden() && dialogs.dialogs.empty());
  const std::string modified = state.vertexListText;
  ClickListAt(VertexList(), 108);
  Type(Find<QComboBox>(one, "Combo1"), QStringLiteral("1"));
  Click(modify);
  EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral(" El vértice número 1 ya está en la lista. ")});
  EXPECT_EQ(state.vertexListText, modified);
  for (const bool yes : {false, true}) {
    ClickListAt(VertexList(), 108);
    dialogs.yesNoAnswers = {yes};
    Click(Find<QPushButton>(one, "Eliminar"));
    EXPECT_EQ(dialogs.Log().split('\n').at(1 + yes),
              QStringLiteral("yesno | question |  |  ¿Desea eliminar de la lista la entrada seleccionada? "));
    EXPECT_EQ(state.vertexListText, yes ? modified.substr(0, 108) + modified.substr(216) : modified);
  }
  EXPECT_TRUE(Find<QPushButton>(one, "Eliminar")->isHidden());
}

// A click loads the entry (type and station stay after it; the matrix's lower half mirrors), MODIFICAR replaces it.
TEST_F(NuevoTest, ObservationListsLoadTheClickedEntryAndModifyReplacesIt) {
  one->show();
  TypeSmallNetwork();
  ClickListAt(ClassicalList(), 108 + 90);  // the zenith angle
  Type(Find<QLineEdit>(two, "Text1"), QStringLiteral("99.8766"));
  Click(Find<QPushButton>(two, "Modificar"));
  EXPECT_EQ(state.classicalListText, Built(BuildClassicalLine({kTypeDistance, "1", "2", "1234.5670", "0.0050"})) +
                                         Built(BuildClassicalLine({kTypeZenith, "1", "7", "99.8766", "10"})) +
                                         Built(BuildClassicalLine({kTypeDirection, "2", "1", "123.4567", "5"})));
  EXPECT_EQ(Find<QComboBox>(two, "Combo1")->currentText(), kZenith);
  EXPECT_EQ(Find<QComboBox>(two, "Combo2")->currentText(), QStringLiteral("1"));
  EXPECT_TRUE(Find<QComboBox>(two, "Combo3")->currentText().isEmpty());
  const std::string before = state.gpsListText;
  for (std::size_t inBlock : {0u, 150u, 320u}) ClickListAt(GpsList(), 326 + inBlock);  // its three lines
  EXPECT_EQ(two->SelectedGpsEntry(), std::optional<std::size_t>(1));
  const std::pair<const char*, const char*> fields[] = {{"Text13", "-885.5"}, {"Text37", "2E-07"}, {"Text39", "5E-06"},
                                                        {"Text33", "2E-07"}, {"Text36", "4E-07"}};
  for (const auto& [name, text] : fields) EXPECT_EQ(Find<QLineEdit>(two, name)->text(), QString::fromLatin1(text)) << name;
  EXPECT_TRUE(Find<QLineEdit>(two, "Text32")->isReadOnly());
  Type(Find<QLineEdit>(two, "Text34"), QStringLiteral("1E-07"));
  Type(Find<QLineEdit>(two, "Text12"), QStringLiteral("-543.29"));
  Click(Find<QPushButton>(two, "Modificar2"));
  const std::string block = Built(BuildGpsBlock({"7", "1", "1334.12", "-543.29", "-885.5", "2E-06", "1E-07", "2E-07",
                                                 "3E-06", "4E-07", "5E-06"}));
  EXPECT_EQ(state.gpsListText, before.substr(0, 326) + block);
  EXPECT_TRUE(Find<QLineEdit>(two, "Text32")->text().isEmpty());
}

// A failed save keeps the window; saved and loaded; Editar refuses unreadable and untitled files; started anew, read
// back by Editar; after a matrix import only vertices, until one more is typed. (The overwrite question is the shared
// save loop's: the main window tests it.)
TEST_F(NuevoTest, TypedNetworkSavedEditedAndSavedWithImportedMatrices) {
  one->show();
  TypeSmallNetwork();
  const ProjectState typed = state;
  state.projectFilePath = "anterior.txt";
  SaveAs("no_existe/red.txt");  // a folder that is not there: the message, then the dialog again, cancelled
  const QString saveLine = QStringLiteral("save | none | Guardar fichero de datos | \n");
  EXPECT_EQ(dialogs.Log(), saveLine + QStringLiteral("message | critical |  |  ¡Se ha producido un error al guardar el "
                                                     "archivo! \n") + saveLine);
  EXPECT_TRUE(loadedPaths.empty() && two->isVisible());
  EXPECT_EQ(state.projectFilePath, "anterior.txt");
  const std::string path = SaveAs("red.txt");
  EXPECT_EQ(loadedPaths, std::vector<std::string>{path});
  EXPECT_EQ(state.projectFilePath, path);
  EXPECT_TRUE(one->isHidden() && two->isHidden());
  // Editar refuses a file it cannot read and one without the three titles: nothing opens, the lists stay.
  const std::string untitled = Path("sin_titulos.txt");
  ASSERT_TRUE(WriteFileAtomically(untitled, Cp1252("VÉRTICES DE LA RED\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n")).ok());
  dialogs.dialogs.clear();
  for (const std::string& refused : {Path("no_existe.txt"), untitled}) {
    state.editMode = true;
    EXPECT_FALSE(windows->EditProjectFile(refused));
    EXPECT_FALSE(state.editMode);
  }
  const QString missingTitles = QStringLiteral(
      " no contiene los títulos \"VÉRTICES DE LA RED\", \"OBSERVACIONES CLÁSICAS\" y \"OBSERVACIONES GPS\" en ese "
      "orden, así que no es un fichero de datos que se pueda editar. No se ha abierto, para no guardar sobre él unas "
      "listas vacías.\n");
  EXPECT_EQ(dialogs.Log(), QStringLiteral("message | none |  | ") + FromCp1252(SystemErrorText(ENOENT)) + '\n' +
                               QStringLiteral("message | exclamation |  | El fichero ") +
                               QString::fromStdString(untitled) + missingTitles);
  EXPECT_EQ(state.vertexListText, typed.vertexListText);
  EXPECT_TRUE(one->isHidden() && two->isHidden());
  windows->StartNewNetwork();
  EXPECT_TRUE(state.vertexListText.empty() && state.classicalListText.empty() && state.gpsListText.empty());
  EXPECT_TRUE(VertexList()->toPlainText().isEmpty() && one->isVisible());
  state.editMode = true;
  ASSERT_TRUE(windows->EditProjectFile(path));
  EXPECT_FALSE(state.editMode);
  EXPECT_EQ((std::vector{VertexList()->Section(), ClassicalList()->Section(), GpsList()->Section()}),
            (std::vector{typed.vertexListText, typed.classicalListText, typed.gpsListText}));
  EXPECT_TRUE(one->isVisible() && two->isVisible());
  state.matricesImported = true;  // as a successful matrix import leaves it
  const ProjectSections saved = SplitProjectText(ReadWholeFile(SaveAs("matrices.txt")));
  EXPECT_TRUE(saved.titlesFound && saved.classicalListText.empty() && saved.gpsListText.empty());
  EXPECT_EQ(saved.vertexListText, typed.vertexListText);
  for (const bool baseline : {false, true}) {
    state.matricesImported = true;
    if (baseline) EnterBaseline({"1", "2", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
    else EnterObservation(kDistance, "1", "2", "10", "0.01");
    EXPECT_FALSE(state.matricesImported) << baseline;
  }
}

// Closing the last entry window asks before unsaved entries are lost: No keeps window and list, Yes discards.
TEST_F(NuevoTest, ClosingTheLastEntryWindowAsksBeforeDiscarding) {
  const QString asked = QStringLiteral(
      "yesno | question |  |  Hay entradas de datos que no se han guardado. \r\n ¿Desea descartarlas? \n");
  struct Row {
    const char* what;
    bool typeVertex, toObservations, saved;
    std::deque<bool> answers;
    bool asks, closed;
  } rows[] = {
      {"nothing typed", false, false, false, {}, false, true},
      {"a vertex, answer No", true, false, false, {false}, true, false},
      {"a vertex, answer Yes", true, false, false, {true}, true, true},
      {"from the observations window", true, true, false, {false}, true, false},
      {"entries saved", true, false, true, {}, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    windows->StartNewNetwork();
    if (row.typeVertex) EnterVertex("1", QStringLiteral("Fijo"), "4848527.184", "-50980.563", "4116958.214");
    if (row.saved) MarkListsSaved(state);
    QWidget* shown = one;
    if (row.toObservations) {
      Click(Find<QPushButton>(one, "Command2"));
      shown = two;
    }
    ASSERT_TRUE(shown->isVisible());
    const std::string typed = state.vertexListText;
    dialogs.dialogs.clear();
    dialogs.yesNoAnswers = row.answers;
    shown->close();
    EXPECT_EQ(dialogs.Log(), row.asks ? asked : QString());
    EXPECT_EQ(shown->isVisible(), !row.closed);
    EXPECT_EQ(state.vertexListText, row.closed && row.asks ? std::string() : typed);
    EXPECT_EQ(HasUnsavedEntries(state), !row.closed);
    shown->hide();
  }
}

}  // namespace
}  // namespace korvo::testing
