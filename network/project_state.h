#pragma once
// What Korvo knows about the current project besides the network tables.

#include <string>

namespace korvo {

// A project text of this many bytes or more is not shown in the main window's pane.
inline constexpr std::size_t kProjectDisplayLimit = 32000;

struct ProjectState {
  // The three section texts of the entry windows (Windows-1252, fixed-column lines).
  std::string vertexListText;
  std::string classicalListText;
  std::string gpsListText;

  std::string projectText;      // the whole project file as last read by the loader
  std::string projectFilePath;  // full path of the current project file
  bool projectTooBig = false;   // projectText has kProjectDisplayLimit bytes or more
  bool matricesImported = false;
  bool editMode = false;        // the chooser was opened by Editar
  int adjustmentRunCount = 0;   // reset by each load, incremented by each Calcular
  // The three section texts as last saved to or read from a project file: entries typed
  // since then would be lost by Nuevo or by leaving the program.
  std::string savedListsText;
};

inline std::string ListsText(const ProjectState& state) {
  return state.vertexListText + '\f' + state.classicalListText + '\f' + state.gpsListText;
}
inline void MarkListsSaved(ProjectState& state) { state.savedListsText = ListsText(state); }
inline bool HasUnsavedEntries(const ProjectState& state) {
  const bool empty = state.vertexListText.empty() && state.classicalListText.empty() && state.gpsListText.empty();
  return !empty && ListsText(state) != state.savedListsText;
}

}  // namespace korvo
