#include "network/project_file.h"

#include <ctime>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"

namespace korvo {

const std::string kProjectFileTitle = Cp1252("Fichero de datos de la aplicación KORVO");
const std::string kProjectPathPrefix = "Archivo ";
const std::string kVertexSectionTitle = Cp1252("VÉRTICES DE LA RED");
const std::string kClassicalSectionTitle = Cp1252("OBSERVACIONES CLÁSICAS");
const std::string kGpsSectionTitle = "OBSERVACIONES GPS";
const std::string kProjectSaveErrorMessage = Cp1252(" ¡Se ha producido un error al guardar el archivo! ");

namespace {

// Line breaks between a title and its section, and between a section and the next title.
constexpr std::size_t kBreakBytes = 2;
constexpr std::size_t kBreaksAfterTitle = 2;
constexpr std::size_t kBreaksBeforeTitle = 3;

// Last start of `needle` in text[0, before), or npos.
std::size_t LastBefore(std::string_view text, std::string_view needle, std::size_t before) {
  if (before == 0) return std::string_view::npos;
  return text.rfind(needle, before - 1);
}

// The text between the end of a title block and the start of the three breaks before the
// next title; nothing when the titles stand too close for that.
bool SectionBetween(std::string_view text, std::size_t titleAt, std::size_t titleLength,
                    std::size_t nextTitleAt, std::string& section) {
  const std::size_t begin = titleAt + titleLength + kBreaksAfterTitle * kBreakBytes;
  const std::size_t tail = kBreaksBeforeTitle * kBreakBytes;
  if (nextTitleAt < begin + tail) return false;
  section.assign(text.substr(begin, nextTitleAt - tail - begin));
  return true;
}

}  // namespace

std::string ComposeProjectFile(const std::string& path, const std::string& dateText,
                               const std::string& vertexText, const std::string& classicalText,
                               const std::string& gpsText) {
  TextBuilder file(512 + path.size() + vertexText.size() + classicalText.size() + gpsText.size());
  file << kProjectFileTitle << kCrLf << kCrLf;
  file << kProjectPathPrefix << path << "   " << dateText << kCrLf << kCrLf << kCrLf;
  file << kVertexSectionTitle << kCrLf << kCrLf << vertexText << kCrLf << kCrLf << kCrLf;
  file << kClassicalSectionTitle << kCrLf << kCrLf << classicalText << kCrLf << kCrLf << kCrLf;
  file << kGpsSectionTitle << kCrLf << kCrLf << gpsText << kCrLf;
  return std::move(file).str();
}

std::string ShortDateText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%d/%m/%Y", &local);
  return text;
}

Status WriteProjectFile(const std::string& path, const ProjectState& state) {
  const std::string bytes = ComposeProjectFile(path, ShortDateText(), state.vertexListText,
                                               state.classicalListText, state.gpsListText);
  if (!WriteFileAtomically(path, bytes).ok()) return Failure{kProjectSaveErrorMessage};
  return Ok();
}

ProjectSections SplitProjectText(std::string_view rawText) {
  const std::string normalised = NormalizeToCrLf(rawText);
  const std::string_view text = normalised;
  ProjectSections sections;

  // The last triple of titles in order: the last GPS title, the last classical title before
  // it, the last vertex title before that.
  const std::size_t gpsAt = text.rfind(kGpsSectionTitle);
  if (gpsAt == std::string_view::npos) return sections;
  const std::size_t classicalAt = LastBefore(text, kClassicalSectionTitle, gpsAt);
  if (classicalAt == std::string_view::npos) return sections;
  const std::size_t verticesAt = LastBefore(text, kVertexSectionTitle, classicalAt);
  if (verticesAt == std::string_view::npos) return sections;

  ProjectSections found;
  if (!SectionBetween(text, verticesAt, kVertexSectionTitle.size(), classicalAt, found.vertexListText) ||
      !SectionBetween(text, classicalAt, kClassicalSectionTitle.size(), gpsAt, found.classicalListText)) {
    return sections;
  }
  // The GPS section runs to the end of the text, less the line break that ends the file.
  const std::size_t gpsBegin = gpsAt + kGpsSectionTitle.size() + kBreaksAfterTitle * kBreakBytes;
  if (gpsBegin <= text.size()) {
    std::string_view gps = text.substr(gpsBegin);
    if (gps.size() >= kBreakBytes && gps.substr(gps.size() - kBreakBytes) == kCrLf) {
      gps.remove_suffix(kBreakBytes);
    }
    found.gpsListText.assign(gps);
  }
  found.titlesFound = true;
  return found;
}

Result<ProjectSections> SplitProjectFile(const std::string& path) {
  Result<std::string> bytes = ReadFileBytes(path);
  if (!bytes.ok()) return Failure{bytes.error()};
  return SplitProjectText(*bytes);
}

}  // namespace korvo
