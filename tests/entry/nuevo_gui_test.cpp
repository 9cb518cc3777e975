// The entry windows NuevoI and NuevoII, driven offscreen as a user would: typing, clicking
// the lists, MODIFICAR, GUARDAR Y SALIR. Expected lines are built from the column tables of
// the project file, and saved files are read back by the loader's scan.
#include <QFontMetrics>
#include <cerrno>
#include <QLabel>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"
#include "gui_support/entry_support.h"
#include "network/load_network.h"
#include "network/network_model.h"
#include "network/project_file.h"

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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

class NuevoTest : public EntryTest {
 protected:
  // A small network: three vertices (unknown deflection, known deflection, fixed 7 with
  // unknown deflection), one observation of each type and two baselines.
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
};

TEST_F(NuevoTest, AnObservationWithoutATypeWordIsRefused) {
  EXPECT_FALSE(Named<QComboBox>(two, "Combo1")->isEditable());
  two->show();
  EnterObservation(kDistance, "1", "2", "10", "0.01");
  const std::string before = state.classicalListText;
  Named<QComboBox>(two, "Combo1")->setCurrentIndex(-1);
  Type(Named<QComboBox>(two, "Combo2"), QStringLiteral("1"));
  Click(Named<QPushButton>(two, "Command4"));
  EXPECT_EQ(state.classicalListText, before);
  ASSERT_EQ(dialogs.Messages().size(), 1);
}

TEST_F(NuevoTest, FixedVertexWithUnknownDeflectionShowsItsLineAtOnce) {
  one->show();
  auto* check = Named<QCheckBox>(one, "Check1");
  check->setChecked(true);
  EXPECT_TRUE(Named<QLineEdit>(one, "Text4")->isHidden());
  EXPECT_FALSE(Named<QLineEdit>(one, "Text5")->isEnabled());
  check->setChecked(false);
  EXPECT_FALSE(Named<QLineEdit>(one, "Text4")->isHidden());
  EXPECT_TRUE(Named<QLineEdit>(one, "Text5")->isEnabled());

  EnterVertex("7", kFixed, "4929334.120", "-312456.78", "4024110.5");
  const std::string expected = VertexLine("7", "Fijo", "4929334.120", "-312456.78", "4024110.5", "      ?", "      ?");
  ASSERT_EQ(expected.size(), 108u);
  EXPECT_EQ(state.vertexListText, expected);
  EXPECT_EQ(expected.substr(0, 21), "Punto   7      (Fijo)");
  EXPECT_EQ(VertexList()->Section(), expected);
  EXPECT_EQ(VertexList()->toPlainText(), FromCp1252(expected.substr(0, 106)) + QLatin1Char('\n'));
  // The typed fields are cleared; the kind and the check box stay.
  EXPECT_TRUE(Named<QComboBox>(one, "Combo1")->currentText().isEmpty());
  EXPECT_TRUE(Named<QLineEdit>(one, "Text1")->text().isEmpty());
  EXPECT_EQ(Named<QComboBox>(one, "Combo2")->currentText(), kFixed);
  EXPECT_TRUE(dialogs.dialogs.empty());
}

