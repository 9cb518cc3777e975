// The Wave button of NuevoII: the chooser frmAbrirwave, the import into the GPS list and the
// finishing steps.
#include <QLabel>
#include <QListWidget>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"
#include "gui_support/entry_support.h"
#include "app/project_chooser.h"
#include "network/entry/entry_choosers.h"

namespace korvo::testing {
namespace {

const QString kExamples = QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples");

class WaveWindowTest : public EntryTest {
 protected:
  // Opens the chooser with the Wave button, goes to `folder`, selects `file` and accepts.
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

TEST_F(WaveWindowTest, ReportBaselinesFollowTheTypedOnesAndTheFieldsAreCleared) {
  two->show();
  EnterBaseline({"5", "6", "1.25", "2.5", "-3.75", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  const std::string typed = state.gpsListText;
  ClickListAt(GpsList(), 10);
  ASSERT_FALSE(Named<QPushButton>(two, "Modificar2")->isHidden());

  ImportThroughChooser(kExamples, QStringLiteral("informe_wave.txt"));
  EXPECT_EQ(dialogs.Messages(), QStringList{QStringLiteral(" Se han añadido 4 líneas base del informe del WAVE. ")});
  ASSERT_EQ(state.gpsListText.size(), 5 * 326u);
  EXPECT_EQ(state.gpsListText.substr(0, 326), typed);
  EXPECT_EQ(GpsList()->Section(), state.gpsListText);
  // Finishing steps: modify button hidden, GPS fields empty.
  EXPECT_TRUE(Named<QPushButton>(two, "Modificar2")->isHidden());
  for (const char* name : {"Text11", "Text34", "Text39"}) EXPECT_TRUE(Named<QLineEdit>(two, name)->text().isEmpty()) << name;
  EXPECT_TRUE(Named<QComboBox>(two, "Combo12")->currentText().isEmpty());

  // The imported blocks are entries like any other: click the fourth.
  ClickListAt(GpsList(), 3 * 326 + 200);
  EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), QStringLiteral("1002"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text39")->text(), QStringLiteral("9.6E-06"));
}

TEST_F(WaveWindowTest, ImportingTwiceAppendsTwice) {
  two->show();
  ImportThroughChooser(kExamples, QStringLiteral("informe_wave.txt"));
  const std::string once = state.gpsListText;
  ImportThroughChooser(kExamples, QStringLiteral("informe_wave.txt"));
  EXPECT_EQ(state.gpsListText, once + once);
  EXPECT_EQ(GpsList()->Section(), once + once);
}

TEST_F(WaveWindowTest, OverWideFieldShowsTheMessageAndKeepsEarlierBlocks) {
  two->show();
  auto example = ReadFileBytes(std::string(KORVO_SOURCE_DIR) + "/examples/informe_wave.txt");
  ASSERT_TRUE(example.ok());
  // Make the DX of the second baseline 12 characters long, in place.
  std::string report = *example;
  const std::size_t second = report.find("Baseline Components", report.find("Baseline Components") + 1);
  ASSERT_NE(second, std::string::npos);
  report.replace(second + 56, 16, PadLeft("-1234567.8912", 16));
  const std::string path = Path("informe_largo.txt");
  ASSERT_TRUE(WriteFileAtomically(path, report).ok());

  // A baseline half typed before the import: a failed import ends without the finishing
  // steps, so these fields keep their text.
  Type(Named<QComboBox>(two, "Combo12"), QStringLiteral("8"));
  Type(Named<QLineEdit>(two, "Text11"), QStringLiteral("12.5"));
  Type(Named<QLineEdit>(two, "Text34"), QStringLiteral("3E-07"));

  ImportThroughChooser(folder.path(), QStringLiteral("informe_largo.txt"));
  ASSERT_EQ(dialogs.Messages().size(), 1);
  EXPECT_EQ(dialogs.dialogs.back().icon, MessageIcon::None);
  EXPECT_TRUE(dialogs.Messages()[0].contains(QStringLiteral("Línea base 2")));
  EXPECT_EQ(state.gpsListText.size(), 326u);
  EXPECT_EQ(GpsList()->Section(), state.gpsListText);
  EXPECT_EQ(Named<QComboBox>(two, "Combo12")->currentText(), QStringLiteral("8"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text11")->text(), QStringLiteral("12.5"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text34")->text(), QStringLiteral("3E-07"));
  EXPECT_EQ(Named<QLineEdit>(two, "Text32")->text(), QStringLiteral("3E-07"));
}

TEST_F(WaveWindowTest, FileWithoutBaselinesSaysSo) {
  two->show();
  const std::string path = Path("otro.txt");
  ASSERT_TRUE(WriteFileAtomically(path, "From Station:  1\r\nTo Station:  2\r\n").ok());
  ImportThroughChooser(folder.path(), QStringLiteral("otro.txt"));
  ASSERT_EQ(dialogs.Messages().size(), 1);
  EXPECT_TRUE(dialogs.Messages()[0].contains(QStringLiteral("Aposteriori")));
  EXPECT_TRUE(state.gpsListText.empty());
}

TEST_F(WaveWindowTest, ATypedNameImportsThatReport) {
  two->show();
  Click(Named<QPushButton>(two, "Wave"));
  ProjectChooser* chooser = two->WaveChooser();
  chooser->SetFolder(kExamples);
  Type(Named<QLineEdit>(chooser, "Text1"), QStringLiteral("informe_wave.txt"));
  Click(Named<QPushButton>(chooser, "btnAceptar"));
  EXPECT_EQ(state.gpsListText.size(), 4 * 326u);
}

}  // namespace
}  // namespace korvo::testing
