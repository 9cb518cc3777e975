#include "report/results_display.h"

#include <gtest/gtest.h>

#include "common/win1252.h"

namespace korvo {
namespace {

using Action = PaneUpdate::Action;

// The first adjustment appends the report to the project text; a later one replaces the pane
// with the whole report. The limit counts all three texts: 31999 bytes are shown, 32000 not,
// and only a later adjustment says so.
TEST(PaneAfterAdjustmentTest, AppendReplaceAndTheLimit) {
  const std::string header(31000, 'h'), ls(998, 'l');
  struct Case {
    int adjustment;
    std::string header, ls, robust;
    Action action;
    std::string text;
    bool tooBigMessage;
  } cases[] = {
      {1, "HEADER", "LS", "ROBUST", Action::kAppend, "LSROBUST", false},
      {2, "HEADER", "LS", "ROBUST", Action::kReplace, "HEADERLSROBUST", false},
      {1, header, ls, "r", Action::kAppend, ls + "r", false},
      {1, header, ls, "rr", Action::kUnchanged, "", false},
      {3, header, ls, "rr", Action::kUnchanged, "", true},
  };
  for (const Case& c : cases) {
    const PaneUpdate update = PaneAfterAdjustment(c.adjustment, c.header, c.ls, c.robust);
    EXPECT_EQ(update.action, c.action) << c.adjustment << " " << c.robust;
    if (c.action != Action::kUnchanged) {
      EXPECT_EQ(update.text, c.text);
    }
    EXPECT_EQ(update.setProjectTooBig, c.tooBigMessage);
    EXPECT_EQ(update.message, c.tooBigMessage ? Cp1252(" Trabajando sobre fichero de resultados... \r\n"
                                                       " El proyecto no se mostrará en pantalla. ")
                                              : "");
  }
}

}  // namespace
}  // namespace korvo
