// The quality analysis against tables, hand-built covariances, GeographicLib and re-adjustments.
#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "engine/adjustment_driver.h"
#include "engine/least_squares.h"
#include "network/load_network.h"
#include "quality/quality_products.h"
#include "quality/statistics.h"
#include "support/files.h"

namespace korvo {
namespace {

// Tabulated values (any statistics table, three decimals).
TEST(QualityStatistics, QuantilesMatchTheTables) {
  EXPECT_NEAR(ChiSquaredQuantile(0.975, 10), 20.483, 1e-3);
  EXPECT_NEAR(ChiSquaredQuantile(0.025, 10), 3.247, 1e-3);
  EXPECT_NEAR(ChiSquaredQuantile(0.999, 3), 16.266, 1e-3);
  EXPECT_NEAR(FisherQuantile(0.95, 2, 10), 4.103, 1e-3);
  EXPECT_NEAR(StudentQuantile(0.975, 10), 2.228, 1e-3);
}

TEST(QualityGeometry, EllipsesFromHandBuiltCovariances) {
  // Major axis at azimuth 30 gon: C = a²·u·uᵀ + b²·v·vᵀ, u = (sin θ, cos θ) in (E, N).
  const double theta = 30.0 * 3.14159265358979 / 200.0;
  const double ue = std::sin(theta), un = std::cos(theta), ve = std::cos(theta), vn = -std::sin(theta);
  struct Case { double cEE, cEN, cNN, a, b, azimuth; };
  const Case cases[] = {
      {4.0, 0.0, 4.0, 2.0, 2.0, 0.0},    // a circle
      {9.0, 0.0, 1.0, 3.0, 1.0, 100.0},  // major axis east
      {9 * ue * ue + 4 * ve * ve, 9 * ue * un + 4 * ve * vn, 9 * un * un + 4 * vn * vn, 3.0, 2.0, 30.0},
      {9 * ue * ue + 4 * ve * ve, -(9 * ue * un + 4 * ve * vn), 9 * un * un + 4 * vn * vn, 3.0, 2.0, 170.0},
  };
  for (const Case& c : cases) {
    const Ellipse e = EllipseOf(c.cEE, c.cEN, c.cNN);
    EXPECT_NEAR(e.a, c.a, 1e-12);
    EXPECT_NEAR(e.b, c.b, 1e-12);
    EXPECT_NEAR(e.azimuthGon, c.azimuth, 1e-9) << c.cEE << " " << c.cEN << " " << c.cNN;
  }
}

// φ = 0, λ = 0: east is +Y, north +Z, up +X. North pole (λ = 0): east +Y, north −X, up +Z.
TEST(QualityGeometry, EnuRotationAtTheOriginAndAtThePole) {
  const Block3 origin = EnuRotation(0.0, 0.0), pole = EnuRotation(90.0, 0.0);
  const Block3 atOrigin = {{{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}}, atPole = {{{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}};
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(origin[r][k], atOrigin[r][k], 1e-15) << r << k;
      EXPECT_NEAR(pole[r][k], atPole[r][k], 1e-14) << r << k;
    }
  }
}

TEST(QualityGeometry, GeodeticAndUtmAgreeWithGeographicLib) {
  // CartConvert -r -p 10, then TransverseMercatorProj -k 0.9996 -l <meridian> -p 6 plus false origins.
  struct Case {
    double x, y, z, latitude, longitude, height;
    int zone;
    double easting, northing;  // 0 when not checked (the pole)
  };
  const Case cases[] = {
      {4810516.8980, -346088.0240, 4161236.3520, 40.978000000148000, -4.115000000829318, 1002.4126208700, 30,
       500000.0 - 93805.221540, 4536913.448385},
      {-2500000.0, -4500000.0, -3800000.0, -36.617163867310815, -119.054604099077153, 27867.4014178141, 11,
       500000.0 - 183734.478435, 10000000.0 - 4054369.920300},
      {6378137.0, -20000.0, 0.0, 0.0, -0.179662467970389, 31.3570417774, 30, 500000.0 + 313960.624174, 0.0},
      {100.0, 200.0, 6356800.0, 89.997998055648324, 63.434948822922010, 47.6896612893, 41, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    const Geodetic g = CartesianToWgs84(c.x, c.y, c.z);
    EXPECT_NEAR(g.latitudeDeg, c.latitude, 1e-9);
    EXPECT_NEAR(g.longitudeDeg, c.longitude, 1e-9);
    EXPECT_NEAR(g.heightM, c.height, 1e-4);
    const UtmPoint utm = Wgs84ToUtm(c.latitude, c.longitude);
    EXPECT_EQ(utm.zone, c.zone);
    if (c.easting == 0.0) continue;
    EXPECT_NEAR(utm.eastingM, c.easting, 1e-4);
    EXPECT_NEAR(utm.northingM, c.northing, 1e-4);
  }
  EXPECT_EQ(UtmZoneOf(180.0), 60);
  EXPECT_EQ(UtmZoneOf(-180.0), 1);
}

// A line fit y = a + b·t with small noise; optional rows no unknown reaches or alone on a third unknown.
struct LineFit {
  int n = 20;
  int blunderRow = 0;
  double blunder = 0.0;
  bool emptyRow = false;
  bool ownUnknownRow = false;
  int dropRow = 0;  // leave this row out (for the re-adjustment)
};

ObservationSystem MakeLineFit(const LineFit& fit) {
  std::vector<std::vector<double>> rows;  // a, b, c, k, weight
  for (int i = 1; i <= fit.n; ++i) {
    const double noise = 0.4 * std::sin(1.7 * i);
    rows.push_back({1.0, static_cast<double>(i), 0.0, 2.0 + 0.5 * i + noise + (i == fit.blunderRow ? fit.blunder : 0.0), 1.0});
  }
  if (fit.emptyRow) rows.push_back({0.0, 0.0, 0.0, 0.5, 4.0});
  if (fit.ownUnknownRow) rows.push_back({0.0, 1.0, 1.0, 3.0, 1.0});
  if (fit.dropRow > 0) rows.erase(rows.begin() + (fit.dropRow - 1));
  const int n = static_cast<int>(rows.size());
  const int m = fit.ownUnknownRow ? 3 : 2;
  Matrix A(n, m), k(n, 1), P(n, n);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= m; ++j) A(i, j) = rows[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)];
    k(i, 1) = rows[static_cast<std::size_t>(i - 1)][3];
    P(i, i) = rows[static_cast<std::size_t>(i - 1)][4];
  }
  return ImportedObservationSystem(A, k, P, n, m);
}

