// The entry windows NuevoI and NuevoII, driven offscreen as a user would: typing, clicking
// the lists, MODIFICAR, the refusals, GUARDAR Y SALIR and Editar. Expected lines are built
// from the column tables of the project file; saved files are read back by the loader.
#include <cerrno>
#include <functional>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"
#include "gui_support/entry_support.h"
#include "network/load_network.h"
#include "network/project_file.h"
#include "support/files.h"

namespace korvo::testing {
namespace {

const QString kUnknown = QStringLiteral("Incógnita");
const QString kFixed = QStringLiteral("Fijo");
const QString kDistance = QStringLiteral("Geométrica");
const QString kZenith = QStringLiteral("Cenital");
const QString kDirection = QStringLiteral("Dirección");

// A vertex line from the column table: "Punto", number (4), blank, "(kind)" (11), then
// "  X =" X (12), "  Y =" Y (12), "  Z =" Z (12), "  D.V.NS =" (7), "  D.V.EW =" (7).
std::string VertexLine(const std::string& number, const std::string& kind, const std::string& x,
                       const std::string& y, const std::string& z, const std::string& ns, const std::string& ew) {
  return "Punto" + PadLeft(number, 4) + " " + PadLeft("(" + Cp1252(kind) + ")", 11) + "  X =" + PadLeft(x, 12) +
         "  Y =" + PadLeft(y, 12) + "  Z =" + PadLeft(z, 12) + "  D.V.NS =" + PadLeft(ns, 7) + "  D.V.EW =" +
         PadLeft(ew, 7) + "\r\n";
}

std::string ClassicalLine(const std::string& type, const std::string& from, const std::string& to,
                          const std::string& value, const std::string& stdDev) {
  return PadLeft(Cp1252(type), 10) + " " + " de " + PadLeft(from, 4) + "    a   " + PadLeft(to, 4) + "  " +
         "     Valor: " + PadLeft(value, 10) + "  " + Cp1252("     Desviación típica: ") + PadLeft(stdDev, 6) +
         std::string(19, ' ') + "\r\n";
}

class NuevoTest : public EntryTest {
 protected:
  // Three vertices (unknown deflection, known deflection, fixed 7 with unknown deflection),
  // one observation of each type and two baselines.
  void TypeSmallNetwork() {
    EnterVertex("1", kUnknown, "4929334.120", "-312456.78", "4024110.5");
    EnterVertex("2", kFixed, "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25");
    EnterVertex("7", kFixed, "4928000", "-313000", "4025000");
    Click(Named<QPushButton>(one, "Command2"));
    EnterObservation(kDistance, "1", "2", "1234.5678", "0.005");
    EnterObservation(kZenith, "1", "7", "99.8765", "10");
    EnterObservation(kDirection, "2", "1", "123.4567", "5");
    EnterBaseline({"1", "2", "666.88", "1456.5", "-1110.25", "1.6E-06", "-4E-07", "3E-07", "2.5E-06", "-1E-07",
                   "4.9E-06"});
    EnterBaseline({"7", "1", "1334.12", "-543.28", "-885.5", "2E-06", "1E-07", "2E-07", "3E-06", "4E-07", "5E-06"});
  }
  // Saves through GUARDAR Y SALIR into the test folder.
  std::string SaveAs(const char* name) {
    const std::string path = Path(name);
    dialogs.fileAnswers = {QString::fromStdString(path)};
    Click(Named<QPushButton>(two, "Command3"));
    return path;
  }
};

TEST_F(NuevoTest, VertexLineFollowsTheDeflectionCheckAndThePicturesIntroduce) {
  one->show();
  auto* check = Named<QCheckBox>(one, "Check1");
  check->setChecked(true);
  EXPECT_TRUE(Named<QLineEdit>(one, "Text4")->isHidden());
  EXPECT_FALSE(Named<QLineEdit>(one, "Text5")->isEnabled());
  check->setChecked(false);
  EXPECT_FALSE(Named<QLineEdit>(one, "Text4")->isHidden());
  EXPECT_TRUE(Named<QLineEdit>(one, "Text5")->isEnabled());

  EnterVertex("7", kFixed, "4929334.120", "-312456.78", "4024110.5");
  const std::string expected = VertexLine("7", "Fijo", "4929334.120", "-312456.78", "4024110.5", "?", "?");
  EXPECT_EQ(state.vertexListText, expected);
  EXPECT_EQ(VertexList()->toPlainText(), FromCp1252(expected.substr(0, 106)) + QLatin1Char('\n'));
  // The typed fields are cleared; the kind and the check box stay.
  EXPECT_TRUE(Named<QComboBox>(one, "Combo1")->currentText().isEmpty());
  EXPECT_TRUE(Named<QLineEdit>(one, "Text1")->text().isEmpty());
  EXPECT_EQ(Named<QComboBox>(one, "Combo2")->currentText(), kFixed);
  EXPECT_TRUE(check->isChecked());

  // The pictures beside the buttons act as Introducir.
  Type(Named<QComboBox>(one, "Combo1"), QStringLiteral("3"));
  Click(Named<QWidget>(one, "Picture1"));
  EXPECT_EQ(state.vertexListText.size(), 2 * 108u);
  two->show();
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(0);
  Choose(Named<QComboBox>(two, "Combo1"), kZenith);
  Click(Named<QWidget>(two, "Picture1"));
  EXPECT_EQ(state.classicalListText.size(), 108u);
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
  Click(Named<QWidget>(two, "Picture2"));
  EXPECT_EQ(state.gpsListText.size(), 326u);
  EXPECT_TRUE(dialogs.dialogs.empty());
}

// A refused entry adds nothing, shows one message and leaves the typed text in the fields.
TEST_F(NuevoTest, RefusedEntriesShowTheirMessageAndKeepTheFields) {
  const QString comma = QStringLiteral("message | critical | Signo decimal incorrecto | Use '.' como separador decimal\n");
  const auto refusal = [](const char* text) { return QStringLiteral("message | exclamation |  | ") + text + '\n'; };
  const struct {
    const char* what;
    std::function<void()> enter;
    const std::string* section;
    std::size_t size;  // of the section after the row
    QString log;
    QLineEdit* field;
    QString kept;
  } cases[] = {
      {"coma en Z", [&] { EnterVertex("1", kUnknown, "1.5", "2.5", "3,5"); }, &state.vertexListText, 0, comma,
       Named<QLineEdit>(one, "Text3"), QStringLiteral("3,5")},
      {"coma en el valor", [&] { EnterObservation(kDistance, "1", "2", "10,5", "0.01"); }, &state.classicalListText, 0,
       comma, Named<QLineEdit>(two, "Text1"), QStringLiteral("10,5")},
      {"coma en Cyz", [&] { EnterBaseline({"1", "2", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0,0", "1E-06"}); },
       &state.gpsListText, 0, comma, Named<QLineEdit>(two, "Text38"), QStringLiteral("0,0")},
      {"número de 5", [&] { EnterVertex("12345", kUnknown, "1", "2", "3"); }, &state.vertexListText, 0,
       refusal("El número de vértice no puede tener más de 4 caracteres."), Named<QLineEdit>(one, "Text3"),
       QStringLiteral("3")},
      {"sin tipo", [&] {
         EnterObservation(kDistance, "1", "2", "10", "0.01");
         Named<QComboBox>(two, "Combo1")->setCurrentIndex(-1);
         Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("20"));
         Click(Named<QPushButton>(two, "Command4"));
       },
       &state.classicalListText, 108,
       refusal("El tipo de observación debe ser \"Dirección\", \"Cenital\" o \"Geométrica\"."),
       Named<QLineEdit>(two, "Text1"), QStringLiteral("20")},
  };
  EXPECT_FALSE(Named<QComboBox>(two, "Combo1")->isEditable());
  one->show();
  two->show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::string* list : {&state.vertexListText, &state.classicalListText, &state.gpsListText}) list->clear();
    dialogs.dialogs.clear();
    c.enter();
    EXPECT_EQ(c.section->size(), c.size);
    EXPECT_EQ(dialogs.Log(), c.log);
    EXPECT_EQ(c.field->text(), c.kept);
  }
}

TEST_F(NuevoTest, ClickOnAVertexLoadsItAndModifyReplacesOnlyThatLine) {
  one->show();
  EnterVertex("1", kUnknown, "4929334.120", "-312456.78", "4024110.5");
  EnterVertex("2", kFixed, "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25");
  EnterVertex("3", kUnknown, "4928000.500", "-313000.0", "4025000.25", "0.10", "-3");
  EnterVertex("4", kFixed, "4927000", "-314000", "4026000");
  const std::string before = state.vertexListText;
  ASSERT_EQ(before.size(), 4 * 108u);
  auto* modify = Named<QPushButton>(one, "Modificar");

  // The empty line after the last entry loads nothing.
  ClickListAt(VertexList(), 4 * 108);
  EXPECT_FALSE(one->SelectedEntry().has_value());
  EXPECT_TRUE(modify->isHidden());
  // Vertex 1 has unknown deflection and ticks Check1; clicking then a vertex with known
  // values must clear it, or MODIFICAR would turn those values into unknowns.
  ClickListAt(VertexList(), 10);
  EXPECT_TRUE(Named<QCheckBox>(one, "Check1")->isChecked());
  EXPECT_TRUE(Named<QLineEdit>(one, "Text4")->isHidden());
  for (std::size_t column : {0u, 30u, 104u}) {
    ClickListAt(VertexList(), 2 * 108 + column);
    EXPECT_EQ(one->SelectedEntry(), std::optional<std::size_t>(2)) << column;
    EXPECT_EQ(Named<QComboBox>(one, "Combo1")->currentText(), QStringLiteral("3")) << column;
  }
  EXPECT_EQ(Named<QLineEdit>(one, "Text1")->text(), QStringLiteral("4928000.5"));
  EXPECT_FALSE(Named<QCheckBox>(one, "Check1")->isChecked());
  EXPECT_FALSE(Named<QLineEdit>(one, "Text4")->isHidden());
  EXPECT_EQ(Named<QLineEdit>(one, "Text4")->text(), QStringLiteral(".1"));
  EXPECT_TRUE(modify->isVisible() && modify->isEnabled());
  // The clicked entry is highlighted in the list.
  EXPECT_EQ(VertexList()->textCursor().selectedText().left(9), QStringLiteral("Punto   3"));

  Type(Named<QLineEdit>(one, "Text3"), QStringLiteral("4025100.75"));
  Click(modify);
  EXPECT_EQ(state.vertexListText, before.substr(0, 216) +
                                      VertexLine("3", "Incógnita", "4928000.5", "-313000", "4025100.75", ".1", "-3") +
                                      before.substr(324));
  EXPECT_EQ(VertexList()->Section(), state.vertexListText);
  EXPECT_TRUE(Named<QLineEdit>(one, "Text3")->text().isEmpty());
  EXPECT_TRUE(modify->isHidden());
}

TEST_F(NuevoTest, ObservationListsLoadTheClickedEntryAndModifyReplacesIt) {
  two->show();
  EnterObservation(kDistance, "1", "2", "1234.5670", "0.0050");
  EnterObservation(kDirection, "2", "1", "123.4567", "5");
  EnterObservation(kZenith, "1", "7", "99.8765", "10");
  ClickListAt(ClassicalList(), 50);
  EXPECT_EQ(two->SelectedClassicalEntry(), std::optional<std::size_t>(0));
  EXPECT_EQ(Named<QComboBox>(two, "Combo1")->currentText(), kDistance);
  EXPECT_EQ(Named<QComboBox>(two, "Combo3")->currentText(), QStringLiteral("2"));
  ClickListAt(ClassicalList(), 2 * 108 + 90);
  Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("99.8766"));
  Click(Named<QPushButton>(two, "Modificar"));
  EXPECT_EQ(state.classicalListText, ClassicalLine("Geométrica", "1", "2", "1234.5670", "0.0050") +
                                         ClassicalLine("Dirección", "2", "1", "123.4567", "5") +
                                         ClassicalLine("Cenital", "1", "7", "99.8766", "10"));
  // The type and the station stay for the next sight; the target and values are cleared.
  EXPECT_EQ(Named<QComboBox>(two, "Combo1")->currentText(), kZenith);
  EXPECT_EQ(Named<QComboBox>(two, "Combo2")->currentText(), QStringLiteral("1"));
  EXPECT_TRUE(Named<QComboBox>(two, "Combo3")->currentText().isEmpty());

