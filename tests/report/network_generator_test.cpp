// The synthetic networks of the benchmarks must be what they claim to be.
#include "bench/network_generator.h"

#include <gtest/gtest.h>

namespace korvo {
namespace {

TEST(NetworkGeneratorTest, SizesFollowTheGrid) {
  for (int g : {3, 6}) {
    const generated::GeneratedNetwork network = generated::GenerateGridNetwork({g, 400.0, 1});
    EXPECT_EQ(network.model.VertexCount(), g * g);
    EXPECT_EQ(network.model.FixedVertexCount(), 3);
    EXPECT_EQ(network.model.ClassicalCount(), 12 * g * (g - 1));
    EXPECT_EQ(network.model.DirectionCount(), 4 * g * (g - 1));
    EXPECT_EQ(network.model.GpsCount(), (g - 1) * (g - 1));
    EXPECT_EQ(network.model.ClassicalCount() + 3 * network.model.GpsCount(),
              generated::ObservationRowCount(g));
  }
  EXPECT_EQ(generated::ObservationRowCount(11), 1620);
}

TEST(NetworkGeneratorTest, ObservationsAgreeWithTheCoordinates) {
  const generated::GeneratedNetwork network = generated::GenerateGridNetwork({3, 400.0, 7});
  const NetworkModel& model = network.model;
  auto vertex = [&](double number) -> const NetworkVertex& {
    for (const NetworkVertex& v : model.vertices) {
      if (v.number == number) return v;
    }
    throw std::runtime_error("missing vertex");
  };
  for (const ClassicalObservation& o : model.classical) {
    if (o.type != ObservationType::Distance) continue;
    const NetworkVertex& a = vertex(o.from);
    const NetworkVertex& b = vertex(o.to);
    const double d = std::hypot(b.xM - a.xM, b.yM - a.yM, b.zM - a.zM);
    // Approximate coordinates are within 5 cm of the truth on each axis, noise 2 mm.
    EXPECT_NEAR(o.value, d, 0.2);
    EXPECT_GT(o.value, 390.0);
  }
  for (const GpsBaseline& b : model.baselines) {
    const NetworkVertex& from = vertex(b.from);
    const NetworkVertex& to = vertex(b.to);
    EXPECT_NEAR(b.dxM, to.xM - from.xM, 0.2);
    EXPECT_NEAR(b.dyM, to.yM - from.yM, 0.2);
    EXPECT_NEAR(b.dzM, to.zM - from.zM, 0.2);
  }
}

}  // namespace
}  // namespace korvo
