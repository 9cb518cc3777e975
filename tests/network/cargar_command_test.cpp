// korvo-cli cargar on the sample project and on a missing file.
#include "support/files.h"
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace korvo {
namespace {

using korvo::testing::CliRun;

CliRun RunCli(const std::string& arguments) { return korvo::testing::RunKorvoCli(arguments); }

// The latitude and longitude printed on the row of a vertex.
bool VertexRow(const std::string& out, int number, std::string& kind, double& latDeg, double& lonDeg) {
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    int n = 0;
    std::string k;
    double lat = 0, lon = 0;
    if (fields >> n >> k >> lat >> lon && n == number) {
      kind = k;
      latDeg = lat;
      lonDeg = lon;
      return true;
    }
  }
  return false;
}

TEST(CargarCommand, SummaryOfTheSampleProject) {
  const CliRun run = RunCli(std::string("cargar \"") + KORVO_SOURCE_DIR + "/examples/red_ejemplo.txt\"");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("Vértices: 11 (3 fijos, 8 incógnita; 1 con desviación de la vertical incógnita)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Observaciones clásicas: 67 (38 direcciones, 14 ángulos cenitales, "
                         "15 distancias geométricas)"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Líneas base GPS: 7"), std::string::npos) << run.out;

  // Fixed vertices 1 and 11: CartConvert -r of their coordinates in the file gives
  // 40.978000000148000, -4.115000000829318 and 40.987096639871893, -4.148197563542456.
  struct Expected {
    int number;
    const char* kind;
    double latDeg, lonDeg;
  } expected[] = {{1, "Fijo", 40.978000000148000, -4.115000000829318},
                  {11, "Fijo", 40.987096639871893, -4.148197563542456}};
  for (const Expected& e : expected) {
    std::string kind;
    double lat = 0, lon = 0;
    ASSERT_TRUE(VertexRow(run.out, e.number, kind, lat, lon)) << e.number << "\n" << run.out;
    EXPECT_EQ(kind, e.kind);
    EXPECT_NEAR(lat, e.latDeg, 2e-9);   // printed with 9 decimals
    EXPECT_NEAR(lon, e.lonDeg, 1e-6);   // single precision
  }
  std::string kind;
  double lat = 0, lon = 0;
  ASSERT_TRUE(VertexRow(run.out, 9, kind, lat, lon));
  EXPECT_EQ(kind, "Incógnita");
}

TEST(CargarCommand, MissingFileFailsWithTheReadMessage) {
  const CliRun run = RunCli("cargar /no/existe/red.txt");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, " ¡Se ha producido un error en la lectura de datos! \n");
}

TEST(CargarCommand, WrongArgumentsShowTheUsage) {
  const CliRun run = RunCli("cargar");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("cargar PROYECTO"), std::string::npos);
}

}  // namespace
}  // namespace korvo
