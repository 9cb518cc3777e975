// The two window steps of a load happen at their points: the text as soon as the file is
// read (also when its records then fail), the sketch at 80 under the drawing status.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "network/load_network.h"
#include "support/files.h"

namespace korvo {
namespace {

struct Recorder {
  std::vector<std::string> events;
  ProgressSink Sink() {
    ProgressSink sink;
    sink.progress = [this](int percent) { events.push_back("progress " + std::to_string(percent)); };
    sink.status = [this](const std::string& text) { events.push_back("status " + text); };
    return sink;
  }
  LoadSteps Steps() {
    LoadSteps steps;
    steps.textRead = [this](const std::string& text, bool tooBig) {
      events.push_back("text " + std::to_string(text.size()) + (tooBig ? " too big" : ""));
    };
    steps.drawSketch = [this](const NetworkModel& model) {
      events.push_back("sketch " + std::to_string(model.VertexCount()));
    };
    return steps;
  }
};

TEST(LoadSteps, TextThenRecordsThenSketchAtEighty) {
  const std::string sample = korvo::testing::Example("red_ejemplo.txt").string();
  const std::string bytes = korvo::testing::ReadWholeFile(sample);
  Recorder recorder;
  ASSERT_TRUE(LoadNetwork(sample, recorder.Sink(), recorder.Steps()).ok());
  const std::vector<std::string> expected = {
      "progress 0", "status " + kLoadStatusReading, "text " + std::to_string(bytes.size()), "progress 15",
      "progress 40", "progress 80", "status " + kLoadStatusDrawing, "sketch 11", "progress 100", "status ",
      "progress 0"};
  EXPECT_EQ(recorder.events, expected);
}

TEST(LoadSteps, TextIsShownWhenTheRecordsFailAndNotWhenTheFileCannotBeRead) {
  // One "Punto" but no kind: the counts disagree after the text has been read.
  const std::string path = korvo::testing::WriteTempFile("kinds.txt", "Punto   1 (roto)\r\n").string();
  Recorder recorder;
  const auto loaded = LoadNetwork(path, recorder.Sink(), recorder.Steps());
  ASSERT_FALSE(loaded.ok());
  EXPECT_EQ(loaded.error(), kLoadKindMismatchMessage);
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"progress 0", "status " + kLoadStatusReading, "text 18"}));

  Recorder unreadable;
  const auto missing = LoadNetwork((korvo::testing::TestTempRoot() / "no-existe.txt").string(), unreadable.Sink(),
                                   unreadable.Steps());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), kLoadReadErrorMessage);
  EXPECT_EQ(unreadable.events.size(), 2u);
}

}  // namespace
}  // namespace korvo
