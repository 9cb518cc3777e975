#include "network/load_network.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

#include "common/files.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "network/geodetics.h"
#include "network/project_lines.h"
#include "network/project_file.h"
#include "network/project_state.h"

namespace korvo {

const std::string kLoadKindMismatchMessage =
    Cp1252("¡Se ha producido un error en la lectura del tipo(incógnita/fijo) de los puntos! ");
const std::string kLoadReadErrorMessage = Cp1252(" ¡Se ha producido un error en la lectura de datos! ");
const std::string kLoadOutOfMemoryMessage = Cp1252(" ¡El fichero es demasiado grande! ");
const std::string kProjectTooBigToShowMessage =
    Cp1252(" El proyecto es demasiado grande para mostrarlo en pantalla. ") + std::string(kCrLf) +
    Cp1252(" Trabajando sobre fichero de resultados... ");
const std::string kLoadStatusReading = Cp1252("Adquiriendo información general sobre la red...");
const std::string kLoadStatusDrawing = Cp1252("Dibujando croquis planimétrico...");

namespace {

// Progress values at the loader's fixed points.
constexpr int kProgressAfterVertices = 15;
constexpr int kProgressAfterClassical = 40;
constexpr int kProgressAfterBaselines = 80;
constexpr int kProgressDone = 100;

// The largest table a signed 16-bit count can describe.
constexpr std::size_t kMaxRows = 32767;

// The header line with the path is one of this many first lines.
constexpr int kHeaderLinesToSearch = 3;

// "(Incógnita)" and "(Fijo)" as they stand in a vertex line. Built on first use: the kind
// words are defined in another file, whose initialisation order is not known here.
const std::string& KindUnknownField() {
  static const std::string field = "(" + kKindUnknown + ")";
  return field;
}
const std::string& KindFixedField() {
  static const std::string field = "(" + kKindFixed + ")";
  return field;
}

// A failure inside the scan; turned into the read-error message at the top.
struct ReadError {};

// The start positions of `keyword` in `text`, leaving out [skipBegin, skipEnd).
std::vector<std::size_t> FindAll(std::string_view text, std::string_view keyword,
                                 std::size_t skipBegin, std::size_t skipEnd) {
  std::vector<std::size_t> positions;
  for (std::size_t at = text.find(keyword); at != std::string_view::npos;
       at = text.find(keyword, at + 1)) {
    if (at >= skipBegin && at < skipEnd) continue;
    positions.push_back(at);
  }
  return positions;
}

// The byte range of the header line that carries the file path: the first line beginning
// with "Archivo " among the first three lines; an empty range when there is none.
std::pair<std::size_t, std::size_t> PathLineRange(std::string_view text) {
  std::size_t lineStart = 0;
  for (int line = 0; line < kHeaderLinesToSearch && lineStart < text.size(); ++line) {
    std::size_t lineEnd = text.find('\n', lineStart);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    if (text.substr(lineStart, lineEnd - lineStart).starts_with(kProjectPathPrefix)) {
      return {lineStart, lineEnd};
    }
    lineStart = lineEnd + 1;
  }
  return {0, 0};
}

// Throws ReadError unless the record's last field lies within the text.
void RequireWithin(std::string_view text, std::size_t recordStart, std::size_t endOffset) {
  if (recordStart + endOffset > text.size()) throw ReadError{};
}

double FiniteNumber(std::string_view field) {
  const double value = ReadNumber(field);
  if (!std::isfinite(value)) throw ReadError{};
  return value;
}

// True when the field, without surrounding blanks, is one number and nothing else.
bool IsNumericText(std::string_view field) {
  const std::size_t first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  const std::size_t last = field.find_last_not_of(' ');
  const std::string_view t = field.substr(first, last - first + 1);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return i == t.size();
}

// A vertex number that must be numeric and fit 16 bits (the number of a vertex line).
std::int16_t StrictVertexNumber(std::string_view field) {
  if (!IsNumericText(field)) throw ReadError{};
  const std::optional<std::int16_t> number = ToInt16(ReadNumber(field));
  if (!number) throw ReadError{};
  return *number;
}

// A target vertex number, read leniently and rounded; it must fit 16 bits.
std::int16_t TargetNumber(std::string_view field) {
  const std::optional<std::int16_t> number = ToInt16(ReadNumber(field));
  if (!number) throw ReadError{};
  return *number;
}

// The kind: the text after the last blank or "(" of its 9-character field.
std::string KindText(std::string_view field) {
  const std::size_t cut = field.find_last_of(" (");
  return std::string(cut == std::string_view::npos ? field : field.substr(cut + 1));
}

NetworkVertex ReadVertex(std::string_view text, std::size_t at) {
  RequireWithin(text, at, kVertexEwOffset + kDeflectionWidth);
  // A number longer than its four columns runs into the blank after them.
  if (text[at + kVertexNumberOffset + kVertexNumberWidth] != ' ') throw ReadError{};
  NetworkVertex v;
  v.number = StrictVertexNumber(FieldAt(text, at + kVertexNumberOffset, kVertexNumberWidth));
  v.kind = KindText(FieldAt(text, at + kVertexKindOffset, kVertexKindWidth));
  v.xM = FiniteNumber(FieldAt(text, at + kVertexXOffset, kCoordinateWidth));
  v.yM = FiniteNumber(FieldAt(text, at + kVertexYOffset, kCoordinateWidth));
  v.zM = FiniteNumber(FieldAt(text, at + kVertexZOffset, kCoordinateWidth));
  const std::string_view ns = FieldAt(text, at + kVertexNsOffset, kDeflectionWidth);
  v.deflectionUnknown = ns.find('?') != std::string_view::npos;
  if (!v.deflectionUnknown) {
    v.deflectionNsCc = FiniteNumber(ns);
    v.deflectionEwCc = FiniteNumber(FieldAt(text, at + kVertexEwOffset, kDeflectionWidth));
  }
  return v;
}

ClassicalObservation ReadClassical(std::string_view text, std::size_t at, ObservationType type) {
  const std::size_t fields = at + ObservationTypeKeyword(type).size();
  RequireWithin(text, fields, kClassicalStdDevOffset + kStdDevWidth);
  ClassicalObservation o;
  o.type = type;
  o.from = FiniteNumber(FieldAt(text, fields + kClassicalFromOffset, kVertexNumberWidth));
  o.to = TargetNumber(FieldAt(text, fields + kClassicalToOffset, kVertexNumberWidth));
  o.value = FiniteNumber(FieldAt(text, fields + kClassicalValueOffset, kObservedValueWidth));
  o.stdDev = FiniteNumber(FieldAt(text, fields + kClassicalStdDevOffset, kStdDevWidth));
  return o;
}

GpsBaseline ReadBaseline(std::string_view text, std::size_t at) {
  RequireWithin(text, at, kGpsCzzOffset + kBaselineFieldWidth);
  // The second and third lines are read at fixed distances from the first: their labels
  // must stand where the block puts them, or every field after them would be misread.
  static constexpr std::string_view kIncrY = "   IncrY: ";
  static constexpr std::string_view kIncrZ = "   IncrZ: ";
  if (FieldAt(text, at + kGpsDyOffset - kIncrY.size(), kIncrY.size()) != kIncrY ||
      FieldAt(text, at + kGpsDzOffset - kIncrZ.size(), kIncrZ.size()) != kIncrZ) {
    throw ReadError{};
  }
  const auto field = [&](std::size_t offset, std::size_t width) {
    return FiniteNumber(FieldAt(text, at + offset, width));
  };
  GpsBaseline b;
  b.from = field(kGpsFromOffset, kVertexNumberWidth);
  b.to = TargetNumber(FieldAt(text, at + kGpsToOffset, kVertexNumberWidth));
  b.dxM = field(kGpsDxOffset, kBaselineFieldWidth);
  b.dyM = field(kGpsDyOffset, kBaselineFieldWidth);
  b.dzM = field(kGpsDzOffset, kBaselineFieldWidth);
  b.cxx = field(kGpsCxxOffset, kBaselineFieldWidth);
  b.cxy = field(kGpsCxyOffset, kBaselineFieldWidth);
  b.cxz = field(kGpsCxzOffset, kBaselineFieldWidth);
  b.cyy = field(kGpsCyyOffset, kBaselineFieldWidth);
  b.cyz = field(kGpsCyzOffset, kBaselineFieldWidth);
  b.czz = field(kGpsCzzOffset, kBaselineFieldWidth);
  return b;
}

struct ClassicalHit {
  std::size_t at;
  ObservationType type;
};

// The scan proper; failures leave through the returned Failure.
Result<NetworkModel> Scan(std::string_view rawText, const ProgressSink* progress) {
  try {
    // Lone LF or CR line ends would shift the GPS block's second and third lines.
    std::string normalised;
    std::string_view text = rawText;
    if (text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos) {
      normalised = NormalizeToCrLf(rawText);
      text = normalised;
    }
    const auto [skipBegin, skipEnd] = PathLineRange(text);

    NetworkModel model;
    // Vertices: the kinds must account for every vertex line.
    const std::vector<std::size_t> vertexAt = FindAll(text, kVertexKeyword, skipBegin, skipEnd);
    const std::size_t unknownCount = FindAll(text, KindUnknownField(), skipBegin, skipEnd).size();
    const std::size_t fixedCount = FindAll(text, KindFixedField(), skipBegin, skipEnd).size();
    if (unknownCount + fixedCount != vertexAt.size()) return Failure{kLoadKindMismatchMessage};
    if (vertexAt.size() > kMaxRows) return Failure{kLoadReadErrorMessage};
    model.vertices.reserve(vertexAt.size());
    for (std::size_t at : vertexAt) model.vertices.push_back(ReadVertex(text, at));
    if (progress) progress->SetProgress(kProgressAfterVertices);

    // Classical observations, in order of appearance whatever their type.
    std::vector<ClassicalHit> hits;
    for (ObservationType type : {ObservationType::Distance, ObservationType::Zenith, ObservationType::Direction}) {
      for (std::size_t at : FindAll(text, ObservationTypeKeyword(type), skipBegin, skipEnd)) {
        hits.push_back({at, type});
      }
    }
    std::sort(hits.begin(), hits.end(), [](const ClassicalHit& a, const ClassicalHit& b) { return a.at < b.at; });
    model.classical.reserve(hits.size());
    for (const ClassicalHit& hit : hits) model.classical.push_back(ReadClassical(text, hit.at, hit.type));
    if (progress) progress->SetProgress(kProgressAfterClassical);

    // GPS baselines.
    const std::vector<std::size_t> baselineAt = FindAll(text, kBaselineKeyword, skipBegin, skipEnd);
    if (baselineAt.size() > kMaxRows) return Failure{kLoadReadErrorMessage};
    model.baselines.reserve(baselineAt.size());
    for (std::size_t at : baselineAt) model.baselines.push_back(ReadBaseline(text, at));
    return model;
  } catch (const ReadError&) {
    return Failure{kLoadReadErrorMessage};
  } catch (const std::bad_alloc&) {
    return Failure{kLoadOutOfMemoryMessage};
  } catch (const std::length_error&) {
    return Failure{kLoadOutOfMemoryMessage};
  }
}

}  // namespace

Result<NetworkModel> ScanProjectText(std::string_view text) { return Scan(text, nullptr); }

Result<NetworkModel> LoadNetworkFromText(std::string_view text) {
  Result<NetworkModel> model = Scan(text, nullptr);
  if (model.ok()) ComputeVertexGeodetics(*model);
  return model;
}

Result<LoadedNetwork> LoadNetwork(const std::string& path, const ProgressSink& progress, const LoadSteps& steps) {
  progress.SetProgress(0);
  progress.SetStatus(kLoadStatusReading);
  try {
    Result<std::string> bytes = ReadFileBytes(path);
    if (!bytes.ok()) return Failure{kLoadReadErrorMessage};
    LoadedNetwork loaded;
    loaded.projectText = std::move(*bytes);
    loaded.projectTooBig = loaded.projectText.size() >= kProjectDisplayLimit;
    if (steps.textRead) steps.textRead(loaded.projectText, loaded.projectTooBig);
    Result<NetworkModel> model = Scan(loaded.projectText, &progress);
    if (!model.ok()) return Failure{model.error()};
    loaded.model = std::move(*model);
    progress.SetProgress(kProgressAfterBaselines);
    progress.SetStatus(kLoadStatusDrawing);
    ComputeVertexGeodetics(loaded.model);
    if (steps.drawSketch) steps.drawSketch(loaded.model);
    progress.SetProgress(kProgressDone);
    progress.SetStatus("");
    progress.SetProgress(0);
    return loaded;
  } catch (const std::bad_alloc&) {
    return Failure{kLoadOutOfMemoryMessage};
  }
}

}  // namespace korvo