TEST_F(NuevoTest, PicturesBesideTheButtonsActAsIntroducir) {
  one->show();
  Type(Named<QComboBox>(one, "Combo1"), QStringLiteral("3"));
  Type(Named<QLineEdit>(one, "Text1"), QStringLiteral("1"));
  Click(Named<QWidget>(one, "Picture1"));
  EXPECT_EQ(state.vertexListText.size(), 108u);
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

TEST_F(NuevoTest, DecimalCommaIsRefusedAndFieldsKeepTheirText) {
  one->show();
  EnterVertex("1", kUnknown, "1.5", "2.5", "3,5");
  EXPECT_TRUE(state.vertexListText.empty());
  EXPECT_EQ(dialogs.Log(), QStringLiteral("message | critical | Signo decimal incorrecto | Use '.' como separador decimal\n"));
  EXPECT_EQ(Named<QLineEdit>(one, "Text3")->text(), QStringLiteral("3,5"));
  EXPECT_EQ(Named<QComboBox>(one, "Combo1")->currentText(), QStringLiteral("1"));

  two->show();
  EnterObservation(kDistance, "1", "2", "10,5", "0.01");
  EnterBaseline({"1", "2", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0,0", "1E-06"});
  EXPECT_TRUE(state.classicalListText.empty());
  EXPECT_TRUE(state.gpsListText.empty());
  EXPECT_EQ(dialogs.Messages(), QStringList(3, QStringLiteral("Use '.' como separador decimal")));
}

TEST_F(NuevoTest, TextsWiderThanTheirColumnsAreRefused) {
  one->show();
  struct Case {
    const char* what;
    std::function<void()> enter;
    const std::string* section;
  };
  const std::vector<Case> cases = {
      {"vertex number of 5", [&] { EnterVertex("12345", kUnknown, "1", "2", "3"); }, &state.vertexListText},
      {"X of 13", [&] { EnterVertex("1", kUnknown, "1234567.12345", "2", "3"); }, &state.vertexListText},
      {"deflection of 8", [&] { EnterVertex("1", kUnknown, "1", "2", "3", "1.234567", "1"); }, &state.vertexListText},
      {"value of 11", [&] { EnterObservation(kDistance, "1", "2", "1234.567891", "0.01"); }, &state.classicalListText},
      {"stdDev of 7", [&] { EnterObservation(kDistance, "1", "2", "10", "0.00125"); }, &state.classicalListText},
      {"station of 5", [&] { EnterObservation(kZenith, "10000", "2", "10", "1"); }, &state.classicalListText},
      {"DX of 11", [&] { EnterBaseline({"1", "2", "-12345.6789", "1", "1", "1", "0", "0", "1", "0", "1"}); },
       &state.gpsListText},
      {"Czz of 11", [&] { EnterBaseline({"1", "2", "1", "1", "1", "1", "0", "0", "1", "0", "0.000001234"}); },
       &state.gpsListText},
  };
  two->show();
  for (const Case& c : cases) {
    dialogs.dialogs.clear();
    c.enter();
    EXPECT_TRUE(c.section->empty()) << c.what;
    ASSERT_EQ(dialogs.dialogs.size(), 1u) << c.what;
    EXPECT_EQ(dialogs.dialogs[0].icon, MessageIcon::Exclamation) << c.what;
    EXPECT_FALSE(dialogs.dialogs[0].text.isEmpty()) << c.what;
  }
  // A text of exactly the column's width is taken.
  EnterVertex("9999", kUnknown, "1234567.1234", "2", "3", "1.23456", "-1.2345");
  EXPECT_EQ(state.vertexListText.size(), 108u);
}

TEST_F(NuevoTest, ClickOnThirdVertexLoadsItAndModifyReplacesOnlyThatLine) {
  one->show();
  EnterVertex("1", kUnknown, "4929334.120", "-312456.78", "4024110.5");
  EnterVertex("2", kFixed, "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25");
  EnterVertex("3", kUnknown, "4928000.500", "-313000.0", "4025000.25", "0.10", "-3");
  EnterVertex("4", kFixed, "4927000", "-314000", "4026000");
  const std::vector<std::string> before = Lines(state.vertexListText);
  ASSERT_EQ(before.size(), 4u);

  for (std::size_t column : {0u, 30u, 104u}) {
    ClickListAt(VertexList(), 2 * 108 + column);
    EXPECT_EQ(one->SelectedEntry(), std::optional<std::size_t>(2)) << column;
    EXPECT_EQ(Named<QComboBox>(one, "Combo1")->currentText(), QStringLiteral("3")) << column;
  }
  // Numbers come back in their short form: trailing zeros dropped.
  EXPECT_EQ(Named<QComboBox>(one, "Combo2")->currentText(), kUnknown);
  EXPECT_EQ(Named<QLineEdit>(one, "Text1")->text(), QStringLiteral("4928000.5"));
  EXPECT_EQ(Named<QLineEdit>(one, "Text2")->text(), QStringLiteral("-313000"));
  EXPECT_EQ(Named<QLineEdit>(one, "Text3")->text(), QStringLiteral("4025000.25"));
  EXPECT_EQ(Named<QLineEdit>(one, "Text4")->text(), QStringLiteral(".1"));
  EXPECT_EQ(Named<QLineEdit>(one, "Text5")->text(), QStringLiteral("-3"));
  EXPECT_FALSE(Named<QCheckBox>(one, "Check1")->isChecked());
  auto* modify = Named<QPushButton>(one, "Modificar");
  EXPECT_FALSE(modify->isHidden());
  EXPECT_TRUE(modify->isEnabled());
  // The clicked entry is highlighted in the list.
  EXPECT_EQ(VertexList()->textCursor().selectedText().left(9), QStringLiteral("Punto   3"));

  Type(Named<QLineEdit>(one, "Text3"), QStringLiteral("4025100.75"));
  Click(modify);
  const std::vector<std::string> after = Lines(state.vertexListText);
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[1], before[1]);
  EXPECT_EQ(after[3], before[3]);
  EXPECT_EQ(after[2] + "\r\n", VertexLine("3", "Incógnita", "4928000.5", "-313000", "4025100.75", ".1", "-3"));
  EXPECT_EQ(VertexList()->Section(), state.vertexListText);
  EXPECT_TRUE(Named<QLineEdit>(one, "Text3")->text().isEmpty());
  EXPECT_TRUE(modify->isHidden());
}

TEST_F(NuevoTest, ClickOnKnownDeflectionAfterUnknownClearsTheCheckBox) {
  // A vertex with unknown deflection ticks Check1; clicking then a vertex with known values
  // must clear it, or MODIFICAR would turn those values into unknowns.
  one->show();
  EnterVertex("1", kUnknown, "1", "2", "3");
  EnterVertex("2", kUnknown, "4", "5", "6", "1.5", "-2.5");
  ClickListAt(VertexList(), 10);
  EXPECT_TRUE(Named<QCheckBox>(one, "Check1")->isChecked());
  EXPECT_TRUE(Named<QLineEdit>(one, "Text4")->isHidden());
  ClickListAt(VertexList(), 108 + 10);
  EXPECT_FALSE(Named<QCheckBox>(one, "Check1")->isChecked());
  EXPECT_FALSE(Named<QLineEdit>(one, "Text4")->isHidden());
  EXPECT_EQ(Named<QLineEdit>(one, "Text4")->text(), QStringLiteral("1.5"));
  const std::string listBefore = state.vertexListText;
  Click(Named<QPushButton>(one, "Modificar"));
  EXPECT_EQ(state.vertexListText, listBefore);
}

TEST_F(NuevoTest, ClassicalClickAndModify) {
  two->show();
  EnterObservation(kDistance, "1", "2", "1234.5670", "0.0050");
  EnterObservation(kDirection, "2", "1", "123.4567", "5");
  EnterObservation(kZenith, "1", "7", "99.8765", "10");
  EXPECT_EQ(state.classicalListText.substr(108, 108), ClassicalLine("Dirección", "2", "1", "123.4567", "5"));
  ClickListAt(ClassicalList(), 50);
  EXPECT_EQ(two->SelectedClassicalEntry(), std::optional<std::size_t>(0));
  EXPECT_EQ(Named<QComboBox>(two, "Combo1")->currentText(), kDistance);
  EXPECT_EQ(Named<QComboBox>(two, "Combo2")->currentText(), QStringLiteral("1"));
  EXPECT_EQ(Named<QComboBox>(two, "Combo3")->currentText(), QStringLiteral("2"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text1")->text(), QStringLiteral("1234.567"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text2")->text(), QStringLiteral(".005"));
  EXPECT_FALSE(Named<QPushButton>(two, "Modificar")->isHidden());

  ClickListAt(ClassicalList(), 2 * 108 + 90);
  EXPECT_EQ(Named<QComboBox>(two, "Combo1")->currentText(), kZenith);
  Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("99.8766"));
  Click(Named<QPushButton>(two, "Modificar"));
  const std::vector<std::string> lines = Lines(state.classicalListText);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0] + "\r\n", ClassicalLine("Geométrica", "1", "2", "1234.5670", "0.0050"));
  EXPECT_EQ(lines[2] + "\r\n", ClassicalLine("Cenital", "1", "7", "99.8766", "10"));
  // The type and the station stay for the next sight; the target and values are cleared.
  EXPECT_EQ(Named<QComboBox>(two, "Combo1")->currentText(), kZenith);
  EXPECT_TRUE(Named<QComboBox>(two, "Combo3")->currentText().isEmpty());
}

