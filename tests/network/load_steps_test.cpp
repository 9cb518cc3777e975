// The two window steps of a load happen at their points: the text as soon as the file is
// read (also when its records then fail), the sketch at 80 under the drawing status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/load_network.h"
#include "support/files.h"
#include "support/recorders.h"

namespace korvo {
namespace {

using Events = std::vector<std::string>;

// Loads the file, recording progress ("P<percent>"), status ("S:<text>") and the two steps
// in the order they come.
Events LoadRecorded(const std::string& path, Result<LoadedNetwork>* loaded) {
  korvo::testing::ProgressRecorder recorder;
  LoadSteps steps;
  steps.textRead = [&](const std::string& text, bool tooBig) {
    recorder.events.push_back("text " + std::to_string(text.size()) + (tooBig ? " too big" : ""));
  };
  steps.drawSketch = [&](const NetworkModel& model) {
    recorder.events.push_back("sketch " + std::to_string(model.VertexCount()));
  };
  *loaded = LoadNetwork(path, recorder.Sink(), steps);
  return recorder.events;
}

TEST(LoadSteps, TextThenRecordsThenSketchAtEighty) {
  const std::string sample = korvo::testing::Example("red_ejemplo.txt").string();
  Result<LoadedNetwork> loaded = Failure{""};
  const Events events = LoadRecorded(sample, &loaded);
  ASSERT_TRUE(loaded.ok()) << loaded.error();
  const std::string size = std::to_string(korvo::testing::ReadWholeFile(sample).size());
  EXPECT_EQ(events, (Events{"P0", "S:" + kLoadStatusReading, "text " + size, "P15", "P40", "P80",
                            "S:" + kLoadStatusDrawing, "sketch 11", "P100", "S:", "P0"}));
}

TEST(LoadSteps, TextIsShownWhenTheRecordsFailAndNotWhenTheFileCannotBeRead) {
  // One "Punto" but no kind: the counts disagree after the text has been read.
  Result<LoadedNetwork> loaded = Failure{""};
  Events events = LoadRecorded(korvo::testing::WriteTempFile("kinds.txt", "Punto   1 (roto)\r\n").string(), &loaded);
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error(), kLoadKindMismatchMessage);
  EXPECT_EQ(events, (Events{"P0", "S:" + kLoadStatusReading, "text 18"}));

  events = LoadRecorded((korvo::testing::TestTempRoot() / "no-existe.txt").string(), &loaded);
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error(), kLoadReadErrorMessage);
  EXPECT_EQ(events.size(), 2u);  // progress and status only
}

}  // namespace
}  // namespace korvo
