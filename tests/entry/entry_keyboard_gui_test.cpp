// Typing a network with the keyboard: Enter in the last field as Introducir, the type and
// station kept for the next sight, the refusal of a repeated vertex number, and Eliminar with
// its question.
#include "gui_support/entry_support.h"

namespace korvo::testing {
namespace {

using EntryKeyboardTest = EntryTest;

TEST_F(EntryKeyboardTest, EnterInTheLastFieldIntroduces) {
  two->show();
  Named<QTabWidget>(two, "TabObservaciones")->setCurrentIndex(0);
  Choose(Named<QComboBox>(two, "Combo1"), QStringLiteral("Dirección"));
  Type(Named<QComboBox>(two, "Combo2"), QStringLiteral("1001"));
  Type(Named<QComboBox>(two, "Combo3"), QStringLiteral("1002"));
  Type(Named<QLineEdit>(two, "Text1"), QStringLiteral("123.4567"));
  Type(Named<QLineEdit>(two, "Text2"), QStringLiteral("5"));
  QTest::keyClick(Named<QLineEdit>(two, "Text2"), Qt::Key_Return);
  ASSERT_EQ(state.classicalListText.size(), kClassicalEntryStride);
  EXPECT_NE(state.classicalListText.find("1002"), std::string::npos);
  EXPECT_EQ(Named<QComboBox>(two, "Combo1")->currentText(), QStringLiteral("Dirección"));
  EXPECT_EQ(Named<QComboBox>(two, "Combo2")->currentText(), QStringLiteral("1001"));
  EXPECT_TRUE(Named<QComboBox>(two, "Combo3")->currentText().isEmpty());
  EXPECT_TRUE(Named<QLineEdit>(two, "Text1")->text().isEmpty());
  // The widest number shows whole in the station box.
  auto* station = Named<QComboBox>(two, "Combo2");
  EXPECT_GE(station->lineEdit()->width(), station->fontMetrics().horizontalAdvance(QStringLiteral("-32768")));

  // The last field of a baseline is Czz; of a vertex D.V.EW, or Z when the deflection is unknown.
  TypeBaseline({"1", "2", "1", "2", "3", "1E-06", "0", "0", "1E-06", "0", "1E-06"});
  QTest::keyClick(Named<QLineEdit>(two, "Text39"), Qt::Key_Return);
  EXPECT_EQ(state.gpsListText.size(), kGpsEntryStride);
  one->show();
  for (const bool unknownDeflection : {false, true}) {
    Type(Named<QComboBox>(one, "Combo1"), unknownDeflection ? QStringLiteral("2") : QStringLiteral("1"));
    Named<QCheckBox>(one, "Check1")->setChecked(unknownDeflection);
    QTest::keyClick(Named<QLineEdit>(one, "Text3"), Qt::Key_Return);
    if (!unknownDeflection) QTest::keyClick(Named<QLineEdit>(one, "Text5"), Qt::Key_Return);
    EXPECT_EQ(state.vertexListText.size(), (unknownDeflection ? 2 : 1) * kVertexEntryStride) << unknownDeflection;
  }
}

TEST_F(EntryKeyboardTest, RepeatedVertexNumberIsRefusedAndEliminarAsksFirst) {
  one->show();
  EnterVertex("1001", QStringLiteral("Fijo"), "4849202", "-360328", "4114913");
  EnterVertex("1002", QStringLiteral("Incógnita"), "4848000", "-358000", "4116500");
  EnterVertex("1001", QStringLiteral("Incógnita"), "1", "2", "3");
  ASSERT_EQ(dialogs.Log(), QStringLiteral("message | exclamation |  |  El vértice número 1001 ya está en la lista. \n"));
  ASSERT_EQ(state.vertexListText.size(), 2 * kVertexEntryStride);
  // MODIFICAR may keep the number of the entry it replaces.
  Named<QComboBox>(one, "Combo1")->clearEditText();
  for (QLineEdit* field : one->findChildren<QLineEdit*>()) field->clear();
  ClickListAt(VertexList(), 0);
  Type(Named<QLineEdit>(one, "Text1"), QStringLiteral("4849203"));
  Click(Named<QPushButton>(one, "Modificar"));
  EXPECT_EQ(dialogs.dialogs.size(), 1u);
  EXPECT_NE(state.vertexListText.find("4849203"), std::string::npos);
  // ... but not the number of another entry.
  ClickListAt(VertexList(), kVertexEntryStride);
  Type(Named<QComboBox>(one, "Combo1"), QStringLiteral("1001"));
  Click(Named<QPushButton>(one, "Modificar"));
  EXPECT_EQ(dialogs.Messages().size(), 2);
  EXPECT_NE(state.vertexListText.find("1002"), std::string::npos);

  const std::string before = state.vertexListText;
  for (const bool yes : {false, true}) {
    ClickListAt(VertexList(), kVertexEntryStride);  // the second vertex
    auto* remove = Named<QPushButton>(one, "Eliminar");
    ASSERT_TRUE(remove->isVisible());
    dialogs.yesNoAnswers = {yes};
    Click(remove);
    EXPECT_EQ(dialogs.Log().split('\n').at(2 + yes),
              QStringLiteral("yesno | question |  |  ¿Desea eliminar de la lista la entrada seleccionada? "));
    EXPECT_EQ(state.vertexListText, yes ? before.substr(0, kVertexEntryStride) : before);
  }
  EXPECT_TRUE(Named<QPushButton>(one, "Eliminar")->isHidden());
}

}  // namespace
}  // namespace korvo::testing
