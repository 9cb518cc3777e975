#pragma once
// How long-running core work (loading, the adjustment, the coordinate transformation) tells
// the window what it is doing. The core calls these at fixed points; the main window turns
// them into its progress bar and the two status-bar panels, the command line into a bar on
// standard error, tests into a recording. Any of them may be left empty.

#include <functional>
#include <string>

namespace korvo {

struct ProgressSink {
  std::function<void(int percent)> progress;              // progress bar, 0..100
  std::function<void(const std::string& text)> status;    // status panel 1 (Windows-1252)
  std::function<void(const std::string& text)> iteration; // status panel 2 (Windows-1252)

  void SetProgress(int percent) const {
    if (progress) progress(percent);
  }
  void SetStatus(const std::string& text) const {
    if (status) status(text);
  }
  void SetIteration(const std::string& text) const {
    if (iteration) iteration(text);
  }
};

}  // namespace korvo
