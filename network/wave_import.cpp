#include "network/wave_import.h"

#include <cmath>
#include <optional>

#include "common/files.h"
#include "common/numbers.h"
#include "common/text.h"
#include "common/win1252.h"
#include "coordtransform/coordinate_files.h"
#include "network/project_lines.h"

namespace korvo {
namespace {

constexpr std::string_view kBaselineWord = "Aposteriori";
constexpr std::string_view kFromLabel = "From Station:";
constexpr std::string_view kToLabel = "To Station:";
constexpr std::string_view kComponentsLabel = "Baseline Components";

// Distances (bytes) from the first byte of a label to the text read after it.
constexpr std::size_t kFromNumberDistance = 15;
constexpr std::size_t kToNumberDistance = 13;

// Distances (bytes) from the "B" of "Baseline Components" to its 16-byte fields.
constexpr std::size_t kFieldWidth = 16;
constexpr std::size_t kDxDistance = 56;
constexpr std::size_t kDyDistance = 78;
constexpr std::size_t kDzDistance = 101;
constexpr std::size_t kCxxDistance = 776;
constexpr std::size_t kCxyDistance = 850;  // row y, column x of the lower triangle
constexpr std::size_t kCyyDistance = 872;
constexpr std::size_t kCxzDistance = 946;  // row z, column x
constexpr std::size_t kCyzDistance = 968;  // row z, column y
constexpr std::size_t kCzzDistance = 991;
// The next baseline is searched from this far past "Baseline Components".
constexpr std::size_t kNextSearchDistance = 200;

// Labels that must stand at fixed distances from the "B" of "Baseline Components" (the
// text ends where the distance points), so a shifted or cut layout is never read as numbers.
struct LayoutLabel {
  std::string_view text;
  std::size_t endDistance;
};
constexpr LayoutLabel kLayoutLabels[] = {
    {"dX =", 38}, {"dY =", kDyDistance}, {"dZ =", kDzDistance},
    {"X", kCxxDistance - 4}, {"Y", kCxyDistance - 4}, {"Z", kCxzDistance - 4},
};

// Covariance elements are kept to 7 decimals: v·10^7 to the nearest 32-bit integer.
constexpr double kCovarianceScale = 1e7;

std::string IndexText(int index) { return std::to_string(index + 1); }

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

std::string MissingLabelMessage(std::string_view label, int index) {
  return Cp1252("El informe del WAVE no contiene la etiqueta \"") + std::string(label) +
         Cp1252("\" de la línea base ") + IndexText(index) + Cp1252(". La importación se detiene en ella.");
}

std::string BaselineName(int index, const WaveBaseline& b) {
  return Cp1252("la línea base ") + IndexText(index) + " (" + std::to_string(b.from) + "-" + std::to_string(b.to) + ")";
}

// The 16-byte field at `offset`, which must hold one number and blanks only.
Result<double> ReadFieldAt(std::string_view text, std::size_t offset, std::string_view name, int index,
                           const WaveBaseline& b) {
  const std::string_view field = FieldAt(text, offset, kFieldWidth);
  if (field.size() < kFieldWidth || !IsNumericField(field)) {
    return Failure{Cp1252("El campo ") + std::string(name) + Cp1252(" de ") + BaselineName(index, b) +
                   Cp1252(" no es un número donde el formato del informe lo pone (\"") +
                   ReplaceAll(ReplaceAll(field, '\r', ' '), '\n', ' ') +
                   Cp1252("\"): el informe está cortado o tiene algún campo desplazado. La importación se detiene en ella.")};
  }
  return ReadNumber(field);
}

// The number at `offset` to the end of the text, as a vertex number.
Result<std::int16_t> ReadStationNumber(std::string_view text, std::size_t offset, std::string_view label,
                                       int index) {
  // The identifier must begin with the vertex number: a name such as "BASE" would otherwise
  // become vertex 0 without a word.
  std::size_t start = offset;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  std::size_t end = start;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '\r' && text[end] != '\n') ++end;
  const std::string_view identifier = text.substr(std::min(start, text.size()), end - std::min(start, text.size()));
  const bool digitFirst = !identifier.empty() &&
                          (IsAsciiDigit(identifier[0]) ||
                           (identifier.size() > 1 && (identifier[0] == '-' || identifier[0] == '+') && IsAsciiDigit(identifier[1])));
  if (!digitFirst) {
    return Failure{Cp1252("La estación \"") + std::string(identifier) + Cp1252("\" que sigue a \"") + std::string(label) +
                   Cp1252("\" en la línea base ") + IndexText(index) +
                   Cp1252(" no es un número de vértice. La importación se detiene en ella.")};
  }
  const double value = ReadNumber(text.substr(offset));
  const std::optional<std::int16_t> number = ToInt16(value);
  if (!number) {
    return Failure{Cp1252("Desbordamiento: el número de estación que sigue a \"") + std::string(label) +
                   Cp1252("\" en la línea base ") + IndexText(index) +
                   Cp1252(" no cabe en un número de vértice (-32768 a 32767).")};
  }
  return *number;
}

Result<double> RoundCovariance(double value, std::string_view name, int index) {
  const std::optional<std::int32_t> scaled = ToInt32(value * kCovarianceScale);
  if (!scaled) {
    return Failure{Cp1252("Desbordamiento: el elemento ") + std::string(name) +
                   Cp1252(" de la matriz varianza-covarianza de la línea base ") + IndexText(index) +
                   Cp1252(" es demasiado grande para redondearlo a 7 decimales.")};
  }
  return static_cast<double>(*scaled) / kCovarianceScale;
}

Status CheckFiniteComponent(double value, std::string_view name, int index) {
  if (std::isfinite(value)) return Ok();
  return Failure{Cp1252("Desbordamiento: la componente ") + std::string(name) + Cp1252(" de la línea base ") +
                 IndexText(index) + Cp1252(" es demasiado grande.")};
}

}  // namespace

