#include "report/results_display.h"

#include <gtest/gtest.h>

#include "common/win1252.h"

namespace korvo {
namespace {

using Action = PaneUpdate::Action;

TEST(PaneAfterAdjustmentTest, FirstAdjustmentAppendsTheReportToTheProjectText) {
  const PaneUpdate update = PaneAfterAdjustment(1, "HEADER", "LS", "ROBUST");
  EXPECT_EQ(update.action, Action::kAppend);
  EXPECT_EQ(update.text, "LSROBUST");
  EXPECT_TRUE(update.message.empty());
  EXPECT_FALSE(update.setProjectTooBig);
}

TEST(PaneAfterAdjustmentTest, LaterAdjustmentReplacesThePaneWithTheWholeReport) {
  const PaneUpdate update = PaneAfterAdjustment(2, "HEADER", "LS", "ROBUST");
  EXPECT_EQ(update.action, Action::kReplace);
  EXPECT_EQ(update.text, "HEADERLSROBUST");
  EXPECT_TRUE(update.message.empty());
}

TEST(PaneAfterAdjustmentTest, LimitCountsAllThreeTexts) {
  // 31999 bytes in all is shown; 32000 is not.
  const std::string header(31000, 'h');
  const std::string ls(998, 'l');
  EXPECT_EQ(PaneAfterAdjustment(1, header, ls, "r").action, Action::kAppend);
  const PaneUpdate tooLongFirst = PaneAfterAdjustment(1, header, ls, "rr");
  EXPECT_EQ(tooLongFirst.action, Action::kUnchanged);
  EXPECT_TRUE(tooLongFirst.message.empty());
  EXPECT_FALSE(tooLongFirst.setProjectTooBig);

  const PaneUpdate tooLongLater = PaneAfterAdjustment(3, header, ls, "rr");
  EXPECT_EQ(tooLongLater.action, Action::kUnchanged);
  EXPECT_EQ(tooLongLater.message, Cp1252(" Trabajando sobre fichero de resultados... \r\n"
                                         " El proyecto no se mostrará en pantalla. "));
  EXPECT_TRUE(tooLongLater.setProjectTooBig);
}

}  // namespace
}  // namespace korvo
