// NuevoI and NuevoII driven offscreen: typing, Enter, the lists, MODIFICAR, Eliminar, the
// refusals, GUARDAR Y SALIR and Editar; expected lines come from the file's column tables.
#include <cerrno>
#include <functional>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"
#include "gui_support/entry_support.h"
#include "network/load_network.h"
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

// "Punto", number (4), blank, "(kind)" (11), X, Y, Z (12 each), D.V.NS, D.V.EW (7 each).
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
  void TypeSmallNetwork() {  // three vertices, an observation of each type, two baselines
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
  std::string SaveAs(const char* name) {
    const std::string path = Path(name);
    dialogs.fileAnswers = {QString::fromStdString(path)};
    Click(Named<QPushButton>(two, "Command3"));
    return path;
  }
};

// The deflection check hides its fields and writes "?", and stays with the kind for the next
// vertex; the pictures beside the buttons introduce, and so does Enter in the last field (the
// standard deviation, D.V.EW, or Z when the deflection is unknown).
TEST_F(NuevoTest, IntroducirByButtonPictureAndEnter) {
  one->show();
  auto* check = Named<QCheckBox>(one, "Check1");
  for (const bool unknown : {true, false}) {
    check->setChecked(unknown);
    EXPECT_EQ(Named<QLineEdit>(one, "Text4")->isHidden(), unknown);
    EXPECT_EQ(Named<QLineEdit>(one, "Text5")->isEnabled(), !unknown);
  }
  EnterVertex("7", kFixed, "4929334.120", "-312456.78", "4024110.5");
  const std::string expected = VertexLine("7", "Fijo", "4929334.120", "-312456.78", "4024110.5", "?", "?");
  EXPECT_EQ(state.vertexListText, expected);
  EXPECT_EQ(VertexList()->toPlainText(), FromCp1252(expected.substr(0, 106)) + QLatin1Char('\n'));
  EXPECT_TRUE(Named<QComboBox>(one, "Combo1")->currentText().isEmpty());
  EXPECT_EQ(Named<QComboBox>(one, "Combo2")->currentText(), kFixed);
  EXPECT_TRUE(check->isChecked());
  Type(Named<QComboBox>(one, "Combo1"), QStringLiteral("3"));
  Click(Named<QWidget>(one, "Picture1"));
  EXPECT_EQ(state.vertexListText.size(), 2 * 108u);
  for (const bool unknownDeflection : {false, true}) {
    Type(Named<QComboBox>(one, "Combo1"), unknownDeflection ? QStringLiteral("2") : QStringLiteral("1"));
    check->setChecked(unknownDeflection);
    QTest::keyClick(Named<QLineEdit>(one, "Text3"), Qt::Key_Return);
    if (!unknownDeflection) QTest::keyClick(Named<QLineEdit>(one, "Text5"), Qt::Key_Return);
    EXPECT_EQ(state.vertexListText.size(), (unknownDeflection ? 4 : 3) * 108u) << unknownDeflection;
  }
  two->show();
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(0);
  Choose(Named<QComboBox>(two, "Combo1"), kDirection);
  Type(Named<QComboBox>(two, "Combo2"), QStringLiteral("1001"));
  Type(Named<QComboBox>(two, "Combo3"), QStringLiteral("1002"));
  Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("123.4567"));
  Type(Named<QLineEdit>(two, "Text2"), QStringLiteral("5"));
  QTest::keyClick(Named<QLineEdit>(two, "Text2"), Qt::Key_Return);
  EXPECT_EQ(state.classicalListText, ClassicalLine("Dirección", "1001", "1002", "123.4567", "5"));
  // The widest number shows whole in the station box.
  auto* station = Named<QComboBox>(two, "Combo2");
  EXPECT_GE(station->lineEdit()->width(), station->fontMetrics().horizontalAdvance(QStringLiteral("-32768")));
  Click(Named<QWidget>(two, "Picture1"));
  EXPECT_EQ(state.classicalListText.size(), 216u);
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
  Click(Named<QWidget>(two, "Picture2"));
  EXPECT_EQ(state.gpsListText.size(), 326u);
  EXPECT_TRUE(dialogs.dialogs.empty());
}

