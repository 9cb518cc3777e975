// korvo-cli cargar: a vertex row of the sample project against an independent conversion,
// and the failures.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/files.h"

namespace korvo {
namespace {

using korvo::testing::CliRun;
using korvo::testing::RunKorvoCli;

TEST(CargarCommand, PrintedLatitudeAndLongitudeAgreeWithCartConvert) {
  const CliRun run = RunKorvoCli("cargar \"" + korvo::testing::Example("red_ejemplo.txt").string() + "\"");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // CartConvert -r of the file's coordinates of fixed vertex 11: 40.987096639871893,
  // -4.148197563542456.
  std::istringstream lines(run.out);
  std::string line;
  bool found = false;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    int number = 0;
    std::string kind;
    double lat = 0, lon = 0;
    if (!(fields >> number >> kind >> lat >> lon) || number != 11) continue;
    found = true;
    EXPECT_EQ(kind, "Fijo");
    EXPECT_NEAR(lat, 40.987096639871893, 2e-9);  // printed with 9 decimals
    EXPECT_NEAR(lon, -4.148197563542456, 1e-6);  // single precision
  }
  EXPECT_TRUE(found) << run.out;
}

TEST(CargarCommand, Failures) {
  const CliRun missing = RunKorvoCli("cargar /no/existe/red.txt");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, " ¡Se ha producido un error en la lectura de datos! \n");
  const CliRun usage = RunKorvoCli("cargar");
  EXPECT_EQ(usage.exitCode, 2);
  EXPECT_NE(usage.err.find("cargar PROYECTO"), std::string::npos);
}

}  // namespace
}  // namespace korvo
