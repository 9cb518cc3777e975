#include "engine/observation_system.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "common/win1252.h"
#include "support/matrices.h"
#include "support/networks.h"

namespace korvo {
namespace {

using testnet::Builder;
using U = UnknownKind;
using R = RowKind;
const double kNonZero = 1e300;  // in the tables below: any value but 0

// Vertices 1 (fixed), 2 (unknown, unknown deflection), 3 (unknown), 4 (fixed), and a mix of
// every row type.
Builder MixedNetwork() {
  Builder b;
  b.AddVertex(1, true, 0, 0, 0);
  b.AddVertex(2, false, 900, 300, 25);
  b.AddVertex(3, false, 400, 1100, -30);
  b.AddVertex(4, true, -500, 800, 12);
  b.truth[1].deflectionUnknown = true;
  b.PlaceVertices(0.03);
  b.AddObservation(ObservationType::Direction, 1, 2, 10);    // row 1
  b.AddObservation(ObservationType::Direction, 1, 4, 10);    // row 2
  b.AddObservation(ObservationType::Zenith, 2, 3, 20);       // row 3
  b.AddObservation(ObservationType::Zenith, 3, 2, 20);       // row 4: same line as row 3
  b.AddObservation(ObservationType::Distance, 1, 3, 0.005);  // row 5
  b.AddObservation(ObservationType::Direction, 3, 1, 10);    // row 6
  b.AddObservation(ObservationType::Zenith, 1, 2, 20);       // row 7
  b.AddBaseline(1, 3, 0.004);                                // rows 8-10
  b.AddBaseline(2, 4, 0.004);                                // rows 11-13
  return b;
}

void ExpectCoefficients(const ObservationSystem& s, const std::vector<std::array<double, 3>>& rowColumnValue) {
  for (const auto& [row, column, value] : rowColumnValue) {
    const double a = s.A(static_cast<int>(row), static_cast<int>(column));
    EXPECT_TRUE(value == kNonZero ? a != 0.0 : a == value) << row << "," << column << ": " << a;
  }
}

TEST(FormObservationSystem, RowsAndUnknownsInTheirOrder) {
  const Builder b = MixedNetwork();
  const Result<ObservationSystem> formed = FormObservationSystem(b.model, CalcOptions{});  // refraction per line
  ASSERT_TRUE(formed.ok()) << formed.error();
  const ObservationSystem& s = *formed;
  EXPECT_EQ(s.numEquations, 13);
  EXPECT_EQ(s.classicalCount, 7);
  EXPECT_EQ(s.gpsCount, 2);
  // dX dY dZ of 2 and 3, lines (2,3) and (1,2), D.V.EW and D.V.NS of 2, dDes of 3.
  ASSERT_EQ(s.numUnknowns, 11);
  const UnknownKind kinds[] = {U::CoordinateX, U::CoordinateY, U::CoordinateZ,    U::CoordinateX,
                               U::CoordinateY, U::CoordinateZ, U::RefractionLine, U::RefractionLine,
                               U::DeflectionEw, U::DeflectionNs, U::Orientation};
  const int vertexNumbers[] = {2, 2, 2, 3, 3, 3, 0, 0, 2, 2, 3};
  for (int j = 1; j <= 11; ++j) {
    EXPECT_EQ(s.layout.unknowns[j].kind, kinds[j - 1]) << "column " << j;
    EXPECT_EQ(s.layout.unknowns[j].vertexNumber, vertexNumbers[j - 1]) << "column " << j;
  }
  const RowKind rowKinds[] = {R::Direction, R::Direction, R::Zenith, R::Zenith, R::Distance, R::Direction, R::Zenith,
                              R::GpsX,      R::GpsY,      R::GpsZ,   R::GpsX,   R::GpsY,     R::GpsZ};
  const int sources[] = {0, 1, 2, 3, 4, 5, 6, 0, 0, 0, 1, 1, 1};
  for (int i = 1; i <= 13; ++i) {
    EXPECT_EQ(s.rows[i].kind, rowKinds[i - 1]) << "row " << i;
    EXPECT_EQ(s.rows[i].source, sources[i - 1]) << "row " << i;
  }
  // Line columns of the zenith angles, ±1 of the baselines, −1 of the orientation of 3.
  ExpectCoefficients(s, {{3, 7, kNonZero}, {4, 7, kNonZero}, {3, 8, 0}, {7, 8, kNonZero}, {7, 7, 0}, {8, 4, 1}, {9, 5, 1},
                         {10, 6, 1}, {8, 5, 0}, {11, 1, -1}, {12, 2, -1}, {13, 3, -1}, {1, 11, 0}, {6, 11, -1}});
}

TEST(FormObservationSystem, OrientationStatusRules) {
  // Fixed sighting fixed → "Fija"; fixed sighting only unknown, or unknown → "Incógnita".
  Builder b;
  b.AddVertex(1, true, 0, 0, 0);
  b.AddVertex(2, true, 1000, 0, 5);
  b.AddVertex(3, false, 500, 800, -5);
  b.AddVertex(4, false, -400, 600, 8);
  b.PlaceVertices(0.02);
  for (const auto& [from, to] : {std::pair{1, 3}, {1, 2}, {1, 4}, {2, 3}, {2, 4}, {3, 1}, {3, 2}})
    b.AddObservation(ObservationType::Direction, from, to, 10);
  b.AddObservation(ObservationType::Distance, 4, 1, 0.01);
  const Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(s.ok());
  EXPECT_EQ(s->orientationStatus, (std::vector<OrientationStatus>{OrientationStatus::Fixed, OrientationStatus::Unknown,
                                                                  OrientationStatus::Unknown, OrientationStatus::None}));
  EXPECT_EQ((std::vector<std::string>{OrientationStatusText(OrientationStatus::Fixed), OrientationStatusText(OrientationStatus::Unknown),
                                      OrientationStatusText(OrientationStatus::None)}),
            (std::vector<std::string>{"Fija", Cp1252("Incógnita"), ""}));
  ASSERT_EQ(s->numUnknowns, 8);  // coordinates of 3 and 4, orientations of 2 and 3 in vertex-list order
  ExpectCoefficients(*s, {{1, 7, 0}, {1, 8, 0}, {2, 7, 0}, {2, 8, 0}, {3, 7, 0}, {3, 8, 0}, {4, 7, -1}, {5, 7, -1}, {6, 8, -1}});
  // Approximate orientations from the last direction to a fixed target (row 2), else to any.
  EXPECT_NEAR(s->approxOrientationGon[0], b.orientationTrueGon[0], 1e-9);
  for (const auto& [vertex, row] : {std::pair{0, 2}, {1, 5}, {2, 7}}) {
    EXPECT_NEAR(s->k(row, 1), 0.0, 1e-6) << row;
    EXPECT_NEAR(s->approxOrientationGon[static_cast<std::size_t>(vertex)],
                s->computedValue[row] - b.model.classical[static_cast<std::size_t>(row - 1)].value, 1e-12);
  }
}

TEST(FormObservationSystem, DirectionsOnAndNearTheMeridian) {
  // Station and target on the same meridian: the longitudes are equal to the last bit.
  Builder line;
  line.truth.push_back({1, true, testnet::GeocentricFromGeodetic(40.0, -3.5, 600.0), false, 0, 0});
  line.truth.push_back({2, true, testnet::GeocentricFromGeodetic(40.01, -3.5, 640.0), false, 0, 0});
  line.PlaceVertices(0.0);
  ASSERT_EQ(line.model.vertices[0].longitudeDeg, line.model.vertices[1].longitudeDeg);
  line.AddObservation(ObservationType::Direction, 1, 2, 10);
  line.AddObservation(ObservationType::Direction, 2, 1, 10);
  const Result<ObservationSystem> northSouth = FormObservationSystem(line.model, CalcOptions{});
  ASSERT_TRUE(northSouth.ok());
  EXPECT_NEAR(std::remainder(northSouth->computedValue[1], 400.0), 0.0, 1e-6);
  EXPECT_NEAR(northSouth->computedValue[2], 200.0, 1e-6);

  // Deflection takes the computed direction below 0, observed is near 400: k a few cc, not 4e6.
  Builder b;
  b.AddVertex(1, false, 0, 0, 0);
  b.AddVertex(2, true, 0.01, 1500, 20);
  b.AddVertex(3, true, 1200, 300, -10);
  b.truth[0].etaCc = -15.0, b.truth[0].xiCc = 4.0;
  b.PlaceVertices(0.0);
  b.AddObservation(ObservationType::Direction, 1, 2, 10);
  b.AddObservation(ObservationType::Direction, 1, 3, 10);
  const Result<ObservationSystem> first = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(first.ok());
  ASSERT_LT(first->computedValue[1], 0.0);  // the case under test
  // Exact observations for an orientation of 0.0002 gon.
  for (int i = 0; i < 2; ++i) b.model.classical[static_cast<std::size_t>(i)].value = testnet::Wrap400(first->computedValue[i + 1] - 0.0002);
  const Result<ObservationSystem> s = FormObservationSystem(b.model, CalcOptions{});
  ASSERT_TRUE(s.ok());
  EXPECT_GT(s->reducedObserved[1], 399.0);
  for (int row = 1; row <= 2; ++row) EXPECT_NEAR(s->k(row, 1), 0.0, 1e-4) << row;
}

TEST(FormObservationSystem, RefusalsNameTheirRecord) {
  CalcOptions noStationErrors;
  noStationErrors.applyGpsStationErrors = false;
  const struct Case { const char* what; void (*spoil)(NetworkModel&); std::string message; CalcOptions options = {}; } cases[] = {
      {"unknown target", [](NetworkModel& m) { m.classical[2].to = 77; },
       Cp1252(" ¡La observación nº 3 (Cenital 2-77) se refiere al vértice 77, que no figura en la lista de vértices! ")},
      {"unknown baseline end", [](NetworkModel& m) { m.baselines[1].from = 9; },
       Cp1252(" ¡La línea base GPS nº 2 (9-4) se refiere al vértice 9, que no figura en la lista de vértices! ")},
      {"identical coordinates",
       [](NetworkModel& m) { m.vertices[2].xM = m.vertices[0].xM, m.vertices[2].yM = m.vertices[0].yM, m.vertices[2].zM = m.vertices[0].zM; },
       Cp1252(" ¡La observación nº 5 (Geométrica 1-3) une dos vértices con las mismas coordenadas! ")},
      {"baseline to itself", [](NetworkModel& m) { m.baselines[1].to = 2; },
       Cp1252(" ¡La línea base GPS nº 2 (2-2) une dos vértices con las mismas coordenadas! ")},
      {"zero standard deviation", [](NetworkModel& m) { m.classical[4].stdDev = 0.0; },
       Cp1252(" ¡La observación nº 5 (Geométrica 1-3) tiene desviación típica nula: su peso sería infinito! ")},
      {"inadmissible type", [](NetworkModel& m) { m.classical[3].type = static_cast<ObservationType>(7); },
       Cp1252(" ¡Se ha producido un error: algún tipo de observable clásico no es admisible! ")},
      // 1 and 3 on one vertical (+X at latitude and longitude 0): the distance 1-3 (row 5) is an
      // ordinary row, the direction 3-1 has no azimuth.
      {"vertical sight",
       [](NetworkModel& m) {
         m.vertices[0] = korvo::testing::AuditVertex(1, kKindFixed, 6378137.0, 0.0, 0.0, 0.0, 0.0f);
         m.vertices[2] = korvo::testing::AuditVertex(3, kKindUnknown, 6378637.0, 0.0, 0.0, 0.0, 0.0f);
       },
       Cp1252(" ¡La observación nº 6 (Dirección 3-1) es una visual vertical: su acimut no está definido! ")},
      {"singular baseline covariance",
       [](NetworkModel& m) { m.baselines[0].cxx = m.baselines[0].cyy = m.baselines[0].czz = m.baselines[0].cxy = m.baselines[0].cxz = m.baselines[0].cyz = 0.0; },
       "Matriz singular", noStationErrors},
  };
  for (const Case& c : cases) {
    Builder b = MixedNetwork();
    c.spoil(b.model);
    const Result<ObservationSystem> s = FormObservationSystem(b.model, c.options);
    ASSERT_FALSE(s.ok()) << c.what;
    EXPECT_EQ(s.error(), c.message) << c.what;
  }
}

}  // namespace
}  // namespace korvo
