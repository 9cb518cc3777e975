#include "network/validate_network.h"

#include <cmath>
#include <numeric>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/numbers.h"
#include "common/win1252.h"

namespace korvo {
namespace {

// At most this many vertex numbers are listed in one message.
constexpr std::size_t kListedVertices = 20;

// "Línea 12, desviación típica: " or, for a record that did not come from a file, "".
std::string Where(int line, const std::string& field) {
  if (line <= 0) return "";
  return Cp1252("Línea ") + std::to_string(line) + (field.empty() ? "" : ", " + field) + ": ";
}

std::string Sentence(int line, const std::string& field, std::string text) {
  if (line <= 0 && !text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return Cp1252(" ¡") + Where(line, field) + text + "! ";
}

std::string Number(double value) { return ShortNumberText(value); }

// A vertex number read as a double, as a table key; nothing when it is not a 16-bit integer.
bool VertexKey(double number, int& key) {
  if (!(number >= -32768.0 && number <= 32767.0) || number != std::floor(number)) return false;
  key = static_cast<int>(number);
  return true;
}

std::string ClassicalName(const ClassicalObservation& o, std::size_t i) {
  return Cp1252("la observación nº ") + std::to_string(i + 1) + " (" + ObservationTypeKeyword(o.type) + " " +
         Number(o.from) + "-" + std::to_string(o.to) + ")";
}

std::string BaselineName(const GpsBaseline& b, std::size_t i) {
  return Cp1252("la línea base GPS nº ") + std::to_string(i + 1) + " (" + Number(b.from) + "-" +
         std::to_string(b.to) + ")";
}

Status CheckStdDev(const ClassicalObservation& o, std::size_t i) {
  const std::string field = Cp1252("desviación típica");
  if (!(o.stdDev > 0.0)) {
    return Failure{Sentence(o.line, field, ClassicalName(o, i) + Cp1252(" tiene desviación típica ") + Number(o.stdDev) +
                                               Cp1252("; debe ser mayor que cero"))};
  }
  if (!std::isnormal(1.0 / (o.stdDev * o.stdDev))) {
    return Failure{Sentence(o.line, field, ClassicalName(o, i) + Cp1252(" tiene desviación típica ") + Number(o.stdDev) +
                                               Cp1252(": su peso (1/desviación²) no es un número representable"))};
  }
  return Ok();
}

Status CheckVertex(const NetworkVertex& v) {
  const double distanceM = std::hypot(v.xM, v.yM, v.zM);
  if (!(distanceM >= kMinGeocentricDistanceM && distanceM <= kMaxGeocentricDistanceM)) {
    return Failure{Sentence(v.line, "X, Y, Z",
                            Cp1252("el vértice ") + std::to_string(v.number) + Cp1252(" está a ") + Number(distanceM) +
                                Cp1252(" m del centro de la Tierra; debe estar entre 5000 y 8000 km"))};
  }
  if (v.deflectionUnknown) return Ok();
  const std::pair<const char*, double> components[] = {{"D.V.NS", v.deflectionNsCc}, {"D.V.EW", v.deflectionEwCc}};
  for (const auto& [field, value] : components) {
    if (!(std::fabs(value) <= kMaxDeflectionCc)) {
      return Failure{Sentence(v.line, field,
                              Cp1252("la desviación de la vertical del vértice ") + std::to_string(v.number) +
                                  " es " + Number(value) + Cp1252(" cc; no puede pasar de 1000 cc"))};
    }
  }
  return Ok();
}

// Cholesky of the 3 × 3 block: every pivot must be positive (and finite).
bool IsPositiveDefinite(const GpsBaseline& b) {
  const double c[3][3] = {{b.cxx, b.cxy, b.cxz}, {b.cxy, b.cyy, b.cyz}, {b.cxz, b.cyz, b.czz}};
  double l[3][3] = {};
  for (int j = 0; j < 3; ++j) {
    double pivot = c[j][j];
    for (int k = 0; k < j; ++k) pivot -= l[j][k] * l[j][k];
    if (!(pivot > 0.0) || !std::isfinite(pivot)) return false;
    l[j][j] = std::sqrt(pivot);
    for (int i = j + 1; i < 3; ++i) {
      double s = c[i][j];
      for (int k = 0; k < j; ++k) s -= l[i][k] * l[j][k];
      l[i][j] = s / l[j][j];
    }
  }
  return true;
}

std::string VertexList(const std::vector<int>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size() && i < kListedVertices; ++i) {
    text += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
  }
  if (numbers.size() > kListedVertices) {
    text += Cp1252(" y ") + std::to_string(numbers.size() - kListedVertices) + Cp1252(" más");
  }
  return text;
}

// Union–find over vertex rows, with path halving.
struct Parts {
  std::vector<int> parent;
  explicit Parts(std::size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), 0); }
  int Root(int i) {
    while (parent[static_cast<std::size_t>(i)] != i) {
      int& p = parent[static_cast<std::size_t>(i)];
      p = parent[static_cast<std::size_t>(p)];
      i = p;
    }
    return i;
  }
  void Join(int a, int b) { parent[static_cast<std::size_t>(Root(a))] = Root(b); }
};

}  // namespace