int CountWaveBaselines(std::string_view reportText) {
  int count = 0;
  for (std::size_t at = reportText.find(kBaselineWord); at != std::string_view::npos;
       at = reportText.find(kBaselineWord, at + 1)) {
    ++count;
  }
  return count;
}

Result<WaveBaseline> ReadWaveBaseline(std::string_view reportText, std::size_t& searchFrom, int index) {
  const std::string_view rest = searchFrom < reportText.size() ? reportText.substr(searchFrom) : std::string_view();
  WaveBaseline baseline;

  const std::size_t fromAt = rest.find(kFromLabel);
  if (fromAt == std::string_view::npos) return Failure{MissingLabelMessage(kFromLabel, index)};
  auto from = ReadStationNumber(rest, fromAt + kFromNumberDistance, kFromLabel, index);
  if (!from) return Failure{from.error()};
  baseline.from = *from;

  // Each label is searched after the one before it, so the scan of the report never goes back.
  const std::size_t toAt = rest.find(kToLabel, fromAt);
  if (toAt == std::string_view::npos) return Failure{MissingLabelMessage(kToLabel, index)};
  auto to = ReadStationNumber(rest, toAt + kToNumberDistance, kToLabel, index);
  if (!to) return Failure{to.error()};
  baseline.to = *to;

  const std::size_t p = rest.find(kComponentsLabel, toAt);
  if (p == std::string_view::npos) return Failure{MissingLabelMessage(kComponentsLabel, index)};
  for (const LayoutLabel& label : kLayoutLabels) {
    if (p + label.endDistance < label.text.size() ||
        FieldAt(rest, p + label.endDistance - label.text.size(), label.text.size()) != label.text) {
      return Failure{Cp1252("La etiqueta \"") + std::string(label.text) + Cp1252("\" de ") + BaselineName(index, baseline) +
                     Cp1252(" no está donde el formato del informe la pone: el informe está cortado o tiene algún "
                            "campo desplazado. La importación se detiene en ella.")};
    }
  }
  struct Slot {
    double* target;
    std::size_t distance;
    const char* name;
  };
  const Slot components[] = {{&baseline.dxM, kDxDistance, "DX"}, {&baseline.dyM, kDyDistance, "DY"},
                             {&baseline.dzM, kDzDistance, "DZ"}};
  for (const Slot& slot : components) {
    Result<double> value = ReadFieldAt(rest, p + slot.distance, slot.name, index, baseline);
    if (!value) return Failure{value.error()};
    if (Status finite = CheckFiniteComponent(*value, slot.name, index); !finite) return Failure{finite.error()};
    *slot.target = *value;
  }

  const Slot slots[] = {
      {&baseline.cxx, kCxxDistance, "Cxx"}, {&baseline.cxy, kCxyDistance, "Cxy"},
      {&baseline.cyy, kCyyDistance, "Cyy"}, {&baseline.cxz, kCxzDistance, "Cxz"},
      {&baseline.cyz, kCyzDistance, "Cyz"}, {&baseline.czz, kCzzDistance, "Czz"},
  };
  for (const Slot& slot : slots) {
    Result<double> value = ReadFieldAt(rest, p + slot.distance, slot.name, index, baseline);
    if (!value) return Failure{value.error()};
    auto rounded = RoundCovariance(*value, slot.name, index);
    if (!rounded) return Failure{rounded.error()};
    *slot.target = *rounded;
  }

  searchFrom += p + kNextSearchDistance;
  return baseline;
}

