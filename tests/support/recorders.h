#pragma once
// Records what a computation reports while it runs: status texts, iteration texts and
// progress percentages, in order.

#include <string>
#include <vector>

#include "common/progress.h"

namespace korvo::testing {

struct ProgressRecorder {
  std::vector<std::string> statuses;
  std::vector<std::string> iterations;
  std::vector<int> progress;
  std::vector<std::string> events;  // "P<percent>" and "S:<status>", interleaved as they came

  ProgressSink Sink() {
    ProgressSink sink;
    sink.status = [this](const std::string& text) {
      statuses.push_back(text);
      events.push_back("S:" + text);
    };
    sink.iteration = [this](const std::string& text) { iterations.push_back(text); };
    sink.progress = [this](int percent) {
      progress.push_back(percent);
      events.push_back("P" + std::to_string(percent));
    };
    return sink;
  }
};

}  // namespace korvo::testing
