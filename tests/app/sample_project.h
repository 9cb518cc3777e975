#pragma once
// Small project files for the window tests, written with the core's own line builders.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <string>
#include <vector>

#include "common/win1252.h"
#include "network/network_model.h"
#include "network/project_file.h"
#include "network/project_lines.h"

namespace korvo::testing {

struct SampleVertex {
  const char* number;
  bool fixed;
  const char* x;
  const char* y;
  const char* z;
};

struct SampleObservation {
  const char* type;  // UTF-8: "Geométrica", "Cenital", "Dirección"
  const char* from;
  const char* to;
  const char* value;
  const char* stdDev;
};

struct SampleBaseline {
  const char* from;
  const char* to;
  const char* dx;
  const char* dy;
  const char* dz;
};

// Three vertices a few kilometres apart in central Spain: 1 and 3 fixed, 2 unknown; a
// distance 1-2 and a direction 2-3 (red lines); baselines 1-2 and 2-3 (blue lines drawn over
// the red ones). The baselines are the coordinate differences.
inline std::vector<SampleVertex> ThreeVertices() {
  return {{"1", true, "4849202.000", "-360328.000", "4114913.000"},
          {"2", false, "4848000.000", "-358000.000", "4116500.000"},
          {"3", true, "4850500.000", "-357000.000", "4113500.000"}};
}
inline std::vector<SampleObservation> TwoObservations() {
  return {{"Geométrica", "1", "2", "3063.160", "0.005"}, {"Dirección", "2", "3", "120.4567", "10"}};
}
inline std::vector<SampleBaseline> TwoBaselines() {
  return {{"1", "2", "-1202.000", "2328.000", "1587.000"}, {"2", "3", "2500.000", "1000.000", "-3000.000"}};
}

// The text of a project file with these records (Windows-1252, CR LF).
inline std::string ProjectFileText(const std::string& path, const std::vector<SampleVertex>& vertices,
                                   const std::vector<SampleObservation>& observations,
                                   const std::vector<SampleBaseline>& baselines) {
  std::string vertexText, classicalText, gpsText;
  for (const SampleVertex& v : vertices) {
    VertexLineFields fields;
    fields.number = v.number;
    fields.kind = v.fixed ? kKindFixed : kKindUnknown;
    fields.x = v.x;
    fields.y = v.y;
    fields.z = v.z;
    fields.deflectionNs = "0";
    fields.deflectionEw = "0";
    auto line = BuildVertexLine(fields);
    EXPECT_TRUE(line.ok());
    if (line) vertexText += *line;
  }
  for (const SampleObservation& o : observations) {
    auto line = BuildClassicalLine({Cp1252(o.type), o.from, o.to, o.value, o.stdDev});
    EXPECT_TRUE(line.ok());
    if (line) classicalText += *line;
  }
  for (const SampleBaseline& b : baselines) {
    auto block = BuildGpsBlock({b.from, b.to, b.dx, b.dy, b.dz, "0.0001", "0", "0", "0.0001", "0", "0.0001"});
    EXPECT_TRUE(block.ok());
    if (block) gpsText += *block;
  }
  return ComposeProjectFile(path, "06/12/2026", vertexText, classicalText, gpsText);
}

// Writes bytes to folder/name and returns the full path.
inline QString WriteTestFile(const QString& folder, const QString& name, const std::string& bytes) {
  const QString path = QDir(folder).absoluteFilePath(name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return path;
}

}  // namespace korvo::testing
