// The sample project that ships in examples/: its format, and that its observations agree
// with its coordinates as a real survey's would (centimetres for the approximate
// coordinates, millimetres and a few cc for the observations).
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "common/files.h"
#include "network/load_network.h"
#include "network/project_file.h"

namespace korvo {
namespace {

const std::string kSamplePath = std::string(KORVO_SOURCE_DIR) + "/examples/red_ejemplo.txt";

struct Xyz {
  double x, y, z;
};

TEST(ExampleProject, IsAWellFormedProjectFile) {
  const Result<std::string> bytes = ReadFileBytes(kSamplePath);
  ASSERT_TRUE(bytes.ok()) << bytes.error();
  const ProjectSections sections = SplitProjectText(*bytes);
  ASSERT_TRUE(sections.titlesFound);
  // Rebuilding the file from its sections and its header line gives the same bytes.
  const std::size_t pathAt = bytes->find(kProjectPathPrefix) + kProjectPathPrefix.size();
  const std::size_t lineEnd = bytes->find("\r\n", pathAt);
  const std::string pathAndDate = bytes->substr(pathAt, lineEnd - pathAt);
  const std::size_t dateAt = pathAndDate.rfind("   ");
  EXPECT_EQ(ComposeProjectFile(pathAndDate.substr(0, dateAt), pathAndDate.substr(dateAt + 3),
                               sections.vertexListText, sections.classicalListText, sections.gpsListText),
            *bytes);
  // Vertex and observation lines are 106 characters; GPS lines 107, 107, 106.
  for (const std::string* section : {&sections.vertexListText, &sections.classicalListText}) {
    for (std::size_t at = 0; at < section->size(); at += 108) {
      EXPECT_EQ(section->substr(at + 106, 2), "\r\n") << at;
    }
  }
  EXPECT_EQ(sections.gpsListText.size() % 326, 0u);
}

TEST(ExampleProject, ObservationsAgreeWithTheCoordinates) {
  const Result<std::string> bytes = ReadFileBytes(kSamplePath);
  ASSERT_TRUE(bytes.ok());
  const Result<NetworkModel> loaded = LoadNetworkFromText(*bytes);
  ASSERT_TRUE(loaded.ok()) << loaded.error();
  const NetworkModel& m = *loaded;
  EXPECT_GE(m.VertexCount(), 8);
  EXPECT_LE(m.VertexCount(), 15);
  EXPECT_GE(m.FixedVertexCount(), 2);
  EXPECT_GT(m.DirectionCount(), 0);
  EXPECT_GT(m.ZenithCount(), 0);
  EXPECT_GT(m.DistanceCount(), 0);
  EXPECT_GT(m.GpsCount(), 0);
  std::map<int, Xyz> at;
  int unknownDeflections = 0;
  for (const NetworkVertex& v : m.vertices) {
    at[v.number] = {v.xM, v.yM, v.zM};
    unknownDeflections += v.deflectionUnknown ? 1 : 0;
    EXPECT_NEAR(v.latitudeDeg, 41.0, 0.5);  // north of Segovia
    EXPECT_NEAR(v.longitudeDeg, -4.1, 0.5);
  }
  EXPECT_EQ(unknownDeflections, 1);

  for (const ClassicalObservation& o : m.classical) {
    const int from = static_cast<int>(o.from);
    ASSERT_TRUE(at.count(from) && at.count(o.to)) << from << " " << o.to;
    const Xyz& a = at[from];
    const Xyz& b = at[o.to];
    const double distanceM = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
    if (o.type == ObservationType::Distance) {
      EXPECT_NEAR(o.value, distanceM, 0.15) << from << "-" << o.to;
      EXPECT_GT(o.stdDev, 0.0);
    } else {
      EXPECT_GE(o.value, 0.0);
      EXPECT_LT(o.value, 400.0);
    }
  }
  // Zenith angles measured both ways add up to 200 gon plus the angle between the two
  // verticals (about D/R) less twice the refraction term K·D/R with K = 0.08, up to the
  // deflections (tens of cc) and the errors of measurement.
  constexpr double kEarthRadiusM = 6370000.0;
  constexpr double kRadToGon = 200.0 / 3.14159265358979;
  int pairs = 0;
  for (const ClassicalObservation& o : m.classical) {
    if (o.type != ObservationType::Zenith) continue;
    const Xyz& a = at[static_cast<int>(o.from)];
    const Xyz& b = at[o.to];
    const double distanceM = std::hypot(b.x - a.x, b.y - a.y, b.z - a.z);
    for (const ClassicalObservation& back : m.classical) {
      if (back.type == ObservationType::Zenith && back.from == o.to && back.to == static_cast<int>(o.from)) {
        ++pairs;
        const double expected = 200.0 + (1.0 - 2.0 * 0.08) * kRadToGon * distanceM / kEarthRadiusM;
        EXPECT_NEAR(o.value + back.value, expected, 0.005) << o.from << "-" << o.to;
      }
    }
  }
  EXPECT_GE(pairs, 2);

  // Directions: the angle between two directions of one set equals the difference of the
  // azimuths in the station's horizon (east e, north n), within the centimetres of the
  // approximate coordinates and the deflection terms (well under 100 cc here).
  std::map<int, const NetworkVertex*> vertexOf;
  for (const NetworkVertex& v : m.vertices) vertexOf[v.number] = &v;
  auto azimuthGon = [&](int from, int to) {
    const NetworkVertex& s = *vertexOf[from];
    const double phi = s.latitudeDeg * 3.14159265358979 / 180.0;
    const double lambda = static_cast<double>(s.longitudeDeg) * 3.14159265358979 / 180.0;
    const Xyz& a = at[from];
    const Xyz& b = at[to];
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    const double east = -std::sin(lambda) * dx + std::cos(lambda) * dy;
    const double north = -std::sin(phi) * std::cos(lambda) * dx - std::sin(phi) * std::sin(lambda) * dy +
                         std::cos(phi) * dz;
    return std::atan2(east, north) * kRadToGon;
  };
  auto wrapped = [](double gon) { return std::remainder(gon, 400.0); };  // into [-200, 200]
  int angles = 0;
  const ClassicalObservation* first = nullptr;
  for (const ClassicalObservation& o : m.classical) {
    if (o.type != ObservationType::Direction) continue;
    if (first == nullptr || first->from != o.from) {
      first = &o;
      continue;
    }
    const int from = static_cast<int>(o.from);
    const double observedAngle = wrapped(o.value - first->value);
    const double computedAngle = wrapped(azimuthGon(from, o.to) - azimuthGon(from, first->to));
    EXPECT_NEAR(wrapped(observedAngle - computedAngle), 0.0, 0.01) << from << ": " << first->to << "-" << o.to;
    ++angles;
  }
  EXPECT_GT(angles, 20);
  for (const GpsBaseline& b : m.baselines) {
    const Xyz& p = at[static_cast<int>(b.from)];
    const Xyz& q = at[b.to];
    EXPECT_NEAR(b.dxM, q.x - p.x, 0.15);
    EXPECT_NEAR(b.dyM, q.y - p.y, 0.15);
    EXPECT_NEAR(b.dzM, q.z - p.z, 0.15);
    // A positive definite covariance with millimetre-level sigmas.
    EXPECT_GT(b.cxx, 1e-6);
    EXPECT_LT(b.cxx, 1e-4);
    const double det = b.cxx * (b.cyy * b.czz - b.cyz * b.cyz) - b.cxy * (b.cxy * b.czz - b.cyz * b.cxz) +
                       b.cxz * (b.cxy * b.cyz - b.cyy * b.cxz);
    EXPECT_GT(det, 0.0);
    EXPECT_GT(b.cxx * b.cyy - b.cxy * b.cxy, 0.0);
  }
}

}  // namespace
}  // namespace korvo
