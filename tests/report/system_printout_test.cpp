#include "report/system_printout.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/report_network.h"

namespace korvo {
namespace {

using korvo::testing::LayoutOf;
using korvo::testing::Refraction;

// Header lines for every refraction option and vertex width, equation rows and weights, hand-written.
TEST(SystemPrintoutTest, HeaderRowsAndWeightsMatchTheHandWrittenLayout) {
  const NetworkModel network = testing::SmallNetwork();
  const std::vector<OrientationStatus>& orientation = testing::SmallSystem().orientationStatus;
  NetworkModel negative = network;
  negative.vertices[1].number = -5;   // unknown vertex
  negative.vertices[2].number = -35;  // unknown vertex with unknown deflection
  NetworkModel wide = network;
  wide.vertices[0].number = 1000;
  wide.vertices[2].number = 1234;
  TextBuilder out;
  AppendSystemHeaderLine(out, testing::SmallSystem().layout);
  AppendSystemHeaderLine(out, LayoutOf(negative, orientation, Refraction::PerLine, {{1, -5}}));
  AppendSystemHeaderLine(out, LayoutOf(network, orientation, Refraction::Network));
  AppendSystemHeaderLine(out, LayoutOf(network, orientation, Refraction::Fixed));
  AppendSystemHeaderLine(out, LayoutOf(wide, orientation, Refraction::PerLine, {{1000, 2}}));
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
  EXPECT_EQ(out.str(), testing::Golden("system_printout.txt"));
}

}  // namespace
}  // namespace korvo
