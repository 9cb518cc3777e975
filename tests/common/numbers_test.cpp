// Hand-worked cases of the number reader, the half-to-even integer conversion and the
// general numeric text.
#include <gtest/gtest.h>

#include <cmath>

#include "common/numbers.h"

namespace korvo {
namespace {

TEST(ReadNumber, HandWorkedTexts) {
  struct Case {
    const char* text;
    double expected;
  } cases[] = {
      {"", 0.0},
      {"abc", 0.0},
      {"   ", 0.0},
      {".", 0.0},
      {"-", 0.0},
      {"12", 12.0},
      {"  \t\n 12.5xyz", 12.5},
      {"-3.25", -3.25},
      {"+7", 7.0},
      {".25", 0.25},
      {"-.5", -0.5},
      {"5.", 5.0},
      {"1.5E-05", 1.5e-05},
      {"1.5e3", 1500.0},
      {"2D2", 200.0},
      {"2d-2", 0.02},
      {"3E", 3.0},        // exponent letter without digits stops the reading
      {"3E+", 3.0},
      {"1.2.3", 1.2},     // only one decimal point
      {"0,05", 0.0},      // the comma is not a decimal separator
      {"12,5", 12.0},
      {" 4 5", 4.0},      // reading stops at the inner blank
      {"\r12", 0.0},      // carriage return is not skipped
      {"4500000.123", 4500000.123},
      {"1E-400", 0.0},
      {"0001.5000", 1.5},
      {"1E0000000000000000002", 100.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadNumber(c.text), c.expected) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::isinf(ReadNumber("1E400")));
  EXPECT_TRUE(std::isinf(ReadNumber("-1E999999999999")));
  EXPECT_LT(ReadNumber("-1E400"), 0.0);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double value;
    double expected;
  } cases[] = {{0.5, 0.0}, {1.5, 2.0}, {2.5, 2.0}, {3.5, 4.0}, {-0.5, 0.0}, {-1.5, -2.0}, {-2.5, -2.0},
               {7.5, 8.0}, {6.5, 6.0}, {2.4999999, 2.0}, {2.5000001, 3.0}, {-2.6, -3.0}, {0.0, 0.0}};
  for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.expected) << c.value;
}

TEST(ToInt16, RangeOfASigned16BitInteger) {
  EXPECT_EQ(ToInt16(32767.4), std::optional<std::int16_t>(32767));
  EXPECT_EQ(ToInt16(32767.5), std::nullopt);  // rounds to 32768
  EXPECT_EQ(ToInt16(-32768.5), std::optional<std::int16_t>(-32768));  // half to even: -32768
  EXPECT_EQ(ToInt16(-32769.0), std::nullopt);
  EXPECT_EQ(ToInt16(std::nan("")), std::nullopt);
  EXPECT_EQ(ToInt16(12.5), std::optional<std::int16_t>(12));
  EXPECT_EQ(ToInt32(3e9), std::nullopt);
}

TEST(NumberText, GeneralFormWithAndWithoutBlank) {
  struct Case {
    double value;
    const char* withBlank;
    const char* shortForm;
  } cases[] = {
      {0.0, " 0", "0"},
      {0.25, " .25", ".25"},
      {-0.25, "-.25", "-.25"},
      {1.0, " 1", "1"},
      {-12.5, "-12.5", "-12.5"},
      {0.08, " .08", ".08"},
      {0.005, " .005", ".005"},
      {0.0001, " .0001", ".0001"},
      {1.5e-05, " 1.5E-05", "1.5E-05"},
      {1.2e-06, " 1.2E-06", "1.2E-06"},
      {-1.2e-06, "-1.2E-06", "-1.2E-06"},
      {1e-100, " 1E-100", "1E-100"},
      {123456789012345.0, " 123456789012345", "123456789012345"},
      {1e15, " 1E+15", "1E+15"},
      {1234567890123456.0, " 1.23456789012346E+15", "1.23456789012346E+15"},
      {4824561.2345, " 4824561.2345", "4824561.2345"},
      {0.1 + 0.2, " .3", ".3"},  // 15 significant digits hide the binary residue
      {2.0 / 3.0, " .666666666666667", ".666666666666667"},
      {100.0, " 100", "100"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NumberText(c.value, true), c.withBlank) << c.value;
    EXPECT_EQ(NumberText(c.value, false), c.shortForm) << c.value;
  }
}

}  // namespace
}  // namespace korvo
