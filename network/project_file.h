#pragma once
// The project data file: a fixed header, then the three list texts of the entry windows
// (vertices, classical observations, GPS baselines) under their titles, in Windows-1252 with
// CR LF line ends. Writing puts the sections under the header; splitting takes them back out
// for editing. The loader's keyword scan is in network/load_network.h.
//
// Layout:
//   "Fichero de datos de la aplicación KORVO" CRLF CRLF
//   "Archivo " path "   " date CRLF CRLF CRLF
//   "VÉRTICES DE LA RED" CRLF CRLF vertices CRLF CRLF CRLF
//   "OBSERVACIONES CLÁSICAS" CRLF CRLF classical CRLF CRLF CRLF
//   "OBSERVACIONES GPS" CRLF CRLF gps CRLF
// where each section text ends with its own CR LF or is empty.

#include <string>
#include <string_view>

#include "common/result.h"
#include "network/project_state.h"

namespace korvo {

// Header and section titles (Windows-1252).
extern const std::string kProjectFileTitle;      // "Fichero de datos de la aplicación KORVO"
extern const std::string kProjectPathPrefix;     // "Archivo "
extern const std::string kVertexSectionTitle;    // "VÉRTICES DE LA RED"
extern const std::string kClassicalSectionTitle; // "OBSERVACIONES CLÁSICAS"
extern const std::string kGpsSectionTitle;       // "OBSERVACIONES GPS"

// " ¡Se ha producido un error al guardar el archivo! " (Windows-1252).
extern const std::string kProjectSaveErrorMessage;

struct ProjectSections {
  std::string vertexListText;
  std::string classicalListText;
  std::string gpsListText;
  // False when the three titles were not found in order; the sections are then empty and a
  // window must not offer them as the file's content (a later save would lose the file).
  bool titlesFound = false;
};

// The whole content of a project file, final CR LF included, from the path and date shown in
// its third line and the three section texts.
std::string ComposeProjectFile(const std::string& path, const std::string& dateText,
                               const std::string& vertexText, const std::string& classicalText,
                               const std::string& gpsText);

// Today's date as short-date text, dd/mm/yyyy.
std::string ShortDateText();

// Writes the project file of the state's three section texts to `path`, whole or not at all
// (temporary file renamed over the target). The path goes into the header as given.
Status WriteProjectFile(const std::string& path, const ProjectState& state);

// The three sections of a project text: the last complete set of titles in order wins; the
// vertices end three line breaks before the classical title, the classical observations three
// line breaks before the GPS title, the GPS section one line break before the end of the text.
// Lone LF or CR line ends are taken as CR LF first.
ProjectSections SplitProjectText(std::string_view text);

// Reads a project file and splits it. A read failure returns the system's description.
Result<ProjectSections> SplitProjectFile(const std::string& path);

}  // namespace korvo
