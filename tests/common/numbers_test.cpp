// The number reader, half-to-even conversion and the general numeric text, by hand and sampled.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>

#include "common/numbers.h"

namespace korvo {
namespace {

TEST(ReadNumber, HandWorkedTexts) {
  const std::pair<const char*, double> cases[] = {
      {"abc", 0.0}, {".", 0.0}, {"  \t\n 12.5xyz", 12.5}, {"-.5", -0.5}, {"1.5E-05", 1.5e-05}, {"2d-2", 0.02},
      {"1E-400", 0.0}, {"1E0000000000000000002", 100.0}, {"3E", 3.0}, {"1.2.3", 1.2}, {"0,05", 0.0},
      {" 4 5", 4.0}, {"\r12", 0.0},  // a carriage return is not skipped
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ReadNumber(text), expected) << '"' << text << '"';
  EXPECT_TRUE(std::isinf(ReadNumber("1E400")));
  EXPECT_LT(ReadNumber("-1E400"), 0.0);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbourAndToInt16KeepsItsRange) {
  const std::pair<double, double> cases[] = {{0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {-1.5, -2.0}, {2.5000001, 3.0}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;
  EXPECT_EQ(ToInt16(32767.4), std::optional<std::int16_t>(32767));
  EXPECT_EQ(ToInt16(32767.5), std::nullopt);                          // rounds to 32768
  EXPECT_EQ(ToInt16(-32768.5), std::optional<std::int16_t>(-32768));  // half to even: -32768
  EXPECT_EQ(ToInt16(-32769.0), std::nullopt);
  EXPECT_EQ(ToInt16(std::nan("")), std::nullopt);
  EXPECT_EQ(ToInt32(3e9), std::nullopt);
}

// Hand-written texts, ties at the 16th digit; the short form drops the blank of a positive number.
TEST(NumberText, GeneralFormAndFifteenDigitTies) {
  const std::pair<double, const char*> cases[] = {
      {0.0, " 0"}, {-0.25, "-.25"}, {0.0001, " .0001"}, {1.5e-05, " 1.5E-05"}, {-1.2e-06, "-1.2E-06"},
      {123456789012345.0, " 123456789012345"}, {1234567890123456.0, " 1.23456789012346E+15"}, {0.1 + 0.2, " .3"},
      {2.0 / 3.0, " .666666666666667"}, {1000000000000005.0, " 1E+15"}, {1000000000000015.0, " 1.00000000000002E+15"},
      {-1000000000000035.0, "-1.00000000000004E+15"}, {999999999999999.5, " 1E+15"},  // the carry moves the exponent
  };
  for (const auto& [value, withBlank] : cases) {
    EXPECT_EQ(NumberText(value, true), withBlank) << value;
    EXPECT_EQ(NumberText(value, false), withBlank[0] == ' ' ? withBlank + 1 : withBlank) << value;
  }
}

std::string ScaledText(double wholeUnits, int decimals) {
  char buffer[kNumberTextBufferSize];
  return std::string(buffer, ScaledIntegerText(buffer, wholeUnits, decimals));
}

TEST(ScaledIntegerText, HandWorkedTexts) {
  const struct {
    double wholeUnits;
    int decimals;
    const char* expected;
  } cases[] = {
      {0.0, 3, " 0"}, {-12345.0, 2, "-123.45"}, {1.0, 4, " .0001"} /* last fixed form */,
      {1.0, 5, " 1E-05"} /* first exponent form */, {15.0, 6, " 1.5E-05"}, {5.0, 22, " 5E-22"},
      {999999999999999.0, 0, " 999999999999999"}, {999999999999999.0, 22, " 9.99999999999999E-08"},
      {1234567123456789.0, 9, " 1234567.12345679"},  // 16 digits: general text of the quotient
      {2.5, 0, " 2.5"},                               // not a whole number
      {12345.0, -2, " 1234500"},                      // negative decimals
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaledText(c.wholeUnits, c.decimals), c.expected) << c.wholeUnits << " / 10^" << c.decimals;
  }
}

// Sampled with a deterministic generator (the standard's 64-bit Mersenne twister): the general text shows the
// C library's fifteen digits, and the scaled text is the general text of the quotient.
TEST(NumberText, SampledAgainstTheCLibraryAndTheScaledText) {
  std::mt19937_64 engine;
  const auto below = [&engine](std::uint64_t bound) { return static_cast<int>(engine() % bound); };
  // The C library's %.14e of the value and of the text read back agree.
  for (int i = 0; i < 200000; ++i) {
    const double mantissa = static_cast<double>(engine() >> 11) / 9007199254740992.0;  // [0, 1)
    const double value = (below(2) ? -1.0 : 1.0) * mantissa * std::pow(10.0, below(60) - 30);
    char expected[40], shown[40];
    std::snprintf(expected, sizeof expected, "%.14e", value);
    std::snprintf(shown, sizeof shown, "%.14e", std::strtod(NumberText(value, true).c_str(), nullptr));
    ASSERT_STREQ(shown, expected) << NumberText(value, true);
  }
  // Integers of 1 to 15 digits, some ending in runs of zeros, both signs, 0 to 22 decimals.
  for (int i = 0; i < 300000; ++i) {
    const int digitCount = 1 + below(15);
    std::uint64_t units = 0;
    for (int d = 0; d < digitCount; ++d) units = units * 10 + static_cast<std::uint64_t>(below(10));
    for (int z = below(4) == 0 ? below(static_cast<std::uint64_t>(digitCount)) : 0; z > 0; --z) {
      units = units / 10 * 10;
    }
    const double wholeUnits = (below(2) ? -1.0 : 1.0) * static_cast<double>(units);
    const int decimals = below(23);
    ASSERT_EQ(ScaledText(wholeUnits, decimals), NumberText(wholeUnits / std::pow(10.0, decimals), true))
        << wholeUnits << " / 10^" << decimals;
  }
}

}  // namespace
}  // namespace korvo
