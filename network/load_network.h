#pragma once
// Reading a project file into the network model.
//
// The scan looks for record keywords anywhere in the text, as the file format intends:
// "Punto" starts a vertex line, "Geométrica", "Cenital" and "Dirección" a classical
// observation line, "Línea base GPS" a three-line baseline block. Each record's fields are
// read at fixed distances from its keyword (network/project_lines.h). The header line that
// carries the file path ("Archivo ...", one of the first three lines) is not scanned, so a
// folder named "Puntos" adds no record.
//
// A failed load returns only its message: no half-filled model ever reaches the caller.
// Records are read within the text or refused; a vertex number must be a number that fits 16
// bits and stand within its 4 columns; every numeric field must be finite; lone LF or CR line
// ends are taken as CR LF, so the GPS block's distances hold in files saved by other editors.

#include <functional>
#include <string>
#include <string_view>

#include "common/progress.h"
#include "common/result.h"
#include "network/network_model.h"

namespace korvo {

// Messages and status texts of the loader (Windows-1252).
extern const std::string kLoadKindMismatchMessage;  // "¡Se ha producido un error en la lectura del tipo(incógnita/fijo) de los puntos! "
extern const std::string kLoadReadErrorMessage;     // " ¡Se ha producido un error en la lectura de datos! "
extern const std::string kLoadOutOfMemoryMessage;   // " ¡El fichero es demasiado grande! "
extern const std::string kProjectTooBigToShowMessage;  // " El proyecto es demasiado grande ..." CRLF " Trabajando ..."
extern const std::string kLoadStatusReading;        // "Adquiriendo información general sobre la red..."
extern const std::string kLoadStatusDrawing;        // "Dibujando croquis planimétrico..."

// " ¡No se puede leer el fichero PATH! REASON": a project file that cannot be read (missing,
// a folder, no permission); `reason` is SystemErrorText's description, `path` UTF-8.
std::string UnreadableProjectMessage(const std::string& path, const std::string& reason);

// The tables and counts of a project text; latitudes, longitudes and sketch coordinates are
// left at zero (see LoadNetworkFromText). Failures carry one of the messages above.
Result<NetworkModel> ScanProjectText(std::string_view text);

// ScanProjectText followed by ComputeVertexGeodetics: the model ready for the adjustment.
Result<NetworkModel> LoadNetworkFromText(std::string_view text);

struct LoadedNetwork {
  NetworkModel model;
  std::string projectText;     // the file as read, byte for byte
  bool projectTooBig = false;  // projectText has kProjectDisplayLimit bytes or more
};

// What the main window does at two points of a load, in the load's own order.
struct LoadSteps {
  // Right after the file is read, before any record is scanned: the window shows the text,
  // or gives the size message when projectTooBig is set.
  std::function<void(const std::string& projectText, bool projectTooBig)> textRead;
  // At 80 with the drawing status, once the model and its geodetic coordinates are complete:
  // the window draws the sketch (a drawing failure does not fail the load).
  std::function<void(const NetworkModel& model)> drawSketch;
};

// Reads the project file at `path` and loads it. A file saved as UTF-8 is read in Windows-1252
// (or refused, naming the encoding, when it holds characters Windows-1252 lacks); the values
// must pass CheckNetworkValues (network/validate_network.h), whose message names the line. Progress: 0 and the reading status at the
// start, 15 after the vertices, 40 after the classical observations, 80 and the drawing
// status after the baselines, then 100, an empty status and 0 once the geodetic coordinates
// are computed and the sketch drawn. On failure the progress and status stay where they were.
Result<LoadedNetwork> LoadNetwork(const std::string& path, const ProgressSink& progress,
                                  const LoadSteps& steps = {});

}  // namespace korvo
