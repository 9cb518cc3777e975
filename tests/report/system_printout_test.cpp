#include "report/system_printout.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/report_network.h"

namespace korvo {
namespace {

using korvo::testing::SmallNetwork;
using korvo::testing::SmallSystem;

// The header line of the small network and of the same network with negative vertex numbers
// (the sign takes the place of the leading blank in the blank counts), then equation rows and
// a weight matrix: cut to 12 characters, not rounded further; " 0" for a value rounding to
// zero unlike an exact "0"; the exponent form below 1E-04.
TEST(SystemPrintoutTest, HeaderRowsAndWeightsMatchTheHandWrittenLayout) {
  TextBuilder out;
  AppendSystemHeaderLine(out, SmallSystem().layout);
  NetworkModel negative = SmallNetwork();
  negative.vertices[1].number = -5;   // unknown vertex
  negative.vertices[2].number = -35;  // unknown vertex with unknown deflection
  AppendSystemHeaderLine(out, testing::LayoutOf(negative, SmallSystem().orientationStatus, testing::Refraction::PerLine,
                                                {{1, -5}}));
  ObservationSystem system;
  system.numEquations = system.numUnknowns = 2;
  system.A = Matrix(2, 2);
  system.k = Matrix(2, 1);
  system.P = Matrix(2, 2);
  system.A(1, 1) = 1234567.123456789;
  system.A(1, 2) = -0.5;
  system.A(2, 2) = 1e-12;
  system.k(1, 1) = 12.3456789012;
  system.k(2, 1) = -0.25;
  system.P(1, 1) = 4.0;
  system.P(2, 2) = 0.0000001;
  system.P(1, 2) = system.P(2, 1) = -0.0000000006;
  AppendSystemRows(out, system);
  AppendWeightText(out, system);
  EXPECT_EQ(out.str(), korvo::testing::Golden("system_printout.txt"));
}

TEST(SystemPrintoutTest, RefractionOptionsAndFourDigitNumbers) {
  const NetworkModel network = SmallNetwork();
  const ObservationSystem system = SmallSystem();
  TextBuilder single, fixed;
  AppendSystemHeaderLine(single, testing::LayoutOf(network, system.orientationStatus, testing::Refraction::Network));
  EXPECT_NE(single.str().find("   " "      k     " "   " "  D.V.EW35"), std::string::npos);
  EXPECT_EQ(single.str().find("k1-2"), std::string::npos);
  AppendSystemHeaderLine(fixed, testing::LayoutOf(network, system.orientationStatus, testing::Refraction::Fixed));
  EXPECT_EQ(fixed.str().find('k'), std::string::npos);

  NetworkModel wide = SmallNetwork();
  wide.vertices[0].number = 1000;
  wide.vertices[2].number = 1234;
  TextBuilder out;
  AppendSystemHeaderLine(out, testing::LayoutOf(wide, system.orientationStatus, testing::Refraction::PerLine, {{1000, 2}}));
  // 9 - 5 - 1 - 2 = 1 blank after the refraction name; 4 - 5 < 0: none after the others, so
  // those parts are 15 characters wide.
  EXPECT_NE(out.str().find("  k1000-2" + std::string(1, ' ') + "    " + "  D.V.EW1234"), std::string::npos);
  EXPECT_NE(out.str().find("  D.V.EW1234" "   " "  D.V.NS1234" "   " "    dDes1000" "   "), std::string::npos);
}

}  // namespace
}  // namespace korvo
