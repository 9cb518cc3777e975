#include "engine/format_rounded.h"

#include <gtest/gtest.h>


namespace korvo {
namespace {

TEST(FormatRoundedTest, KnownTexts) {
  // Ties are built from values exact in binary (2.5, 0.375, 1.25) so that they are real ties.
  struct Case { double value; int decimals; const char* expected; const char* why; } cases[] = {
      {0.0, 9, "0", "an exact zero has no blank"},
      {-0.0, 4, "0", "negative zero is an exact zero"},
      {-2.5, 0, "-3", "half goes away from zero, negative"},
      {3.5, 0, " 4", "half away from zero, not to even"},
      {0.375, 2, " .38", "binary-exact tie at two decimals"},
      {0.1234567896, 9, " .12345679", "rounding up carries and the trailing zero goes"},
      {1e-12, 9, " 0", "rounds to zero: blank kept, unlike an exact zero"},
      {-0.25, 1, "-.3", "no zero before the point"},
      {1234567.123456789, 9, " 1234567.12345679", "15 significant digits"},
      {0.00015, 5, " .00015", "fixed form down to 1E-04"},
      {0.000015, 6, " 1.5E-05", "exponent form below 1E-04"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatRounded(c.value, c.decimals), c.expected) << c.why << " (" << c.value << ", " << c.decimals << ")";
  }
}

}  // namespace
}  // namespace korvo
