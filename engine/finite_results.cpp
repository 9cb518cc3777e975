#include "engine/finite_results.h"

#include <cmath>
#include <string>

#include "common/win1252.h"

namespace korvo {
namespace {

// Index (1-based) of the first element that is not finite, or 0. Element 0 of the 1-based
// vectors is unused and skipped.
std::size_t FirstNotFinite(const std::vector<double>& values) {
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (!std::isfinite(values[i])) return i;
  }
  return 0;
}

std::string Where(const std::string& method, const std::string& quantity, const std::string& position) {
  return Cp1252(" ¡El ajuste ha dado un valor que no es un número finito (") + method + ": " + quantity + " " +
         position + Cp1252("): el sistema no está bien determinado; no se escriben resultados! ");
}

struct NamedVector {
  const char* quantity;
  const char* element;  // "incógnita" or "observación"
  const std::vector<double>* values;
};

Status CheckVectors(const std::string& method, std::initializer_list<NamedVector> vectors) {
  for (const NamedVector& v : vectors) {
    if (const std::size_t i = FirstNotFinite(*v.values); i != 0) {
      return Failure{Where(method, Cp1252(v.quantity), Cp1252(v.element) + " " + std::to_string(i))};
    }
  }
  return Ok();
}

Status CheckMatrix(const std::string& method, const char* name, const Matrix& m) {
  for (int i = 1; i <= m.rows(); ++i) {
    const double* row = m.RowData(i);
    for (int j = 1; j <= m.cols(); ++j) {
      if (!std::isfinite(row[j])) {
        return Failure{Where(method, Cp1252(name), Cp1252("elemento (") + std::to_string(i) + ", " + std::to_string(j) + ")")};
      }
    }
  }
  return Ok();
}

Status CheckRobust(const char* method, const RobustEstimate& e) {
  if (!std::isfinite(e.sigma)) return Failure{Where(method, Cp1252("sigma"), "")};
  return CheckVectors(method, {{"correcciones", "incógnita", &e.corrections},
                               {"residuos", "observación", &e.residuals},
                               {"pesos", "observación", &e.weights}});
}

}  // namespace

Status CheckResultsFinite(const LeastSquaresResults& ls, const RobustResults& robust) {
  const std::string method = Cp1252("mínimos cuadrados");
  if (!std::isfinite(ls.sigmaZero)) return Failure{Where(method, Cp1252("sigma cero"), "")};
  Status s = CheckVectors(method, {{"correcciones", "incógnita", &ls.corrections},
                                   {"parámetros compensados", "incógnita", &ls.adjustedParameters},
                                   {"desviación típica", "incógnita", &ls.sigmaParameters},
                                   {"residuos", "observación", &ls.residuals},
                                   {"observables compensados", "observación", &ls.adjustedObservations},
                                   {"desviación típica del observable", "observación", &ls.sigmaAdjustedObs},
                                   {"desviación típica del residuo", "observación", &ls.sigmaResiduals},
                                   {"redundancia", "observación", &ls.redundancy},
                                   {"estadístico de Baarda", "observación", &ls.baardaStatistic},
                                   {"error mínimo detectable", "observación", &ls.minDetectableError},
                                   {"fiabilidad interna", "observación", &ls.internalReliability},
                                   {"fiabilidad externa", "observación", &ls.externalReliability}});
  if (!s) return s;
  for (const auto& [name, matrix] : {std::pair<const char*, const Matrix*>{"matriz Cxx", &ls.Cxx},
                                     {"matriz Cll compensada", &ls.CllHat},
                                     {"matriz Cvv", &ls.Cvv},
                                     {"vectores de fiabilidad externa", &ls.externalReliabilityVectors}}) {
    if (s = CheckMatrix(method, name, *matrix); !s) return s;
  }
  if (robust.huber && !(s = CheckRobust("Huber", *robust.huber))) return s;
  if (robust.lp && !(s = CheckRobust("normas Lp", *robust.lp))) return s;
  if (robust.l1 && !(s = CheckRobust("norma L1", *robust.l1))) return s;
  return Ok();
}

}  // namespace korvo