// A refused vertex adds nothing, shows one message and leaves the typed Z in its field.
TEST_F(NuevoTest, RefusedEntriesShowTheirMessageAndKeepTheFields) {
  const QString refusal = QStringLiteral("message | exclamation |  | ");
  const struct {
    const char* what;
    std::function<void()> enter;
    std::size_t size;  // of the vertex list after the row
    QString log, kept;
  } cases[] = {
      {"coma en Z", [&] { EnterVertex("1", kUnknown, "1.5", "2.5", "3,5"); }, 0,
       QStringLiteral("message | critical | Signo decimal incorrecto | Use '.' como separador decimal\n"),
       QStringLiteral("3,5")},
      {"número de 5", [&] { EnterVertex("12345", kUnknown, "1", "2", "3"); }, 0,
       refusal + QStringLiteral("El número de vértice no puede tener más de 4 caracteres.\n"), QStringLiteral("3")},
      {"número repetido", [&] { EnterVertex("1", kUnknown, "1", "2", "3"), EnterVertex("1", kFixed, "4", "5", "6"); },
       108, refusal + QStringLiteral(" El vértice número 1 ya está en la lista. \n"), QStringLiteral("6")},
  };
  EXPECT_FALSE(Named<QComboBox>(two, "Combo1")->isEditable());  // no observation type can be typed
  one->show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    state.vertexListText.clear();
    dialogs.dialogs.clear();
    c.enter();
    EXPECT_EQ(state.vertexListText.size(), c.size);
    EXPECT_EQ(dialogs.Log(), c.log);
    EXPECT_EQ(Named<QLineEdit>(one, "Text3")->text(), c.kept);
  }
}

// A click loads the entry under it, MODIFICAR replaces only that line, keeping its own number
// but refusing another entry's; Eliminar removes the entry after its question.
TEST_F(NuevoTest, ClickOnAVertexLoadsItModifyAndEliminar) {
  one->show();
  EnterVertex("1", kUnknown, "4929334.120", "-312456.78", "4024110.5");
  EnterVertex("2", kFixed, "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25");
  EnterVertex("3", kUnknown, "4928000.500", "-313000.0", "4025000.25", "0.10", "-3");
  EnterVertex("4", kFixed, "4927000", "-314000", "4026000");
  const std::string before = state.vertexListText;
  ASSERT_EQ(before.size(), 4 * 108u);
  auto* modify = Named<QPushButton>(one, "Modificar");

  // The empty line after the last entry loads nothing; a vertex with known deflection after
  // one with unknown clears Check1, or MODIFICAR would turn its values into unknowns.
  ClickListAt(VertexList(), 4 * 108);
  EXPECT_FALSE(one->SelectedEntry().has_value());
  EXPECT_TRUE(modify->isHidden());
  ClickListAt(VertexList(), 10);
  EXPECT_TRUE(Named<QCheckBox>(one, "Check1")->isChecked());
  for (std::size_t column : {0u, 104u}) {
    ClickListAt(VertexList(), 2 * 108 + column);
    EXPECT_EQ(one->SelectedEntry(), std::optional<std::size_t>(2)) << column;
    EXPECT_EQ(Named<QComboBox>(one, "Combo1")->currentText(), QStringLiteral("3")) << column;
  }
  EXPECT_EQ(Named<QLineEdit>(one, "Text1")->text(), QStringLiteral("4928000.5"));
  EXPECT_FALSE(Named<QCheckBox>(one, "Check1")->isChecked());
  EXPECT_EQ(Named<QLineEdit>(one, "Text4")->text(), QStringLiteral(".1"));
  EXPECT_TRUE(modify->isVisible() && modify->isEnabled());
  EXPECT_EQ(VertexList()->textCursor().selectedText().left(9), QStringLiteral("Punto   3"));

  Type(Named<QLineEdit>(one, "Text3"), QStringLiteral("4025100.75"));
  Click(modify);
  EXPECT_EQ(state.vertexListText, before.substr(0, 216) +
                                      VertexLine("3", "Incógnita", "4928000.5", "-313000", "4025100.75", ".1", "-3") +
                                      before.substr(324));
  EXPECT_EQ(VertexList()->Section(), state.vertexListText);
  EXPECT_TRUE(modify->isHidden() && dialogs.dialogs.empty());
  // MODIFICAR refuses the number of another entry; Eliminar asks first.
  const std::string modified = state.vertexListText;
  ClickListAt(VertexList(), 108);
  Type(Named<QComboBox>(one, "Combo1"), QStringLiteral("1"));
  Click(modify);
  EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral(" El vértice número 1 ya está en la lista. ")});
  EXPECT_EQ(state.vertexListText, modified);
  for (const bool yes : {false, true}) {
    ClickListAt(VertexList(), 108);
    dialogs.yesNoAnswers = {yes};
    Click(Named<QPushButton>(one, "Eliminar"));
    EXPECT_EQ(dialogs.Log().split('\n').at(1 + yes),
              QStringLiteral("yesno | question |  |  ¿Desea eliminar de la lista la entrada seleccionada? "));
    EXPECT_EQ(state.vertexListText, yes ? modified.substr(0, 108) + modified.substr(216) : modified);
  }
  EXPECT_TRUE(Named<QPushButton>(one, "Eliminar")->isHidden());
}

