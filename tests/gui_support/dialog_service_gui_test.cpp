// The filter conversion of the dialog service and the test double's recording.
#include <gtest/gtest.h>

#include "app/dialog_service.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

TEST(DialogService, ConvertsPipeFiltersToQtForm) {
  const QStringList filters = ConvertFilter(
      QStringLiteral("Archivos de texto (*.txt)|*.txt|Archivos TMP (*.tmp)|*.tmp|Todos los archivos (*.*)|*.*"));
  ASSERT_EQ(filters.size(), 3);
  EXPECT_EQ(filters[0], QStringLiteral("Archivos de texto (*.txt)"));
  EXPECT_EQ(filters[2], QStringLiteral("Todos los archivos (*.*)"));
  EXPECT_EQ(ConvertFilter(QStringLiteral("Datos|*.dat;*.txt")).at(0), QStringLiteral("Datos (*.dat *.txt)"));
}

TEST(DialogService, FakeRecordsAndAnswers) {
  testing::FakeDialogService fake;
  fake.yesNoAnswers = {false, true};
  EXPECT_FALSE(Dialogs().AskYesNo(nullptr, QStringLiteral("¿Seguro?"), {}, MessageIcon::Information, false));
  EXPECT_TRUE(Dialogs().AskYesNo(nullptr, QStringLiteral("¿Seguro?"), {}, MessageIcon::Information, false));
  Dialogs().ShowMessage(nullptr, QStringLiteral(" ¡Hola! "), {}, MessageIcon::None);
  EXPECT_EQ(fake.Messages(), QStringList{QStringLiteral(" ¡Hola! ")});
}

}  // namespace
}  // namespace korvo
