#include "engine/format_rounded.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "common/numbers.h"

namespace korvo {
namespace {

// The rounding; the text of the rounded value (fixed and exponent forms, significant digits) is
// the scaled integer text's, written out by hand in its own test.
TEST(FormatRoundedTest, KnownTexts) {
  // Ties are built from values exact in binary (2.5, 0.375, 1.25) so that they are real ties.
  struct Case { double value; int decimals; const char* expected; const char* why; } cases[] = {
      {0.0, 9, "0", "an exact zero has no blank"},
      {-0.0, 4, "0", "negative zero is an exact zero"},
      {-2.5, 0, "-3", "half goes away from zero, negative"},
      {3.5, 0, " 4", "half away from zero, not to even"},
      {0.375, 2, " .38", "binary-exact tie at two decimals"},
      {1.25, 1, " 1.3", "binary-exact tie at one decimal"},
      {0.1234567896, 9, " .12345679", "rounding up carries and the trailing zero goes"},
      {1e-12, 9, " 0", "rounds to zero: blank kept, unlike an exact zero"},
      {-1e-12, 9, " 0", "a negative value rounding to zero prints as zero"},
      {-0.25, 1, "-.3", "no zero before the point"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatRounded(c.value, c.decimals), c.expected) << c.why << " (" << c.value << ", " << c.decimals << ")";
  }
}

// The fast path against the rounding written plainly (std::pow, half away from zero by two
// truncations, the general numeric text of the quotient).
TEST(FormatRoundedTest, AgreesWithThePlainDefinition) {
  auto plain = [](double value, int decimals) {
    if (value == 0.0) return std::string("0");
    const double scale = std::pow(10.0, decimals), t = scale * value;
    double r = std::trunc(t);
    if (t > 0 && std::trunc(t + 0.5) != r) r += 1.0;
    if (t < 0 && std::trunc(t - 0.5) != r) r -= 1.0;
    return NumberText(r / scale == 0.0 ? 0.0 : r / scale, true);
  };
  // Random values of 1e-18..1e17, both signs, 0 to 12 decimals; then ties and boundaries.
  std::uint64_t state = 88172645463325252ull;
  auto next = [&]() { return state ^= state << 13, state ^= state >> 7, state ^= state << 17; };
  for (int i = 0; i < 400000; ++i) {
    const double mantissa = static_cast<double>(next() >> 11) / 9007199254740992.0;  // [0, 1)
    const int magnitude = static_cast<int>(next() % 36) - 18;
    const double value = (next() % 2 ? -1.0 : 1.0) * mantissa * std::pow(10.0, magnitude);
    const int decimals = static_cast<int>(next() % 13);
    ASSERT_EQ(FormatRounded(value, decimals), plain(value, decimals)) << value << " " << decimals;
  }
  for (double special : {0.5, 0.05, 0.0001, 0.00015, 0.0000999, 999999999999999.0, 1e15, 0.001234567890123,
                         4000000.01, -300000.52, 5e-10, 2.5e-10, 99999.99995}) {
    for (int decimals = 0; decimals <= 12; ++decimals) {
      EXPECT_EQ(FormatRounded(special, decimals), plain(special, decimals)) << special;
      EXPECT_EQ(FormatRounded(-special, decimals), plain(-special, decimals)) << special;
    }
  }
}

}  // namespace
}  // namespace korvo
