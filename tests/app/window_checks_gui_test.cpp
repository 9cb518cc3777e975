// Closing entry windows over unsaved entries.
#include <gtest/gtest.h>

#include "gui_support/entry_support.h"

namespace korvo {
namespace {

using EntryCloseTest = testing::EntryTest;

// Closing the last entry window asks before unsaved entries are lost: No keeps window and list, Yes discards.
TEST_F(EntryCloseTest, ClosingTheLastEntryWindowAsksBeforeDiscarding) {
  const QString asked = QStringLiteral(
      "yesno | question |  |  Hay entradas de datos que no se han guardado. \r\n ¿Desea descartarlas? \n");
  struct Row {
    const char* what;
    bool typeVertex, toObservations, saved;
    std::deque<bool> answers;
    bool asks, closed;
  } rows[] = {
      {"nothing typed", false, false, false, {}, false, true},
      {"a vertex, answer No", true, false, false, {false}, true, false},
      {"a vertex, answer Yes", true, false, false, {true}, true, true},
      {"from the observations window", true, true, false, {false}, true, false},
      {"entries saved", true, false, true, {}, false, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    windows->StartNewNetwork();
    if (row.typeVertex) EnterVertex("1", QStringLiteral("Fijo"), "4848527.184", "-50980.563", "4116958.214");
    if (row.saved) MarkListsSaved(state);
    QWidget* shown = one;
    if (row.toObservations) {
      testing::Click(testing::Named<QPushButton>(one, "Command2"));
      shown = two;
    }
    ASSERT_TRUE(shown->isVisible());
    const std::string typed = state.vertexListText;
    dialogs.dialogs.clear();
    dialogs.yesNoAnswers = row.answers;
    shown->close();
    EXPECT_EQ(dialogs.Log(), row.asks ? asked : QString());
    EXPECT_EQ(shown->isVisible(), !row.closed);
    EXPECT_EQ(state.vertexListText, row.closed && row.asks ? std::string() : typed);
    EXPECT_EQ(HasUnsavedEntries(state), !row.closed);
    shown->hide();
  }
}

}  // namespace
}  // namespace korvo