TEST_F(NuevoTest, ObservationListsLoadTheClickedEntryAndModifyReplacesIt) {
  two->show();
  EnterObservation(kDistance, "1", "2", "1234.5670", "0.0050");
  EnterObservation(kDirection, "2", "1", "123.4567", "5");
  EnterObservation(kZenith, "1", "7", "99.8765", "10");
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
  const std::string before = state.gpsListText;
  for (std::size_t inBlock : {0u, 150u, 320u}) ClickListAt(GpsList(), 326 + inBlock);  // its three lines
  EXPECT_EQ(two->SelectedGpsEntry(), std::optional<std::size_t>(1));
  // The lower triangle (Text32, Text33, Text36) repeats the upper one and cannot be typed.
  const std::pair<const char*, const char*> fields[] = {{"Text13", "-885.5"}, {"Text37", "2E-07"}, {"Text39", "5E-06"},
                                                        {"Text33", "2E-07"}, {"Text36", "4E-07"}};
  for (const auto& [name, text] : fields) EXPECT_EQ(Named<QLineEdit>(two, name)->text(), QString::fromLatin1(text)) << name;
  EXPECT_TRUE(Named<QLineEdit>(two, "Text32")->isReadOnly());
  QTest::keyClick(Named<QLineEdit>(two, "Text34"), Qt::Key_Backspace);
  EXPECT_EQ(Named<QLineEdit>(two, "Text32")->text(), QStringLiteral("1E-0"));
  Type(Named<QLineEdit>(two, "Text34"), QStringLiteral("1E-07"));
  Type(Named<QLineEdit>(two, "Text12"), QStringLiteral("-543.29"));
  Click(Named<QPushButton>(two, "Modificar2"));
  // Only that block is written again, from the fields in their short form.
  const std::string block = Built(BuildGpsBlock({"7", "1", "1334.12", "-543.29", "-885.5", "2E-06", "1E-07", "2E-07",
                                                 "3E-06", "4E-07", "5E-06"}));
  EXPECT_EQ(state.gpsListText, before.substr(0, 326) + block);
  EXPECT_TRUE(Named<QLineEdit>(two, "Text32")->text().isEmpty());
}