  EnterBaseline({"1", "2", "666.88", "1456.5", "-1110.25", "1.6E-06", "-4E-07", "3E-07", "2.5E-06", "-1E-07", "4.9E-06"});
  EnterBaseline({"7", "1", "1334.12", "-543.28", "-885.50", "2E-06", "1E-07", "2E-07", "3E-06", "4E-07", "5E-06"});
  EnterBaseline({"3", "4", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  const std::string before = state.gpsListText;
  // Line 1 start, inside the matrix of line 1, line 2, line 3 near its end.
  for (std::size_t inBlock : {0u, 75u, 150u, 200u, 230u, 320u}) {
    ClickListAt(GpsList(), 326 + inBlock);
    EXPECT_EQ(two->SelectedGpsEntry(), std::optional<std::size_t>(1)) << inBlock;
  }
  // The lower triangle (Text32, Text33, Text36) repeats the upper one and cannot be typed.
  const std::pair<const char*, const char*> fields[] = {
      {"Text11", "1334.12"}, {"Text12", "-543.28"}, {"Text13", "-885.5"}, {"Text31", "2E-06"}, {"Text34", "1E-07"},
      {"Text37", "2E-07"},   {"Text35", "3E-06"},   {"Text38", "4E-07"},  {"Text39", "5E-06"}, {"Text32", "1E-07"},
      {"Text33", "2E-07"},   {"Text36", "4E-07"}};
  for (const auto& [name, text] : fields) EXPECT_EQ(Named<QLineEdit>(two, name)->text(), QString::fromLatin1(text)) << name;
  EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), QStringLiteral("7"));
  EXPECT_TRUE(Named<QLineEdit>(two, "Text32")->isReadOnly());
  QTest::keyClick(Named<QLineEdit>(two, "Text34"), Qt::Key_Backspace);
  EXPECT_EQ(Named<QLineEdit>(two, "Text32")->text(), QStringLiteral("1E-0"));
  Type(Named<QLineEdit>(two, "Text34"), QStringLiteral("1E-07"));
  Type(Named<QLineEdit>(two, "Text12"), QStringLiteral("-543.29"));
  Click(Named<QPushButton>(two, "Modificar2"));
  // The block is written again from the fields, in their short form ("-885.50" is shown as "-885.5").
  ASSERT_EQ(state.gpsListText.size(), before.size());
  EXPECT_EQ(state.gpsListText.substr(0, 326) + state.gpsListText.substr(652), before.substr(0, 326) + before.substr(652));
  EXPECT_EQ(FieldAt(state.gpsListText, 326 + 152, 10), PadLeft("-543.29", 10));
  EXPECT_EQ(FieldAt(state.gpsListText, 326 + 261, 10), PadLeft("-885.5", 10));
  EXPECT_TRUE(Named<QLineEdit>(two, "Text11")->text().isEmpty());
  EXPECT_TRUE(Named<QLineEdit>(two, "Text32")->text().isEmpty());
}

TEST_F(NuevoTest, NavigationKeepsTheFieldsOfTheHiddenWindow) {
  one->show();
  Type(Named<QLineEdit>(one, "Text1"), QStringLiteral("123.5"));
  Click(Named<QPushButton>(one, "Command2"));
  EXPECT_TRUE(one->isHidden() && two->isVisible());
  Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("99.5"));
  Click(Named<QPushButton>(two, "Command1"));
  EXPECT_TRUE(two->isHidden() && one->isVisible());
  EXPECT_EQ(Named<QLineEdit>(one, "Text1")->text(), QStringLiteral("123.5"));
  Click(Named<QPushButton>(one, "Command2"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text1")->text(), QStringLiteral("99.5"));
}

// The typed network saved, loaded, started anew and read back by Editar; saved again after a
// matrix import, the file keeps the vertices only.
TEST_F(NuevoTest, TypedNetworkSavedEditedAndSavedWithImportedMatrices) {
  one->show();
  TypeSmallNetwork();
  EXPECT_TRUE(dialogs.dialogs.empty()) << dialogs.Messages().join(QLatin1Char('|')).toStdString();
  const ProjectState typed = state;
  const std::string path = SaveAs("red.txt");
  ASSERT_EQ(dialogs.dialogs.size(), 1u);
  EXPECT_EQ(dialogs.dialogs[0].request.filter, QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|"
                                                              "*.tmp|Todos los archivos (*.*)|*.*"));
  EXPECT_EQ(dialogs.dialogs[0].request.filterIndex, 3);
  EXPECT_EQ(loadedPaths, std::vector<std::string>{path});
  EXPECT_EQ(state.projectFilePath, path);
  EXPECT_TRUE(one->isHidden() && two->isHidden());

  const std::string bytes = ReadWholeFile(path);
  EXPECT_TRUE(bytes.starts_with(Cp1252("Fichero de datos de la aplicación KORVO\r\n")));
  EXPECT_EQ(bytes.substr(bytes.find("Punto"), 216),
            VertexLine("1", "Incógnita", "4929334.120", "-312456.78", "4024110.5", "?", "?") +
                VertexLine("2", "Fijo", "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25"));
  const Result<NetworkModel> model = ScanProjectText(bytes);
  ASSERT_TRUE(model.ok()) << Cp1252ToUtf8(model.error());
  EXPECT_EQ((std::vector{model->VertexCount(), model->ClassicalCount(), model->GpsCount()}), (std::vector{3, 3, 2}));
  EXPECT_TRUE(model->vertices[2].deflectionUnknown);

  windows->StartNewNetwork();
  EXPECT_TRUE(state.vertexListText.empty() && state.classicalListText.empty() && state.gpsListText.empty());
  EXPECT_TRUE(VertexList()->toPlainText().isEmpty());
  EXPECT_TRUE(one->isVisible());
  state.editMode = true;
  ASSERT_TRUE(windows->EditProjectFile(path));
  EXPECT_FALSE(state.editMode);
  EXPECT_EQ(VertexList()->Section(), typed.vertexListText);
  EXPECT_EQ(ClassicalList()->Section(), typed.classicalListText);
  EXPECT_EQ(GpsList()->Section(), typed.gpsListText);
  EXPECT_EQ(state.gpsListText, typed.gpsListText);
  EXPECT_TRUE(one->isVisible() && two->isVisible());
  // The entries read back can be clicked as typed ones.
  ClickListAt(GpsList(), 326 + 50);
  EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), QStringLiteral("7"));

  state.matricesImported = true;  // as a successful matrix import leaves it
  const ProjectSections sections = SplitProjectText(ReadWholeFile(SaveAs("matrices.txt")));
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.vertexListText, typed.vertexListText);
  EXPECT_TRUE(sections.classicalListText.empty() && sections.gpsListText.empty());
  // Typing an observation or a baseline means the system is typed again.
  state.matricesImported = true;
  EnterObservation(kDistance, "1", "2", "10", "0.01");
  EXPECT_FALSE(state.matricesImported);
  state.matricesImported = true;
  EnterBaseline({"1", "2", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  EXPECT_FALSE(state.matricesImported);
}

// GUARDAR Y SALIR over an existing file, cancelled, or into a folder that does not exist.
TEST_F(NuevoTest, SaveFlows) {
  const QString question = QStringLiteral("yesno | information |  |  ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? \n");
  struct Case {
    const char* what;
    std::vector<const char*> answers;  // file names in the test folder
    std::vector<bool> yesNo;
    std::string kinds;  // of the dialogs, by kind: "s" save, "q" question, "m" message
    bool written, loaded;
  };
  const Case cases[] = {
      {"No shows the dialog again, Yes writes", {"existente.txt", "existente.txt"}, {false, true}, "sqsq", true, true},
      {"No, then cancel, saves nothing", {"existente.txt"}, {false}, "sqs", false, false},
      // The failed write is reported and the dialog offered again.
      {"a folder that does not exist", {"no_existe/red.txt"}, {}, "sms", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    two->show();
    dialogs.dialogs.clear();
    loadedPaths.clear();
    state.projectFilePath = "anterior.txt";
    ASSERT_TRUE(WriteFileAtomically(Path("existente.txt"), "antiguo").ok());
    dialogs.fileAnswers.clear();
    for (const char* name : c.answers) dialogs.fileAnswers.push_back(QString::fromStdString(Path(name)));
    dialogs.yesNoAnswers.assign(c.yesNo.begin(), c.yesNo.end());
    Click(Named<QPushButton>(two, "Command3"));
    std::string kinds;
    for (const RecordedDialog& d : dialogs.dialogs) {
      kinds += d.kind == RecordedDialog::Kind::Save ? 's' : d.kind == RecordedDialog::Kind::YesNo ? 'q' : 'm';
    }
    EXPECT_EQ(kinds, c.kinds);
    if (kinds.size() > 1 && kinds[1] == 'q') {
      EXPECT_TRUE(dialogs.Log().contains(question)) << dialogs.Log().toStdString();
    }
    if (kinds.size() > 1 && kinds[1] == 'm') {
      EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral(" ¡Se ha producido un error al guardar el archivo! ")});
    }
    EXPECT_EQ(ReadWholeFile(Path("existente.txt")) != "antiguo", c.written);
    EXPECT_EQ(loadedPaths.size(), c.loaded ? 1u : 0u);
    EXPECT_EQ(two->isVisible(), !c.loaded);
    if (!c.loaded) {
      EXPECT_EQ(state.projectFilePath, "anterior.txt");
    }
  }
}

