#include "report/system_printout.h"

#include <gtest/gtest.h>

#include "common/win1252.h"
#include "report/report_test_network.h"

namespace korvo {
namespace {

using korvo::testing::SmallNetwork;
using korvo::testing::SmallSystem;

std::string Blanks(std::size_t count) { return std::string(count, ' '); }
// A printed coefficient: left-aligned in 12 characters.
std::string Left(const std::string& text) { return text + Blanks(12 - text.size()); }

TEST(SystemPrintoutTest, HeaderLinePartsAreFourteenCharactersWide) {
  const NetworkModel network = SmallNetwork();
  const ObservationSystem system = SmallSystem();
  TextBuilder out;  // one refraction coefficient per line
  AppendSystemHeaderLine(out, system.layout);
  // Blank counts measured on the number with its leading blank: "2" counts 2, "35" counts 3.
  const std::string expected = "    dX2" + Blanks(4) + "   " + "    dY2" + Blanks(4) + "   " +
                               "    dZ2" + Blanks(4) + "   " + "    dX35" + Blanks(3) + "   " +
                               "    dY35" + Blanks(3) + "   " + "    dZ35" + Blanks(3) + "   " +
                               "  k1-2" + Blanks(4) + "    " +             // 9 - 2 - 1 - 2
                               "  D.V.EW35" + Blanks(1) + "   " + "  D.V.NS35" + Blanks(1) + "   " +
                               "    dDes1" + Blanks(2) + "   " + "        Term.Ind.\r\n";
  EXPECT_EQ(out.str(), expected);
  // Every unknown's part is 14 characters: ten parts before "Term.Ind.".
  EXPECT_EQ(expected.find("        Term.Ind."), 14u * testing::kSmallM);
}

TEST(SystemPrintoutTest, RefractionHeaderPartsFollowTheOptions) {
  const NetworkModel network = SmallNetwork();
  ObservationSystem system = SmallSystem();
  system.layout = testing::LayoutOf(network, system.orientationStatus, testing::Refraction::Network);
  TextBuilder single;
  AppendSystemHeaderLine(single, system.layout);
  EXPECT_NE(single.str().find("   " "      k     " "   " "  D.V.EW35"), std::string::npos);
  EXPECT_EQ(single.str().find("k1-2"), std::string::npos);

  system.layout = testing::LayoutOf(network, system.orientationStatus, testing::Refraction::Fixed);
  TextBuilder fixed;
  AppendSystemHeaderLine(fixed, system.layout);
  EXPECT_EQ(fixed.str().find('k'), std::string::npos);
}

TEST(SystemPrintoutTest, FourDigitNumberWidensDeflectionAndOrientationParts) {
  NetworkModel network = SmallNetwork();
  network.vertices[0].number = 1000;
  network.vertices[2].number = 1234;
  ObservationSystem system = SmallSystem();
  system.layout = testing::LayoutOf(network, system.orientationStatus, testing::Refraction::PerLine, {{1000, 2}});
  TextBuilder out;
  AppendSystemHeaderLine(out, system.layout);
  EXPECT_NE(out.str().find("    dX1234" + Blanks(1) + "   " + "    dY1234"), std::string::npos);
  // 9 - 5 - 1 - 2 = 1 blank: six digits in all still fit.
  EXPECT_NE(out.str().find("  k1000-2" + Blanks(1) + "    " + "  D.V.EW1234"), std::string::npos);
  // 4 - 5 < 0: no blanks, so these parts are 15 characters wide.
  EXPECT_NE(out.str().find("  D.V.EW1234" "   " "  D.V.NS1234" "   " "    dDes1000" "   "),
            std::string::npos);
}

TEST(SystemPrintoutTest, NegativeNumberCountsItsSignInPlaceOfTheBlank) {
  // The blank counts use the number as written with its leading blank, where a negative
  // number has its sign instead: "-5" counts 2 like "35" counts 3, one more than the digits.
  NetworkModel network = SmallNetwork();
  network.vertices[1].number = -5;   // unknown vertex
  network.vertices[2].number = -35;  // unknown vertex with unknown deflection
  ObservationSystem system = SmallSystem();
  system.layout = testing::LayoutOf(network, system.orientationStatus, testing::Refraction::PerLine, {{1, -5}});
  TextBuilder out;
  AppendSystemHeaderLine(out, system.layout);
  const std::string expected = "    dX-5" + Blanks(4) + "   " + "    dY-5" + Blanks(4) + "   " +
                               "    dZ-5" + Blanks(4) + "   " + "    dX-35" + Blanks(3) + "   " +
                               "    dY-35" + Blanks(3) + "   " + "    dZ-35" + Blanks(3) + "   " +
                               "  k1--5" + Blanks(9 - 2 - 1 - 2) + "    " +
                               "  D.V.EW-35" + Blanks(4 - 3) + "   " + "  D.V.NS-35" + Blanks(4 - 3) +
                               "   " + "    dDes1" + Blanks(4 - 2) + "   " + "        Term.Ind.\r\n";
  EXPECT_EQ(out.str(), expected);
}

TEST(SystemPrintoutTest, EquationRowsAndWeightMatrix) {
  ObservationSystem system;
  system.numEquations = 2;
  system.numUnknowns = 2;
  system.A = Matrix(2, 2);
  system.k = Matrix(2, 1);
  system.P = Matrix(2, 2);
  system.A(1, 1) = 1234567.123456789;  // cut to 12 characters, not rounded further
  system.A(1, 2) = -0.5;
  system.A(2, 2) = 1e-12;              // rounds to zero: " 0", unlike an exact zero
  system.k(1, 1) = 12.3456789012;     // " 12.345678901" cut to 12 characters
  system.k(2, 1) = -0.25;
  system.P(1, 1) = 4.0;
  system.P(2, 2) = 0.0000001;
  system.P(1, 2) = system.P(2, 1) = -0.0000000006;  // exponent form below 1E-04

  TextBuilder rows;
  AppendSystemRows(rows, system);
  EXPECT_EQ(rows.str(), Left(" 1234567.123") + "  " + Left("-.5") + "  " + Blanks(8) +
                            Left(" 12.34567890") + "\r\n" +
                            Left("0") + "  " + Left(" 0") + "  " + Blanks(8) + Left("-.25") + "\r\n");

  TextBuilder weights;
  AppendWeightText(weights, system);
  EXPECT_EQ(weights.str(), "\r\n\r\nMATRIZ DE PESOS\r\n\r\n" + Left(" 4") + "  " + Left("-1E-09") +
                               "  \r\n" + Left("-1E-09") + "  " + Left(" 1E-07") + "  \r\n");
}

TEST(SystemPrintoutTest, TitleFollowsTheProjectText) {
  TextBuilder out;
  AppendSystemTitle(out, "PROYECTO\r\n");
  EXPECT_EQ(out.str(), "PROYECTO\r\n\r\n\r\n\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN") +
                           "\r\n\r\n");
}

}  // namespace
}  // namespace korvo