// The typed network saved, loaded, started anew and read back by Editar; saved again after a
// matrix import, the file keeps the vertices only.
TEST_F(NuevoTest, TypedNetworkSavedEditedAndSavedWithImportedMatrices) {
  one->show();
  TypeSmallNetwork();
  const ProjectState typed = state;
  const std::string path = SaveAs("red.txt");
  ASSERT_EQ(dialogs.dialogs.size(), 1u);
  EXPECT_EQ(dialogs.dialogs[0].request.filter, QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|"
                                                              "*.tmp|Todos los archivos (*.*)|*.*"));
  EXPECT_EQ(dialogs.dialogs[0].request.filterIndex, 3);
  EXPECT_EQ(loadedPaths, std::vector<std::string>{path});
  EXPECT_EQ(state.projectFilePath, path);
  EXPECT_TRUE(one->isHidden() && two->isHidden());

  const Result<NetworkModel> model = ScanProjectText(ReadWholeFile(path));
  ASSERT_TRUE(model.ok()) << Cp1252ToUtf8(model.error());
  EXPECT_EQ((std::vector{model->VertexCount(), model->ClassicalCount(), model->GpsCount()}), (std::vector{3, 3, 2}));
  EXPECT_TRUE(model->vertices[2].deflectionUnknown);

  windows->StartNewNetwork();
  EXPECT_TRUE(state.vertexListText.empty() && state.classicalListText.empty() && state.gpsListText.empty());
  EXPECT_TRUE(VertexList()->toPlainText().isEmpty() && one->isVisible());
  state.editMode = true;
  ASSERT_TRUE(windows->EditProjectFile(path));
  EXPECT_FALSE(state.editMode);
  EXPECT_EQ(VertexList()->Section(), typed.vertexListText);
  EXPECT_EQ(ClassicalList()->Section(), typed.classicalListText);
  EXPECT_EQ(GpsList()->Section(), typed.gpsListText);
  EXPECT_TRUE(one->isVisible() && two->isVisible());

  state.matricesImported = true;  // as a successful matrix import leaves it
  const ProjectSections sections = SplitProjectText(ReadWholeFile(SaveAs("matrices.txt")));
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.vertexListText, typed.vertexListText);
  EXPECT_TRUE(sections.classicalListText.empty() && sections.gpsListText.empty());
  // Typing an observation or a baseline means the system is typed again.
  for (const bool baseline : {false, true}) {
    state.matricesImported = true;
    if (baseline) EnterBaseline({"1", "2", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
    else EnterObservation(kDistance, "1", "2", "10", "0.01");
    EXPECT_FALSE(state.matricesImported) << baseline;
  }
}

// GUARDAR Y SALIR over an existing file ("q": No offers the dialog again, Yes writes; or
// cancelled) or into a missing folder ("m": reported, the dialog offered again).
TEST_F(NuevoTest, SaveFlows) {
  const struct {
    std::vector<const char*> answers;  // file names in the test folder
    std::vector<bool> yesNo;
    std::string kinds;  // of the dialogs: "s" save, "q" question, "m" message
    bool saved;
  } cases[] = {{{"existente.txt", "existente.txt"}, {false, true}, "sqsq", true},
               {{"existente.txt"}, {false}, "sqs", false},
               {{"no_existe/red.txt"}, {}, "sms", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kinds);
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
    for (const RecordedDialog& d : dialogs.dialogs)
      kinds += d.kind == RecordedDialog::Kind::Save ? 's' : d.kind == RecordedDialog::Kind::YesNo ? 'q' : 'm';
    ASSERT_EQ(kinds, c.kinds);
    const QString question = QStringLiteral("yesno | information |  |  ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? \n");
    const QStringList saveError{QStringLiteral(" ¡Se ha producido un error al guardar el archivo! ")};
    EXPECT_TRUE(kinds[1] == 'q' ? dialogs.Log().contains(question) : dialogs.Messages() == saveError) << kinds;
    EXPECT_EQ(ReadWholeFile(Path("existente.txt")) != "antiguo", c.saved);
    EXPECT_EQ(loadedPaths.size(), c.saved ? 1u : 0u);
    EXPECT_EQ(two->isVisible(), !c.saved);
    EXPECT_EQ(state.projectFilePath == "anterior.txt", !c.saved);
  }
}

// Editar opens nothing from a file it cannot read or one without the three titles.
TEST_F(NuevoTest, EditarRefusesUnreadableFilesAndFilesWithoutTitles) {
  state.vertexListText = "antes";
  one->hide();
  const std::string untitled = Path("sin_titulos.txt");
  ASSERT_TRUE(WriteFileAtomically(untitled, Cp1252("VÉRTICES DE LA RED\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n")).ok());
  const struct {
    std::string path;
    QString log;
  } cases[] = {
      {Path("no_existe.txt"), QStringLiteral("message | none |  | ") + FromCp1252(SystemErrorText(ENOENT)) + '\n'},
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
    EXPECT_EQ(state.vertexListText, "antes");
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