TEST_F(NuevoTest, LowerTriangleMirrorsTheUpperOneOnEveryChange) {
  two->show();
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
  auto* cxy = Named<QLineEdit>(two, "Text34");
  QTest::keyClicks(cxy, QStringLiteral("1.5E-07"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text32")->text(), QStringLiteral("1.5E-07"));
  QTest::keyClick(cxy, Qt::Key_Backspace);
  EXPECT_EQ(Named<QLineEdit>(two, "Text32")->text(), QStringLiteral("1.5E-0"));
  QTest::keyClicks(Named<QLineEdit>(two, "Text37"), QStringLiteral("-2E-07"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text33")->text(), QStringLiteral("-2E-07"));
  QTest::keyClicks(Named<QLineEdit>(two, "Text38"), QStringLiteral("3E-07"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text36")->text(), QStringLiteral("3E-07"));
  EXPECT_TRUE(Named<QLineEdit>(two, "Text32")->isReadOnly());
}

TEST_F(NuevoTest, SecondGpsBlockIsLoadedWhateverColumnWasClicked) {
  two->show();
  EnterBaseline({"1", "2", "666.880", "1456.5", "-1110.25", "1.60E-06", "-4E-07", "3E-07", "2.5E-06", "-1E-07",
                 "4.9E-06"});
  EnterBaseline({"7", "1", "1334.12", "-543.28", "-885.50", "2E-06", "1E-07", "2E-07", "3E-06", "4E-07", "5E-06"});
  EnterBaseline({"3", "4", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  ASSERT_EQ(state.gpsListText.size(), 3 * 326u);
  const std::string before = state.gpsListText;
  // Line 1 start, inside the matrix of line 1, line 2, line 3 near its end.
  for (std::size_t inBlock : {0u, 75u, 150u, 200u, 230u, 320u}) {
    ClickListAt(GpsList(), 326 + inBlock);
    EXPECT_EQ(two->SelectedGpsEntry(), std::optional<std::size_t>(1)) << inBlock;
    EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), QStringLiteral("7")) << inBlock;
    EXPECT_EQ(Named<QComboBox>(two, "Combo13")->currentText(), QStringLiteral("1")) << inBlock;
  }
  const std::pair<const char*, const char*> fields[] = {
      {"Text11", "1334.12"}, {"Text12", "-543.28"}, {"Text13", "-885.5"}, {"Text31", "2E-06"}, {"Text34", "1E-07"},
      {"Text37", "2E-07"},   {"Text35", "3E-06"},   {"Text38", "4E-07"},  {"Text39", "5E-06"}, {"Text32", "1E-07"},
      {"Text36", "4E-07"}};
  for (const auto& [name, text] : fields) EXPECT_EQ(Named<QLineEdit>(two, name)->text(), QString::fromLatin1(text)) << name;
  EXPECT_FALSE(Named<QPushButton>(two, "Modificar2")->isHidden());

  Type(Named<QLineEdit>(two, "Text12"), QStringLiteral("-543.29"));
  Click(Named<QPushButton>(two, "Modificar2"));
  ASSERT_EQ(state.gpsListText.size(), before.size());
  EXPECT_EQ(state.gpsListText.substr(0, 326), before.substr(0, 326));
  EXPECT_EQ(state.gpsListText.substr(652), before.substr(652));
  EXPECT_EQ(FieldAt(state.gpsListText, 326 + 152, 10), PadLeft("-543.29", 10));
  EXPECT_EQ(FieldAt(state.gpsListText, 326 + 261, 10), PadLeft("-885.5", 10));
  EXPECT_TRUE(Named<QLineEdit>(two, "Text11")->text().isEmpty());
  EXPECT_TRUE(Named<QLineEdit>(two, "Text32")->text().isEmpty());
}

TEST_F(NuevoTest, ClickAfterTheLastEntryLoadsNothing) {
  one->show();
  EnterVertex("1", kUnknown, "1", "2", "3");
  ClickListAt(VertexList(), 108);  // the empty line after the last entry
  EXPECT_FALSE(one->SelectedEntry().has_value());
  EXPECT_TRUE(Named<QPushButton>(one, "Modificar")->isHidden());
}

TEST_F(NuevoTest, NavigationKeepsTheFieldsOfTheHiddenWindow) {
  one->show();
  Type(Named<QLineEdit>(one, "Text1"), QStringLiteral("123.5"));
  Click(Named<QPushButton>(one, "Command2"));
  EXPECT_TRUE(one->isHidden());
  EXPECT_TRUE(two->isVisible());
  Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("99.5"));
  Click(Named<QPushButton>(two, "Command1"));
  EXPECT_TRUE(two->isHidden());
  EXPECT_TRUE(one->isVisible());
  EXPECT_EQ(Named<QLineEdit>(one, "Text1")->text(), QStringLiteral("123.5"));
  Click(Named<QPushButton>(one, "Command2"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text1")->text(), QStringLiteral("99.5"));
}

TEST_F(NuevoTest, WholeNetworkTypedSavedAndLoadedBack) {
  one->show();
  TypeSmallNetwork();
  EXPECT_TRUE(dialogs.dialogs.empty()) << dialogs.Messages().join(QLatin1Char('|')).toStdString();
  const std::string path = Path("red.txt");
  dialogs.fileAnswers = {QString::fromStdString(path)};
  Click(Named<QPushButton>(two, "Command3"));

  ASSERT_EQ(dialogs.dialogs.size(), 1u);
  const FileDialogRequest& request = dialogs.dialogs[0].request;
  EXPECT_EQ(request.filter, QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|"
                                           "Todos los archivos (*.*)|*.*"));
  EXPECT_EQ(request.filterIndex, 3);
  EXPECT_EQ(loadedPaths, std::vector<std::string>{path});
  EXPECT_EQ(state.projectFilePath, path);
  EXPECT_TRUE(two->isHidden());

  auto bytes = ReadFileBytes(path);
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(bytes->substr(0, 41), Cp1252("Fichero de datos de la aplicación KORVO\r\n"));
  // The vertex lines sit at their columns in the file.
  const std::size_t firstVertex = bytes->find("Punto");
  ASSERT_NE(firstVertex, std::string::npos);
  EXPECT_EQ(bytes->substr(firstVertex, 108),
            VertexLine("1", "Incógnita", "4929334.120", "-312456.78", "4024110.5", "      ?", "      ?"));
  EXPECT_EQ(bytes->substr(firstVertex + 108, 108),
            VertexLine("2", "Fijo", "4930001.25", "-311000.5", "4023000.75", "1.5", "-2.25"));
  const ProjectSections sections = SplitProjectText(*bytes);
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.vertexListText, state.vertexListText);
  EXPECT_EQ(sections.classicalListText, state.classicalListText);
  EXPECT_EQ(sections.gpsListText, state.gpsListText);

  // The file loads as the network typed.
  Result<NetworkModel> model = ScanProjectText(*bytes);
  ASSERT_TRUE(model.ok()) << Cp1252ToUtf8(model.error());
  EXPECT_EQ(model->vertices.size(), 3u);
  EXPECT_EQ(model->classical.size(), 3u);
  EXPECT_EQ(model->baselines.size(), 2u);
  EXPECT_TRUE(model->vertices[2].deflectionUnknown);
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
    for (const RecordedDialog& d : dialogs.dialogs) kinds += d.kind == RecordedDialog::Kind::Save ? 's' : d.kind == RecordedDialog::Kind::YesNo ? 'q' : 'm';
    EXPECT_EQ(kinds, c.kinds);
    if (kinds.size() > 1 && kinds[1] == 'q') {
      EXPECT_TRUE(dialogs.Log().contains(question)) << dialogs.Log().toStdString();
    }
    if (kinds == "sm") {
      EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral(" ¡Se ha producido un error al guardar el archivo! ")});
    }
    EXPECT_EQ(*ReadFileBytes(Path("existente.txt")) != "antiguo", c.written);
    EXPECT_EQ(loadedPaths.size(), c.loaded ? 1u : 0u);
    EXPECT_EQ(two->isVisible(), !c.loaded);
    if (!c.loaded) {
      EXPECT_EQ(state.projectFilePath, "anterior.txt");
    }
  }
}

TEST_F(NuevoTest, ImportedMatricesLeaveTheObservationSectionsEmpty) {
  one->show();
  TypeSmallNetwork();
  state.matricesImported = true;  // as a successful matrix import leaves it
  const std::string path = Path("matrices.txt");
  dialogs.fileAnswers = {QString::fromStdString(path)};
  Click(Named<QPushButton>(two, "Command3"));
  auto bytes = ReadFileBytes(path);
  ASSERT_TRUE(bytes.ok());
  const ProjectSections sections = SplitProjectText(*bytes);
  ASSERT_TRUE(sections.titlesFound);
  EXPECT_EQ(sections.vertexListText.size(), 3 * 108u);
  EXPECT_TRUE(sections.classicalListText.empty());
  EXPECT_TRUE(sections.gpsListText.empty());
}

TEST_F(NuevoTest, TypingAnObservationClearsTheImportedMatricesFlag) {
  state.matricesImported = true;
  two->show();
  EnterObservation(kDistance, "1", "2", "10", "0.01");
  EXPECT_FALSE(state.matricesImported);
}

TEST_F(NuevoTest, NuevoStartsEmptyAndEditarReadsTheFileBack) {
  one->show();
  TypeSmallNetwork();
  const ProjectState typed = state;
  const std::string path = Path("red.txt");
  dialogs.fileAnswers = {QString::fromStdString(path)};
  Click(Named<QPushButton>(two, "Command3"));
  ASSERT_EQ(loadedPaths.size(), 1u);

  windows->StartNewNetwork();
  EXPECT_TRUE(state.vertexListText.empty());
  EXPECT_TRUE(state.classicalListText.empty());
  EXPECT_TRUE(state.gpsListText.empty());
  EXPECT_TRUE(VertexList()->toPlainText().isEmpty());
  EXPECT_TRUE(one->isVisible());

  state.editMode = true;
  ASSERT_TRUE(windows->EditProjectFile(path));
  EXPECT_FALSE(state.editMode);
  EXPECT_EQ(state.vertexListText, typed.vertexListText);
  EXPECT_EQ(state.classicalListText, typed.classicalListText);
  EXPECT_EQ(state.gpsListText, typed.gpsListText);
  EXPECT_EQ(VertexList()->Section(), typed.vertexListText);
  EXPECT_EQ(ClassicalList()->Section(), typed.classicalListText);
  EXPECT_EQ(GpsList()->Section(), typed.gpsListText);
  EXPECT_TRUE(one->isVisible());
  EXPECT_TRUE(two->isVisible());
  // The entries read back can be clicked and modified as typed ones.
  ClickListAt(GpsList(), 326 + 50);
  EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), QStringLiteral("7"));
}

