#include "report/results_display.h"

#include <gtest/gtest.h>

#include "common/win1252.h"

namespace korvo {
namespace {

using Action = PaneUpdate::Action;

// The first adjustment appends, later ones replace; 31999 bytes shown, 32000 not, said only later.
TEST(PaneAfterAdjustmentTest, AppendReplaceAndTheLimit) {
  const std::string header(31000, 'h'), ls(998, 'l');
  struct Case {
    int adjustment;
    std::string header, ls, robust;
    Action action;
    std::string text;  // the pane's new text, or the message when it is unchanged
  } cases[] = {
      {1, "HEADER", "LS", "ROBUST", Action::kAppend, "LSROBUST"},
      {2, "HEADER", "LS", "ROBUST", Action::kReplace, "HEADERLSROBUST"},
      {1, header, ls, "r", Action::kAppend, ls + "r"},
      {1, header, ls, "rr", Action::kUnchanged, ""},
      {3, header, ls, "rr", Action::kUnchanged,
       Cp1252(" Trabajando sobre fichero de resultados... \r\n El proyecto no se mostrará en pantalla. ")},
  };
  for (const Case& c : cases) {
    const PaneUpdate update = PaneAfterAdjustment(c.adjustment, c.header, c.ls, c.robust);
    EXPECT_EQ(update.action, c.action) << c.adjustment << " " << c.robust;
    EXPECT_EQ(c.action == Action::kUnchanged ? update.message : update.text, c.text) << c.adjustment;
    EXPECT_EQ(update.setProjectTooBig, !update.message.empty()) << c.adjustment;
    if (c.action != Action::kUnchanged) {
      EXPECT_EQ(update.message, "");
    }
  }
}

}  // namespace
}  // namespace korvo