Result<std::string> WaveBaselineBlock(const WaveBaseline& baseline) {
  GpsBlockFields fields;
  fields.from = std::to_string(baseline.from);
  fields.to = std::to_string(baseline.to);
  fields.dx = ShortNumberText(baseline.dxM);
  fields.dy = ShortNumberText(baseline.dyM);
  fields.dz = ShortNumberText(baseline.dzM);
  fields.cxx = ShortNumberText(baseline.cxx);
  fields.cxy = ShortNumberText(baseline.cxy);
  fields.cxz = ShortNumberText(baseline.cxz);
  fields.cyy = ShortNumberText(baseline.cyy);
  fields.cyz = ShortNumberText(baseline.cyz);
  fields.czz = ShortNumberText(baseline.czz);
  return BuildGpsBlock(fields);
}

WaveImportOutcome ImportWaveReportText(std::string_view reportText, std::string& gpsListText) {
  WaveImportOutcome outcome;
  outcome.baselinesInReport = CountWaveBaselines(reportText);
  std::size_t searchFrom = 0;
  for (int index = 0; index < outcome.baselinesInReport; ++index) {
    auto baseline = ReadWaveBaseline(reportText, searchFrom, index);
    if (!baseline) {
      outcome.failed = true;
      outcome.failure = baseline.error();
      return outcome;
    }
    auto block = WaveBaselineBlock(*baseline);
    if (!block) {
      outcome.failed = true;
      outcome.failure = Cp1252("Línea base ") + IndexText(index) + ": " + block.error();
      return outcome;
    }
    gpsListText += *block;
    ++outcome.blocksAppended;
  }
  gpsListText = ReplaceAll(gpsListText, ',', '.');
  return outcome;
}

WaveImportOutcome ImportWaveReport(const std::string& reportPath, std::string& gpsListText) {
  auto report = ReadFileBytes(reportPath);
  if (!report) {
    WaveImportOutcome outcome;
    outcome.failed = true;
    outcome.failure = Cp1252("No se puede leer el fichero ") + Utf8ToCp1252(reportPath) + ". " + report.error();
    return outcome;
  }
  return ImportWaveReportText(*report, gpsListText);
}

}  // namespace korvo