TEST_F(NuevoTest, EditarRefusesAFileWithoutSectionTitles) {
  one->show();
  EnterVertex("1", kUnknown, "1", "2", "3");
  const std::string before = state.vertexListText;
  one->hide();
  const std::string path = Path("sin_titulos.txt");
  std::string text = Cp1252("Fichero de datos de la aplicación KORVO\r\n\r\nVÉRTICES DE LA RED\r\n\r\n") +
                     VertexLine("5", "Fijo", "1", "2", "3", "0", "0") + Cp1252("\r\n\r\n\r\nOBSERVACIONES CLÁSICAS\r\n\r\n");
  ASSERT_TRUE(WriteFileAtomically(path, text).ok());
  state.editMode = true;
  EXPECT_FALSE(windows->EditProjectFile(path));
  EXPECT_FALSE(state.editMode);
  ASSERT_EQ(dialogs.Messages().size(), 1);
  EXPECT_TRUE(dialogs.Messages()[0].contains(QStringLiteral("OBSERVACIONES GPS")));
  EXPECT_EQ(state.vertexListText, before);
  EXPECT_TRUE(one->isHidden());
  EXPECT_TRUE(two->isHidden());
}

TEST_F(NuevoTest, EditarReportsAnUnreadableFile) {
  EXPECT_FALSE(windows->EditProjectFile(Path("no_existe.txt")));
  ASSERT_EQ(dialogs.dialogs.size(), 1u);
  EXPECT_EQ(dialogs.dialogs[0].text, FromCp1252(SystemErrorText(ENOENT)));
  EXPECT_EQ(dialogs.dialogs[0].icon, MessageIcon::None);
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
