// Typing a network with the keyboard: Enter as Introducir, the type and station kept, Eliminar,
// the refusal of a repeated vertex number, and the WAVE import's count and station refusal.
#include "common/files.h"
#include "common/win1252.h"
#include "gui_support/entry_support.h"

namespace korvo::testing {
namespace {

const QString kExamples = QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples");

class EntryKeyboardTest : public EntryTest {
 protected:
  std::size_t Entries(const std::string& section, std::size_t stride) const { return section.size() / stride; }
};

TEST_F(EntryKeyboardTest, EnterInTheLastFieldIntroducesAndKeepsTypeAndStation) {
  two->show();
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(0);
  Choose(Named<QComboBox>(two, "Combo1"), QStringLiteral("Dirección"));
  Type(Named<QComboBox>(two, "Combo2"), QStringLiteral("1001"));
  Type(Named<QComboBox>(two, "Combo3"), QStringLiteral("1002"));
  Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("123.4567"));
  Type(Named<QLineEdit>(two, "Text2"), QStringLiteral("5"));
  QTest::keyClick(Named<QLineEdit>(two, "Text2"), Qt::Key_Return);
  ASSERT_EQ(Entries(state.classicalListText, kClassicalEntryStride), 1u);
  EXPECT_NE(state.classicalListText.find("1002"), std::string::npos);
  EXPECT_EQ(Named<QComboBox>(two, "Combo1")->currentText(), QStringLiteral("Dirección"));
  EXPECT_EQ(Named<QComboBox>(two, "Combo2")->currentText(), QStringLiteral("1001"));
  EXPECT_TRUE(Named<QComboBox>(two, "Combo3")->currentText().isEmpty());
  EXPECT_TRUE(Named<QLineEdit>(two, "Text1")->text().isEmpty());
  // The widest number shows whole in the station box.
  auto* station = Named<QComboBox>(two, "Combo2");
  EXPECT_GE(station->lineEdit()->width(), station->fontMetrics().horizontalAdvance(QStringLiteral("-32768")));
}

TEST_F(EntryKeyboardTest, RepeatedVertexNumberIsRefusedAndEliminarAsksFirst) {
  one->show();
  EnterVertex("1001", QStringLiteral("Fijo"), "4849202", "-360328", "4114913");
  EnterVertex("1002", QStringLiteral("Incógnita"), "4848000", "-358000", "4116500");
  EnterVertex("1001", QStringLiteral("Incógnita"), "1", "2", "3");
  ASSERT_EQ(dialogs.Messages(), QStringList{QStringLiteral(" El vértice número 1001 ya está en la lista. ")});
  ASSERT_EQ(Entries(state.vertexListText, kVertexEntryStride), 2u);
  // MODIFICAR may keep the number of the entry it replaces.
  Named<QComboBox>(one, "Combo1")->clearEditText();
  for (QLineEdit* field : one->findChildren<QLineEdit*>()) field->clear();
  ClickListAt(VertexList(), 0);
  Type(Named<QLineEdit>(one, "Text1"), QStringLiteral("4849203"));
  Click(Named<QPushButton>(one, "Modificar"));
  EXPECT_EQ(dialogs.Messages().size(), 1);
  EXPECT_NE(state.vertexListText.find("4849203"), std::string::npos);

  const std::string before = state.vertexListText;
  for (const bool yes : {false, true}) {
    ClickListAt(VertexList(), kVertexEntryStride);  // the second vertex
    auto* remove = Named<QPushButton>(one, "Eliminar");
    ASSERT_TRUE(remove->isVisible());
    dialogs.yesNoAnswers = {yes};
    Click(remove);
    EXPECT_EQ(dialogs.dialogs.back().kind, RecordedDialog::Kind::YesNo);
    EXPECT_EQ(state.vertexListText, yes ? before.substr(0, kVertexEntryStride) : before);
  }
}

TEST_F(EntryKeyboardTest, WaveImportCountsItsBaselinesAndRefusesANamedStation) {
  std::string report = *ReadFileBytes((kExamples + QStringLiteral("/informe_wave.txt")).toStdString());
  two->ImportWaveFile((kExamples + QStringLiteral("/informe_wave.txt")).toStdString());
  const std::size_t added = Entries(state.gpsListText, kGpsEntryStride);
  ASSERT_GT(added, 0u);
  ASSERT_EQ(dialogs.Messages().size(), 1);
  EXPECT_TRUE(dialogs.Messages()[0].contains(QString::number(added) + QStringLiteral(" líneas base")));

  // The second baseline's first station named instead of numbered.
  const std::size_t second = report.find("From Station:", report.find("From Station:") + 1);
  report.replace(report.find("1001", second), 4, "BASE");
  ASSERT_TRUE(WriteFileAtomically(Path("nombre.txt"), report).ok());
  state.gpsListText.clear();
  two->ImportWaveFile(Path("nombre.txt"));
  ASSERT_EQ(dialogs.Messages().size(), 2);
  EXPECT_TRUE(dialogs.Messages()[1].contains(QStringLiteral("\"BASE\"")));
  EXPECT_TRUE(dialogs.Messages()[1].contains(QStringLiteral("línea base 2"))) << dialogs.Messages()[1].toStdString();
  EXPECT_EQ(Entries(state.gpsListText, kGpsEntryStride), 1u);  // the first one stays
}

}  // namespace
}  // namespace korvo::testing