QualityAnalysis Analyse(const ObservationSystem& system) {
  Result<LeastSquaresResults> solved = SolveLeastSquares(system);
  EXPECT_TRUE(solved.ok());
  return AnalyseQuality(system, nullptr, DenseSolutionAccess(system, solved.value()));
}

TEST(QualityTests, SigmaZeroWithoutARowIsThatOfTheReAdjustment) {
  const QualityAnalysis all = Analyse(MakeLineFit({}));
  for (int row : {1, 7, 20}) {
    const QualityAnalysis reduced = Analyse(MakeLineFit({.dropRow = row}));
    ASSERT_TRUE(all.rows[static_cast<std::size_t>(row - 1)].sigma0Without.has_value());
    EXPECT_NEAR(*all.rows[static_cast<std::size_t>(row - 1)].sigma0Without, reduced.sigma0, 1e-12) << row;
  }
  EXPECT_TRUE(all.points.empty() && all.relative.empty() && all.rows[0].kind == RowKind::Imported);
  EXPECT_NEAR(all.vtpv, all.globalTest.statistic, 0.0);
  // Pope's √f·t/√(f − 1 + t²) with t = 3.53177 (17 degrees, αi = 1 − 0.95^(1/20), by mpmath).
  ASSERT_TRUE(all.criticalTau.has_value());
  EXPECT_NEAR(*all.criticalTau, 2.76003, 1e-5);
}

// A blunder of 12 in row 7 is the only row flagged; then a row no unknown reaches (r = 1) and
// one alone on a third unknown (r = 0, no test).
TEST(QualityTests, PlantedBlunderAndRowsWithoutControl) {
  const QualityAnalysis q = Analyse(MakeLineFit({.blunderRow = 7, .blunder = 12.0}));
  for (const RowTest& row : q.rows) EXPECT_EQ(row.flag, row.row == 7) << row.row;
  EXPECT_EQ(SuspectOrder(q), std::vector<int>{6});
  EXPECT_FALSE(q.globalTest.passed);
  EXPECT_NE(QualitySummaryUtf8(q).find("prueba global: rechazada · 1 observación sospechosa"), std::string::npos);
  const QualityAnalysis uncontrolled = Analyse(MakeLineFit({.emptyRow = true, .ownUnknownRow = true}));
  const RowTest& empty = uncontrolled.rows[20];
  EXPECT_NEAR(empty.redundancy, 1.0, 1e-12);
  ASSERT_TRUE(empty.w.has_value());
  EXPECT_NEAR(*empty.w, -0.5 * 2.0, 1e-12);  // v = −k, σ = 1/2
  const RowTest& own = uncontrolled.rows[21];
  EXPECT_NEAR(own.redundancy, 0.0, 1e-9);
  EXPECT_FALSE(own.w || own.tau || own.sigma0Without || own.flag);
}

