// The Wave button of NuevoII: the chooser frmAbrirwave, the import into the GPS list with the
// count of the baselines added, and what a failed or empty import leaves.
#include <QListWidget>

#include "common/files.h"
#include "common/text.h"
#include "gui_support/entry_support.h"
#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"
#include "support/files.h"

namespace korvo::testing {
namespace {

const QString kExamples = QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples");

class WaveWindowTest : public EntryTest {
 protected:
  // Opens the chooser with the Wave button, goes to `folder`, clicks `file` and accepts.
  void ImportThroughChooser(const QString& folderPath, const QString& file) {
    Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
    Click(Named<QPushButton>(two, "Wave"));
    ProjectChooser* chooser = two->WaveChooser();
    ASSERT_TRUE(chooser->isVisible());
    chooser->SetFolder(folderPath);
    auto* files = Named<QListWidget>(chooser, "File1");
    const QList<QListWidgetItem*> found = files->findItems(file, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << file.toStdString();
    files->setCurrentItem(found[0]);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::NoModifier, files->visualItemRect(found[0]).center());
    EXPECT_EQ(Named<QLineEdit>(chooser, "Text1")->text(), file);
    auto* accept = Named<QPushButton>(chooser, "btnAceptar");
    ASSERT_TRUE(accept->isEnabled());
    Click(accept);
    EXPECT_FALSE(chooser->isVisible());
  }
};

TEST_F(WaveWindowTest, ReportBaselinesFollowTheListAndTheFieldsAreCleared) {
  two->show();
  EnterBaseline({"5", "6", "1.25", "2.5", "-3.75", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  const std::string typed = state.gpsListText;
  ClickListAt(GpsList(), 10);
  ASSERT_FALSE(Named<QPushButton>(two, "Modificar2")->isHidden());

  const std::string blocks = Golden("wave_example_blocks.txt");
  const QString added = QStringLiteral("message | information |  |  Se han añadido 4 líneas base del informe del WAVE. \n");
  ImportThroughChooser(kExamples, QStringLiteral("informe_wave.txt"));
  EXPECT_EQ(dialogs.Log(), added);
  EXPECT_EQ(state.gpsListText, typed + blocks);
  EXPECT_EQ(GpsList()->Section(), state.gpsListText);
  // Finishing steps: modify button hidden, GPS fields empty.
  EXPECT_TRUE(Named<QPushButton>(two, "Modificar2")->isHidden());
  for (const char* name : {"Text11", "Text34", "Text32", "Text39"}) {
    EXPECT_TRUE(Named<QLineEdit>(two, name)->text().isEmpty()) << name;
  }
  EXPECT_TRUE(Named<QComboBox>(two, "Combo12")->currentText().isEmpty());
  // The imported blocks are entries like any other: click the fourth.
  ClickListAt(GpsList(), 3 * 326 + 200);
  EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), QStringLiteral("1002"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text39")->text(), QStringLiteral("9.6E-06"));

  // A name typed in the chooser imports that report.
  Click(Named<QPushButton>(two, "Wave"));
  ProjectChooser* chooser = two->WaveChooser();
  chooser->SetFolder(kExamples);
  Type(Named<QLineEdit>(chooser, "Text1"), QStringLiteral("informe_wave.txt"));
  Click(Named<QPushButton>(chooser, "btnAceptar"));
  EXPECT_EQ(dialogs.Log(), added + added);
  EXPECT_EQ(state.gpsListText, typed + blocks + blocks);
}

// A failed import shows the reason and ends there: the blocks read before stay in the list,
// the typed fields keep their text. A file without baselines says so instead of importing
// nothing in silence; one baseline is counted in the singular.
TEST_F(WaveWindowTest, FailedEmptyAndSingleBaselineImports) {
  const std::string report = ReadWholeFile(Example("informe_wave.txt"));
  const std::size_t second = report.find("Baseline Components", report.find("Baseline Components") + 1);
  std::string wide = report;  // the DX of the second baseline 13 characters long, in place
  wide.replace(second + 56, 16, PadLeft("-1234567.8912", 16));
  std::string named = report;  // the second baseline's first station named instead of numbered
  named.replace(named.find("1001", named.find("From Station:", named.find("From Station:") + 1)), 4, "BASE");
  const QString failed = QStringLiteral("message | none |  | ");
  const QString information = QStringLiteral("message | information |  | ");
  const struct {
    const char* name;
    std::string text;
    QString log;
    std::size_t blocks;
    bool failed;
  } cases[] = {
      {"largo.txt", wide,
       failed + "Línea base 2: El incremento X de la línea base no puede tener más de 10 caracteres.\n", 1, true},
      {"nombre.txt", named,
       failed + "La estación \"BASE\" que sigue a \"From Station:\" en la línea base 2 no es un número de vértice. "
                "La importación se detiene en ella.\n",
       1, true},
      {"otro.txt", "From Station:  1\r\nTo Station:  2\r\n",
       information + "El fichero elegido no contiene ninguna línea base: no aparece en él la palabra \"Aposteriori\" "
                     "de las matrices varianza-covarianza del 'Sumario Detallado' del WAVE.\n",
       0, false},
      {"una.txt", report.substr(0, report.find("Baseline 2 of 4")),
       information + " Se ha añadido 1 línea base del informe del WAVE. \n", 1, false},
  };
  two->show();
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.dialogs.clear();
    state.gpsListText.clear();
    Type(Named<QComboBox>(two, "Combo12"), QStringLiteral("8"));
    Type(Named<QLineEdit>(two, "Text34"), QStringLiteral("3E-07"));
    ASSERT_TRUE(WriteFileAtomically(Path(c.name), c.text).ok());
    ImportThroughChooser(folder.path(), QString::fromLatin1(c.name));
    EXPECT_EQ(dialogs.Log(), c.log);
    EXPECT_EQ(state.gpsListText, Golden("wave_example_blocks.txt").substr(0, 326 * c.blocks));
    EXPECT_EQ(GpsList()->Section(), state.gpsListText);
    EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), c.failed ? QStringLiteral("8") : QString());
    EXPECT_EQ(Named<QLineEdit>(two, "Text32")->text(), c.failed ? QStringLiteral("3E-07") : QString());
  }
}

}  // namespace
}  // namespace korvo::testing
