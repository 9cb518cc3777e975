// The filter conversion of the dialog service.
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

}  // namespace
}  // namespace korvo