TEST(QualityTests, BaselineStatisticAndSigmaZeroWithoutTheWholeBaseline) {
  // Three unknowns observed one by one (six rows) and by two correlated 3-row "baselines".
  auto make = [](bool withSecond) {
    const int n = withSecond ? 12 : 9;
    Matrix A(n, 3), k(n, 1), P(n, n);
    const double obs[12] = {1.02, 2.01, 2.97, 0.99, 1.98, 3.03, 1.01, 2.04, 3.00, 0.95, 2.07, 2.96};
    const double block[3][3] = {{2.0, 0.5, 0.2}, {0.5, 1.5, 0.3}, {0.2, 0.3, 1.0}};
    for (int i = 1; i <= n; ++i) {
      A(i, (i - 1) % 3 + 1) = 1.0;
      k(i, 1) = obs[i - 1];
      if (i <= 6) P(i, i) = 1.0 / 0.0004;
    }
    for (int first = 7; first <= n; first += 3)
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) P(first + r, first + c) = block[r][c] * 1000.0;
    ObservationSystem system = ImportedObservationSystem(A, k, P, n, 3);
    system.classicalCount = 6;
    system.gpsCount = (n - 6) / 3;
    for (int i = 7; i <= n; ++i) system.rows[static_cast<std::size_t>(i)].kind = RowKind(int(RowKind::GpsX) + (i - 7) % 3);
    return system;
  };
  const QualityAnalysis all = Analyse(make(true));
  const QualityAnalysis reduced = Analyse(make(false));
  ASSERT_EQ(all.baselines.size(), 2u);
  ASSERT_TRUE(all.baselines[1].sigma0Without.has_value());
  EXPECT_NEAR(*all.baselines[1].sigma0Without, reduced.sigma0, 1e-12);
  // Ω − T is the re-adjustment's vᵀPv.
  EXPECT_NEAR(all.vtpv - *all.baselines[1].statistic, reduced.vtpv, 1e-9);
  for (int i = 7; i <= 12; ++i) {
    EXPECT_FALSE(all.rows[static_cast<std::size_t>(i - 1)].sigma0Without.has_value());
    EXPECT_TRUE(all.rows[static_cast<std::size_t>(i - 1)].w.has_value());
  }
  const nlohmann::json json = nlohmann::json::parse(BuildQualityJson(all, RobustResults{}));
  EXPECT_EQ(json["observations"][0]["kind"], "Fila");
  EXPECT_TRUE(json["observations"][0]["from"].is_null());
  EXPECT_EQ(json["observations"][7]["component"], "Y");
}

// The keys of the objects the products name, one line per object: "/pointer: key key ...", sorted.
std::string KeyList(const nlohmann::json& json) {
  std::string list;
  for (const char* pointer : {"", "/global_test", "/critical_values", "/observations/0", "/baselines/0", "/points/0",
                              "/points/0/ellipse", "/relative/0", "/robust", "/robust/lp"}) {
    std::set<std::string> keys;
    for (const auto& [key, value] : json.at(nlohmann::json::json_pointer(pointer)).items()) keys.insert(key);
    list += std::string(pointer) + ":";
    for (const std::string& key : keys) list += " " + key;
    list += "\n";
  }
  return list;
}

TEST(QualityProducts, SampleNetworkJsonHasEveryKeyAndCsvItsPoints) {
  Result<LoadedNetwork> loaded = LoadNetwork(std::string(KORVO_SOURCE_DIR) + "/examples/red_ejemplo.txt", ProgressSink{});
  ASSERT_TRUE(loaded.ok());
  ProjectState state;
  Result<AdjustmentOutput> out = RunAdjustment(loaded->model, CalcOptions{}, state, ProgressSink{});
  ASSERT_TRUE(out.ok());
  const nlohmann::json json = nlohmann::json::parse(BuildQualityJson(out->quality, out->robust));
  EXPECT_EQ(KeyList(json), testing::Golden("quality_json_keys.txt"));
  EXPECT_EQ(json["observations"].size(), 88u);
  EXPECT_EQ(json["observations"][0]["kind"], "Dirección");
  EXPECT_EQ(json["sigma0"].get<double>(), out->leastSquares.sigmaZero);  // full precision

  // Vertex 1 is fixed: its line from CartConvert and TransverseMercatorProj (test above).
  EXPECT_NE(BuildPointsCsv(out->quality).find("\r\n1,1,40.9780000001,-4.1150000008,1002.4126,30,406194.7785,"
                                              "4536913.4484,0.0000,0.0000,0.0000,0.0000,0.0000,0.0000\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace korvo
