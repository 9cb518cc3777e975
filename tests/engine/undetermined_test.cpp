// Undetermined unknowns: the first free unknown, as the geometry of each system says, is named.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/win1252.h"
#include "engine/kernels.h"
#include "engine/least_squares.h"
#include "support/engine_cases.h"
#include "support/networks.h"

namespace korvo {
namespace {

using testnet::Builder;

// Fixed 1 and 2 and unknown 4, tied to both by baselines unless `gpsToFour` is false.
ObservationSystem Network(const std::function<void(Builder&)>& more, bool gpsToFour = true) {
  Builder b;
  b.AddVertex(1, true, 0.0, 0.0, 0.0);
  b.AddVertex(2, true, 900.0, 150.0, 12.0);
  b.AddVertex(4, false, 400.0, -600.0, 30.0);
  more(b);
  if (gpsToFour) {
    b.AddBaseline(1, 4, 0.004);
    b.AddBaseline(2, 4, 0.004);
  }
  return FormObservationSystem(b.model, CalcOptions{}).value();
}

// Unknown 3 placed by distances from 1 and 2 and one angle `from`-`to`.
ObservationSystem ThreeBySights(ObservationType angle, std::int16_t from, std::int16_t to) {
  return Network([&](Builder& b) {
    b.AddVertex(3, false, 300.0, 700.0, -20.0);
    b.PlaceVertices(0.02);
    b.AddObservation(ObservationType::Distance, 1, 3, 0.005);
    b.AddObservation(ObservationType::Distance, 2, 3, 0.005);
    b.AddObservation(angle, from, to, angle == ObservationType::Zenith ? 20.0 : 10.0);
  });
}

TEST(UndeterminedUnknowns, TheFirstFreeUnknownIsNamed) {
  const Matrix dependent = testing::FromRows({{1, 0, 1}, {0, 1, 1}, {1, 1, 2}, {2, -1, 1}});
  const struct Case { const char* name; std::function<ObservationSystem()> system; std::string unknown; } cases[] = {
      // Baselines fix no position: X of the last vertex is the first dependent column.
      {"free network", [] { return Network([](Builder& b) {
         for (testnet::TrueVertex& v : b.truth) v.fixed = false;
         b.AddVertex(3, false, 300.0, 700.0, -20.0);
         b.PlaceVertices(0.02);
         for (const auto& [from, to] : {std::pair{1, 2}, {2, 4}, {4, 3}, {3, 1}, {2, 3}}) b.AddBaseline(from, to, 0.004);
       }, false); }, "la coordenada X del vértice 3"},
      // Three sights fix the three coordinates of 3, leaving nothing for its orientation.
      {"orientation with no direction left", [] { return ThreeBySights(ObservationType::Direction, 3, 1); },
       "la orientación de la estación 3"},
      // The zenith angle 1-3 is needed for the height of 3: its line's coefficient is free.
      {"refraction of a line with no zenith angle left", [] { return ThreeBySights(ObservationType::Zenith, 1, 3); },
       "el coeficiente de refracción de la línea 1-3"},
      // An unknown deflection at a vertex that is the station of no angle.
      {"deflection without angles",
       [] { return Network([](Builder& b) { b.truth[2].deflectionUnknown = true, b.PlaceVertices(0.02); }); },
       "la componente EW de la desviación de la vertical del vértice 4"},
      {"imported column 3 = column 1 + column 2",
       [&] { return testing::Imported(dependent, {0, 0, 0, 0}, testing::Identity(4)); }, "la incógnita de la columna 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ObservationSystem system = c.system();
    ASSERT_GT(system.numEquations, system.numUnknowns);
    for (const MatrixKernels& kernels : {FastKernels(), DenseKernels()}) {
      const Result<LeastSquaresResults> solved = SolveLeastSquares(system, nullptr, kernels);
      ASSERT_FALSE(solved.ok());
      EXPECT_EQ(solved.error(), Cp1252(" ¡Matriz singular: las observaciones no determinan " + c.unknown + "! "));
    }
  }
}

}  // namespace
}  // namespace korvo
