// The Wave button of NuevoII: the chooser and the import into the GPS list.
#include <QListWidget>

#include "common/files.h"
#include "gui_support/entry_support.h"
#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"
#include "support/files.h"

namespace korvo::testing {
namespace {

class WaveWindowTest : public EntryTest {
 protected:
  // Opens the chooser with the Wave button, goes to `folder`, clicks `file` and accepts.
  void ImportThroughChooser(const QString& folderPath, const QString& file) {
    Find<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(1);
    Click(Find<QPushButton>(two, "Wave"));
    ProjectChooser* chooser = two->WaveChooser();
    chooser->SetFolder(folderPath);
    auto* files = Find<QListWidget>(chooser, "File1");
    const QList<QListWidgetItem*> found = files->findItems(file, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << file.toStdString();
    files->setCurrentItem(found[0]);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::NoModifier, files->visualItemRect(found[0]).center());
    Click(Find<QPushButton>(chooser, "btnAceptar"));
    EXPECT_FALSE(chooser->isVisible());
  }
};

// Baselines appended with their count (singular for one), fields cleared; a failure keeps blocks before and fields.
TEST_F(WaveWindowTest, ImportsAppendTheirCountOrStopWithTheReason) {
  const std::string report = ReadWholeFile(Example("informe_wave.txt"));
  std::string named = report;  // the second baseline's first station named instead of numbered
  named.replace(named.find("1001", named.find("From Station:", named.find("From Station:") + 1)), 4, "BASE");
  const QString information = QStringLiteral("message | information |  | ");
  const struct {
    const char* name;
    std::string text;
    QString log;
    std::size_t blocks;
    bool failed;
  } cases[] = {
      {"informe.txt", report, information + " Se han añadido 4 líneas base del informe del WAVE. \n", 4, false},
      {"nombre.txt", named,
       QStringLiteral("message | none |  | La estación \"BASE\" que sigue a \"From Station:\" en la línea base 2 no "
                      "es un número de vértice. La importación se detiene en ella.\n"),
       1, true},
      {"otro.txt", "From Station:  1\r\nTo Station:  2\r\n",
       information + "El fichero elegido no contiene ninguna línea base: no aparece en él la palabra \"Aposteriori\" "
                     "de las matrices varianza-covarianza del 'Sumario Detallado' del WAVE.\n",
       0, false},
      {"una.txt", report.substr(0, report.find("Baseline 2 of 4")),
       information + " Se ha añadido 1 línea base del informe del WAVE. \n", 1, false},
  };
  two->show();
  EnterBaseline({"5", "6", "1.25", "2.5", "-3.75", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  const std::string typed = state.gpsListText;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialogs.dialogs.clear();
    state.gpsListText = typed;
    ClickListAt(GpsList(), 10);
    ASSERT_FALSE(Find<QPushButton>(two, "Modificar2")->isHidden());
    Type(Find<QComboBox>(two, "Combo12"), QStringLiteral("8"));
    Type(Find<QLineEdit>(two, "Text34"), QStringLiteral("3E-07"));
    ASSERT_TRUE(WriteFileAtomically(Path(c.name), c.text).ok());
    ImportThroughChooser(folder.path(), QString::fromLatin1(c.name));
    EXPECT_EQ(dialogs.Log(), c.log);
    EXPECT_EQ(state.gpsListText, typed + Golden("wave_example_blocks.txt").substr(0, 326 * c.blocks));
    EXPECT_EQ(GpsList()->Section(), state.gpsListText);
    EXPECT_EQ(Find<QComboBox>(two, "Combo12")->currentText(), c.failed ? QStringLiteral("8") : QString());
    EXPECT_EQ(Find<QLineEdit>(two, "Text32")->text(), c.failed ? QStringLiteral("3E-07") : QString());
    EXPECT_TRUE(c.failed || Find<QPushButton>(two, "Modificar2")->isHidden());
  }
}

}  // namespace
}  // namespace korvo::testing