Status CheckNetworkValues(const NetworkModel& network) {
  std::unordered_map<int, int> lineOfNumber;
  lineOfNumber.reserve(network.vertices.size());
  for (const NetworkVertex& v : network.vertices) {
    const auto [it, fresh] = lineOfNumber.emplace(v.number, v.line);
    if (!fresh) {
      std::string earlier = it->second > 0 ? Cp1252(" (ya figura en la línea ") + std::to_string(it->second) + ")" : "";
      return Failure{Sentence(v.line, Cp1252("número"),
                              Cp1252("el número de vértice ") + std::to_string(v.number) + Cp1252(" está repetido") +
                                  earlier + Cp1252("; cada vértice debe tener un número distinto"))};
    }
    if (Status s = CheckVertex(v); !s) return s;
  }
  for (std::size_t i = 0; i < network.classical.size(); ++i) {
    if (Status s = CheckStdDev(network.classical[i], i); !s) return s;
  }
  for (std::size_t i = 0; i < network.baselines.size(); ++i) {
    const GpsBaseline& b = network.baselines[i];
    if (!IsPositiveDefinite(b)) {
      return Failure{Sentence(b.line, Cp1252("matriz v-c"),
                              Cp1252("la matriz de varianzas-covarianzas de ") + BaselineName(b, i) +
                                  Cp1252(" no es simétrica definida positiva"))};
    }
  }
  return Ok();
}

Status CheckCalcOptions(const CalcOptions& options) {
  if (!(std::fabs(options.refractionK) <= kMaxRefractionK)) {
    return Failure{Cp1252(" ¡El coeficiente de refracción K = ") + Number(options.refractionK) +
                   Cp1252(" está fuera del intervalo de -1 a 1! ")};
  }
  const std::pair<const char*, double> errors[] = {
      {"El error en estacionamiento", options.centeringStdDevM},
      {"El error en altura de antena", static_cast<double>(options.antennaHeightStdDevM)}};
  for (const auto& [name, valueM] : errors) {
    if (!(valueM >= 0.0 && valueM <= kMaxStationErrorM)) {
      return Failure{Cp1252(" ¡") + Cp1252(name) + " (" + Number(valueM) + " m) debe estar entre 0 y 1 m! "};
    }
  }
  return Ok();
}

Status CheckNetworkDetermined(const NetworkModel& network) {
  const std::size_t n = network.vertices.size();
  std::unordered_map<int, int> rowOfNumber;
  rowOfNumber.reserve(n);
  for (std::size_t i = 0; i < n; ++i) rowOfNumber.emplace(network.vertices[i].number, static_cast<int>(i));
  const auto row = [&](double number) {
    int key = 0;
    if (!VertexKey(number, key)) return -1;
    const auto it = rowOfNumber.find(key);
    return it == rowOfNumber.end() ? -1 : it->second;
  };

  Parts parts(n);
  std::vector<char> observed(n, 0);
  const auto join = [&](double from, double to) {
    const int a = row(from), b = row(to);
    if (a < 0 || b < 0) return false;
    observed[static_cast<std::size_t>(a)] = observed[static_cast<std::size_t>(b)] = 1;
    parts.Join(a, b);
    return true;
  };
  for (const ClassicalObservation& o : network.classical) {
    if (!join(o.from, o.to)) return Ok();
  }
  for (const GpsBaseline& b : network.baselines) {
    if (!join(b.from, b.to)) return Ok();
  }

  std::vector<int> unobserved;
  for (std::size_t i = 0; i < n; ++i) {
    if (!observed[i] && !network.vertices[i].IsFixed()) unobserved.push_back(network.vertices[i].number);
  }
  if (unobserved.size() == 1) {
    return Failure{Cp1252(" ¡El vértice ") + VertexList(unobserved) +
                   Cp1252(" es incógnita y ninguna observación ni línea base GPS llega a él: faltan observaciones "
                          "que determinen sus coordenadas! ")};
  }
  if (!unobserved.empty()) {
    return Failure{Cp1252(" ¡Los vértices ") + VertexList(unobserved) +
                   Cp1252(" son incógnita y ninguna observación ni línea base GPS llega a ellos: faltan observaciones "
                          "que determinen sus coordenadas! ")};
  }

  std::vector<char> anchored(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (network.vertices[i].IsFixed()) anchored[static_cast<std::size_t>(parts.Root(static_cast<int>(i)))] = 1;
  }
  std::vector<int> floating;
  int floatingRoot = -1;
  for (std::size_t i = 0; i < n; ++i) {
    const int root = parts.Root(static_cast<int>(i));
    if (anchored[static_cast<std::size_t>(root)] || (floatingRoot >= 0 && root != floatingRoot)) continue;
    floatingRoot = root;
    floating.push_back(network.vertices[i].number);
  }
  if (floating.empty()) return Ok();
  if (floating.size() == n) {
    return Failure{Cp1252(" ¡La red no tiene ningún vértice fijo (vértices ") + VertexList(floating) +
                   Cp1252("): falta un vértice fijo que sitúe la red! ")};
  }
  return Failure{Cp1252(" ¡La parte de la red formada por los vértices ") + VertexList(floating) +
                 Cp1252(" no está unida a ningún vértice fijo: falta un vértice fijo en esa parte o una observación "
                        "que la una al resto! ")};
}

Status CheckBeforeAdjustment(const NetworkModel& network, const CalcOptions& options) {
  if (Status s = CheckCalcOptions(options); !s) return s;
  return CheckNetworkDetermined(network);
}

}  // namespace korvo
