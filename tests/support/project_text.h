#pragma once
// Project file texts for the tests, written with the project file's own line builders (the
// builders' columns are checked on their own against hand-written lines).

#include <gtest/gtest.h>

#include <string>

#include "common/result.h"
#include "network/network_model.h"
#include "network/project_file.h"
#include "network/project_lines.h"

namespace korvo::testing {

inline std::string Built(const Result<std::string>& built) {
  EXPECT_TRUE(built.ok()) << (built.ok() ? "" : built.error());
  return built.ok() ? *built : std::string();
}

// A project in the making: records are appended in order; File() gives the whole text
// (Windows-1252, CR LF). Texts are Windows-1252 (kTypeDirection etc. already are).
struct ProjectText {
  std::string vertices, classical, gps;

  // Empty deflections mean "unknown deflection".
  ProjectText& Vertex(const std::string& number, bool fixed, const std::string& x, const std::string& y,
                      const std::string& z, const std::string& ns = "0", const std::string& ew = "0") {
    vertices += Built(BuildVertexLine({number, fixed ? kKindFixed : kKindUnknown, x, y, z, ns, ew, ns.empty()}));
    return *this;
  }
  ProjectText& Observation(const std::string& type, const std::string& from, const std::string& to,
                           const std::string& value, const std::string& stdDev) {
    classical += Built(BuildClassicalLine({type, from, to, value, stdDev}));
    return *this;
  }
  // Covariances default to a small diagonal.
  ProjectText& Baseline(const std::string& from, const std::string& to, const std::string& dx, const std::string& dy,
                        const std::string& dz, const std::string& cxx = "0.0001", const std::string& cxy = "0",
                        const std::string& cxz = "0", const std::string& cyy = "0.0001", const std::string& cyz = "0",
                        const std::string& czz = "0.0001") {
    gps += Built(BuildGpsBlock({from, to, dx, dy, dz, cxx, cxy, cxz, cyy, cyz, czz}));
    return *this;
  }
  std::string File(const std::string& path = "/datos/red.txt") const {
    return ComposeProjectFile(path, "06/12/2026", vertices, classical, gps);
  }
};

// Three vertices a few kilometres apart in central Spain: 1 and 3 fixed, 2 unknown; a
// distance 1-2 and a direction 2-3; baselines 1-2 and 2-3 (the coordinate differences).
inline ProjectText ThreeVertexProject() {
  ProjectText p;
  p.Vertex("1", true, "4849202.000", "-360328.000", "4114913.000")
      .Vertex("2", false, "4848000.000", "-358000.000", "4116500.000")
      .Vertex("3", true, "4850500.000", "-357000.000", "4113500.000")
      .Observation(kTypeDistance, "1", "2", "3063.160", "0.005")
      .Observation(kTypeDirection, "2", "3", "120.4567", "10")
      .Baseline("1", "2", "-1202.000", "2328.000", "1587.000")
      .Baseline("2", "3", "2500.000", "1000.000", "-3000.000");
  return p;
}

}  // namespace korvo::testing
