// "Informe de resultados: completo / compacto" in the options dialog, and Calcular offering
// the compact report when the full one cannot fit in memory.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "gui_support/gui_find.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "app/project_chooser.h"
#include "gui_support/fake_dialog_service.h"

namespace korvo {
namespace {

using testing::Find;

TEST(ReportChoiceGui, OptionsDialogKeepsTheChoice) {
  testing::FakeDialogService fake;
  CalcOptions options;
  for (const char* choice : {"OptionInformeCompacto", "OptionInformeCompleto"}) {
    OptionsDialog dialog(options);
    dialog.LoadFromOptions();
    dialog.show();
    EXPECT_EQ(Find<QAbstractButton>(&dialog, "OptionInformeCompacto")->isChecked(),
              options.reportForm == ReportForm::Compact);
    Find<QAbstractButton>(&dialog, choice)->click();
    Find<QPushButton>(&dialog, "Aceptar")->click();
    EXPECT_EQ(options.reportForm,
              std::string(choice) == "OptionInformeCompacto" ? ReportForm::Compact : ReportForm::Full);
  }
}

TEST(ReportChoiceGui, CalcularOffersTheCompactReportWhenTheFullOneCannotFit) {
  testing::FakeDialogService fake;
  QTemporaryDir folder;
  ASSERT_TRUE(QFile::copy(QString::fromUtf8(KORVO_SOURCE_DIR) + QStringLiteral("/examples/red_ejemplo.txt"),
                          QDir(folder.path()).absoluteFilePath(QStringLiteral("red_ejemplo.txt"))));
  Principal window;
  window.show();
  Find<QAction>(&window, "menuabrir")->trigger();
  auto* chooser = window.findChild<ProjectChooser*>(QStringLiteral("frmAbrir"));
  ASSERT_NE(chooser, nullptr);
  chooser->SetFolder(folder.path());
  auto* files = Find<QListWidget>(chooser, "File1");
  const auto found = files->findItems(QStringLiteral("red_ejemplo.txt"), Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1);
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
  QTest::mouseClick(Find<QPushButton>(chooser, "btnAceptar"), Qt::LeftButton);

  ::setenv("KORVO_MEMORY_BUDGET", "1000000", 1);
  const QString results = QDir(folder.path()).absoluteFilePath(QStringLiteral("r.txt"));
  fake.yesNoAnswers = {false, true};
  fake.fileAnswers = {results};
  for (int attempt = 0; attempt < 2; ++attempt) {
    fake.dialogs.clear();
    for (QAction* action : Find<QToolBar>(&window, "Toolbar1")->actions())
      if (action->toolTip() == QStringLiteral("Calcular")) action->trigger();
    ASSERT_FALSE(fake.dialogs.empty());
    EXPECT_EQ(fake.dialogs[0].kind, testing::RecordedDialog::Kind::YesNo);
    EXPECT_TRUE(fake.dialogs[0].text.contains(QStringLiteral("informe compacto"))) << fake.dialogs[0].text.toStdString();
    // No: nothing is computed or offered. Yes: the compact report is saved.
    EXPECT_EQ(fake.dialogs.size(), attempt == 0 ? 1u : 2u);
  }
  ::unsetenv("KORVO_MEMORY_BUDGET");
  QFile saved(results);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().contains("INFORME COMPACTO"));
}

}  // namespace
}  // namespace korvo