// Editar opens nothing from a file it cannot read or one without the three titles, which
// would be saved back as empty lists.
TEST_F(NuevoTest, EditarRefusesUnreadableFilesAndFilesWithoutTitles) {
  one->show();
  EnterVertex("1", kUnknown, "1", "2", "3");
  const std::string before = state.vertexListText;
  one->hide();
  const std::string untitled = Path("sin_titulos.txt");
  const std::string text = Cp1252("Fichero de datos de la aplicación KORVO\r\n\r\nVÉRTICES DE LA RED\r\n\r\n") +
                           VertexLine("5", "Fijo", "1", "2", "3", "0", "0") +
                           Cp1252("\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n\r\n");
  ASSERT_TRUE(WriteFileAtomically(untitled, text).ok());
  const std::string missing = Path("no_existe.txt");
  const struct {
    std::string path;
    QString log;
  } cases[] = {
      {missing, QStringLiteral("message | none |  | ") + FromCp1252(SystemErrorText(ENOENT)) + '\n'},
      {untitled, QStringLiteral("message | exclamation |  | El fichero ") + QString::fromStdString(untitled) +
                     QStringLiteral(" no contiene los títulos \"VÉRTICES DE LA RED\", \"OBSERVACIONES CLÁSICAS\" y "
                                    "\"OBSERVACIONES GPS\" en ese orden, así que no es un fichero de datos que se pueda "
                                    "editar. No se ha abierto, para no guardar sobre él unas listas vacías.\n")},
  };
  for (const auto& c : cases) {
    dialogs.dialogs.clear();
    state.editMode = true;
    EXPECT_FALSE(windows->EditProjectFile(c.path));
    EXPECT_FALSE(state.editMode);
    EXPECT_EQ(dialogs.Log(), c.log);
    EXPECT_EQ(state.vertexListText, before);
    EXPECT_TRUE(one->isHidden() && two->isHidden());
  }
}

TEST_F(NuevoTest, ProcessWideFunctionsOpenTheSameWindows) {
  ProjectState mainState;
  mainState.vertexListText = "old";
  mainState.projectTooBig = true;
  StartNewNetwork(mainState);
  EXPECT_TRUE(mainState.vertexListText.empty());
  EXPECT_FALSE(mainState.projectTooBig);
  EntryWindows& process = EntryWindowsFor(mainState);
  EXPECT_TRUE(process.NuevoI()->isVisible());
  EXPECT_EQ(&EntryWindowsFor(mainState), &process);
  process.NuevoI()->hide();
}

}  // namespace
}  // namespace korvo::testing
