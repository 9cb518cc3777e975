// Import of GPS baselines from WAVE detailed-summary reports.
//
// Expected fields are read back from the appended text at the distances of the GPS block
// layout (from the "L" of "Línea": first vertex +18 (4 bytes), second +27 (4), DX +43,
// Cxx +70, Cxy +82, Cxz +94, DY +152, Cyy +191, Cyz +203, DZ +261, Czz +312, 10 bytes each),
// and the synthetic reports put their texts at the distances the WAVE report uses, so both
// ends are fixed by the two column tables, not by the code under test.
#include <gtest/gtest.h>

#include "support/files.h"

#include <cerrno>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/text.h"
#include "common/win1252.h"
#include "network/wave_import.h"

namespace korvo {
namespace {

constexpr std::size_t kBlockBytes = 326;

struct BlockFields {
  std::string from, to, dx, dy, dz, cxx, cxy, cxz, cyy, cyz, czz;
};

std::string Trimmed(std::string_view field) {
  const std::size_t first = field.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(field.substr(first));
}

// The fields of the GPS block that starts at `start`, as the loader reads them.
BlockFields FieldsOfBlock(const std::string& gps, std::size_t start) {
  auto at = [&](std::size_t distance, std::size_t width) { return Trimmed(FieldAt(gps, start + distance, width)); };
  return {at(18, 4), at(27, 4), at(43, 10), at(152, 10), at(261, 10), at(70, 10),
          at(82, 10), at(94, 10), at(191, 10), at(203, 10), at(312, 10)};
}

std::vector<BlockFields> AllBlocks(const std::string& gps) {
  EXPECT_EQ(gps.size() % kBlockBytes, 0u) << "GPS text is not a whole number of blocks";
  std::vector<BlockFields> blocks;
  for (std::size_t start = 0; start + kBlockBytes <= gps.size(); start += kBlockBytes) {
    EXPECT_EQ(gps.compare(start, 18, Cp1252("Línea base GPS de ")), 0) << "block at " << start;
    blocks.push_back(FieldsOfBlock(gps, start));
  }
  return blocks;
}

// One baseline of a synthetic report: texts exactly as they stand in the report.
struct ReportBaseline {
  std::string from, to, dx, dy, dz, cxx, cyx, cyy, czx, czy, czz;
};

std::string RightIn16(const std::string& text) { return PadLeft(text, 16); }

void PutAt(std::string& area, std::size_t offset, const std::string& text) {
  area.replace(offset, text.size(), text);
}

// A report laid out by the WAVE distances: numbers 15 and 13 bytes after the station labels;
// 16-byte fields at 56, 78, 101 (components) and 776, 850, 872, 946, 968, 991 (covariance
// lower triangle) from the "B" of "Baseline Components".
std::string MakeReport(const std::vector<ReportBaseline>& baselines, bool withWord = true) {
  std::string report = "WAVE Baseline Processing Report\r\n\r\n";
  for (const ReportBaseline& b : baselines) {
    report += "From Station:  " + b.from + "\r\n";
    report += "To Station:  " + b.to + "\r\n";
    std::string area(1020, ' ');
    for (std::size_t lineEnd = 94; lineEnd + 2 < area.size(); lineEnd += 96) PutAt(area, lineEnd, "\r\n");
    PutAt(area, 0, "Baseline Components");
    for (const auto& [at, label] : {std::pair{34, "dX ="}, {74, "dY ="}, {97, "dZ ="}, {771, "X"}, {845, "Y"}, {941, "Z"}}) {
      PutAt(area, static_cast<std::size_t>(at), label);
    }
    PutAt(area, 56, RightIn16(b.dx));
    PutAt(area, 78, RightIn16(b.dy));
    PutAt(area, 101, RightIn16(b.dz));
    if (withWord) PutAt(area, 600, "Aposteriori Covariance Matrix:");
    PutAt(area, 776, RightIn16(b.cxx));
    PutAt(area, 850, RightIn16(b.cyx));
    PutAt(area, 872, RightIn16(b.cyy));
    PutAt(area, 946, RightIn16(b.czx));
    PutAt(area, 968, RightIn16(b.czy));
    PutAt(area, 991, RightIn16(b.czz));
    report += area + "\r\n";
  }
  return report;
}

ReportBaseline Plain(const std::string& from, const std::string& to) {
  return {from, to, "100.5", "-200.25", "300.125", "1.6E-06", "-4E-07", "2.5E-06", "3E-07", "-1E-07", "4.9E-06"};
}

std::string ExamplePath() { return std::string(KORVO_SOURCE_DIR) + "/examples/informe_wave.txt"; }

// One block as it stands in a project file, built piece by piece from the column table.
std::string ExistingBlock() {
  const std::string line1 = Cp1252("Línea base GPS de ") + PadLeft("5", 4) + "   a " + PadLeft("6", 4) + "  " +
                            "   IncrX: " + PadLeft("1.25", 10) + "  " + "   Matriz v-c: " + PadLeft("1E-06", 10) +
                            "  " + PadLeft("0", 10) + "  " + PadLeft("0", 10) + "   ";
  const std::string line2 = std::string(33, ' ') + "   IncrY: " + PadLeft("2.5", 10) + std::string(29, ' ') +
                            PadLeft("1E-06", 10) + "  " + PadLeft("0", 10) + "   ";
  const std::string line3 =
      std::string(33, ' ') + "   IncrZ: " + PadLeft("-3.75", 10) + std::string(41, ' ') + PadLeft("1E-06", 10) + "  ";
  return line1 + "\r\n" + line2 + "\r\n" + line3 + "\r\n";
}

TEST(WaveImport, ExampleReportAppendsItsBaselinesAfterExistingOnes) {
  const std::string existing = ExistingBlock();
  ASSERT_EQ(existing.size(), kBlockBytes);
  std::string gps = existing;
  const WaveImportOutcome outcome = ImportWaveReport(ExamplePath(), gps);
  ASSERT_FALSE(outcome.failed) << outcome.failure;
  EXPECT_EQ(outcome.baselinesInReport, 4);
  EXPECT_EQ(outcome.blocksAppended, 4);
  ASSERT_EQ(gps.size(), 5 * kBlockBytes);
  EXPECT_EQ(gps.substr(0, kBlockBytes), existing);

  const std::vector<BlockFields> blocks = AllBlocks(gps);
  ASSERT_EQ(blocks.size(), 5u);
  // Values of the report, covariances rounded to 7 decimals by hand:
  // 4.7612345E-06 -> 48e-7, -1.2840199E-06 -> -13e-7, 3.8871004E-06 -> 39e-7,
  // 2.0123577E-06 -> 20e-7, -1.1102450E-06 -> -11e-7, 6.5034812E-06 -> 65e-7.
  const BlockFields first = blocks[1];
  EXPECT_EQ(first.from, "1001");
  EXPECT_EQ(first.to, "1002");
  EXPECT_EQ(first.dx, "-1523.4471");
  EXPECT_EQ(first.dy, "2210.0958");
  EXPECT_EQ(first.dz, "987.3315");
  EXPECT_EQ(first.cxx, "4.8E-06");
  EXPECT_EQ(first.cxy, "-1.3E-06");
  EXPECT_EQ(first.cyy, "3.9E-06");
  EXPECT_EQ(first.cxz, "2E-06");
  EXPECT_EQ(first.cyz, "-1.1E-06");
  EXPECT_EQ(first.czz, "6.5E-06");

  // Second baseline: the yx element is 0.00000123456 -> 0.0000012; zx -9.876540E-07 -> -1E-06.
  EXPECT_EQ(blocks[2].from, "1001");
  EXPECT_EQ(blocks[2].to, "1003");
  EXPECT_EQ(blocks[2].cxy, "1.2E-06");
  EXPECT_EQ(blocks[2].cxz, "-1E-06");
  EXPECT_EQ(blocks[2].dy, "-3377.0632");

  EXPECT_EQ(blocks[3].from, "1002");
  EXPECT_EQ(blocks[3].czz, "9.6E-06");  // 9.6119934E-06

  EXPECT_EQ(blocks[4].from, "1004");
  EXPECT_EQ(blocks[4].to, "1003");
  EXPECT_EQ(blocks[4].dx, "-35.2914");
  EXPECT_EQ(blocks[4].cxx, "8E-07");  // 8.1E-07 -> 8e-7
}

TEST(WaveImport, BlockLinesHaveTheProjectFileLengths) {
  std::string gps;
  ASSERT_FALSE(ImportWaveReport(ExamplePath(), gps).failed);
  const std::vector<std::string_view> lines = SplitLines(gps);
  ASSERT_EQ(lines.size(), 12u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].size(), i % 3 == 2 ? 106u : 107u) << "line " << i;
  }
}

TEST(WaveImport, ImportingTwiceAppendsTwice) {
  std::string gps;
  ASSERT_FALSE(ImportWaveReport(ExamplePath(), gps).failed);
  const std::string once = gps;
  ASSERT_FALSE(ImportWaveReport(ExamplePath(), gps).failed);
  EXPECT_EQ(gps, once + once);
}

TEST(WaveImport, CovarianceKeepsSevenDecimalsWithHalvesToEven) {
  // 2.5E-07·1e7 and 3.5E-07·1e7 are exactly 2.5 and 3.5 in binary: true ties.
  const struct {
    const char* reportText;
    const char* written;
  } cases[] = {
      {"0.00000123456", "1.2E-06"}, {"2.5E-07", "2E-07"},   {"3.5E-07", "4E-07"},
      {"-2.5E-07", "-2E-07"},       {"4.9E-08", "0"},       {"0.00012345678", ".0001235"},
      {"0.0123456789", ".0123457"}, {"1.5", "1.5"},         {"1.00000004", "1"},
  };
  for (const auto& c : cases) {
    ReportBaseline b = Plain("1", "2");
    b.cxx = c.reportText;
    std::string gps;
    const WaveImportOutcome outcome = ImportWaveReportText(MakeReport({b}), gps);
    ASSERT_FALSE(outcome.failed) << c.reportText << ": " << outcome.failure;
    ASSERT_EQ(gps.size(), kBlockBytes);
    EXPECT_EQ(FieldsOfBlock(gps, 0).cxx, c.written) << c.reportText;
  }
}

TEST(WaveImport, LowerTriangleGoesToTheSymmetricSlots) {
  ReportBaseline b{"11", "12", "1", "2", "3", "1E-06", "2E-06", "3E-06", "4E-06", "5E-06", "6E-06"};
  std::string gps;
  ASSERT_FALSE(ImportWaveReportText(MakeReport({b}), gps).failed);
  const BlockFields f = FieldsOfBlock(gps, 0);
  EXPECT_EQ(f.cxx, "1E-06");
  EXPECT_EQ(f.cxy, "2E-06");  // row y, column x
  EXPECT_EQ(f.cyy, "3E-06");
  EXPECT_EQ(f.cxz, "4E-06");  // row z, column x
  EXPECT_EQ(f.cyz, "5E-06");  // row z, column y
  EXPECT_EQ(f.czz, "6E-06");
  EXPECT_EQ(f.dx, "1");
  EXPECT_EQ(f.dz, "3");
}

TEST(WaveImport, StationNumberIsTheLeadingNumberOfTheIdentifier) {
  const struct {
    const char* id;
    const char* number;
  } cases[] = {{"1003SUR", "1003"}, {"0012", "12"}, {"7.5", "8"}, {"6.5", "6"}, {"-3", "-3"}};
  for (const auto& c : cases) {
    std::string gps;
    ASSERT_FALSE(ImportWaveReportText(MakeReport({Plain(c.id, "2")}), gps).failed) << c.id;
    EXPECT_EQ(FieldsOfBlock(gps, 0).from, c.number) << c.id;
  }
  // A name is no vertex number: refused, naming it, instead of becoming vertex 0.
  std::string gps;
  const WaveImportOutcome named = ImportWaveReportText(MakeReport({Plain("BASE1", "2")}), gps);
  EXPECT_TRUE(named.failed);
  EXPECT_NE(named.failure.find("\"BASE1\""), std::string::npos) << named.failure;
}

TEST(WaveImport, OverWideFieldStopsAndKeepsEarlierBlocks) {
  // The first field too wide for its 10 columns is in the second baseline.
  ReportBaseline wide = Plain("3", "4");
  wide.dx = "-12345.678912";
  const std::string report = MakeReport({Plain("1", "2"), wide, Plain("5", "6")});
  std::string gps = ExistingBlock();
  const WaveImportOutcome outcome = ImportWaveReportText(report, gps);
  EXPECT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.blocksAppended, 1);
  EXPECT_FALSE(outcome.failure.empty());
  EXPECT_NE(outcome.failure.find(Cp1252("Línea base 2")), std::string::npos) << Cp1252ToUtf8(outcome.failure);
  ASSERT_EQ(gps.size(), 2 * kBlockBytes);
  EXPECT_EQ(FieldsOfBlock(gps, kBlockBytes).from, "1");

  // A vertex number of five digits does not fit its four columns either.
  std::string gps2;
  const WaveImportOutcome numberOutcome = ImportWaveReportText(MakeReport({Plain("12345", "2")}), gps2);
  EXPECT_TRUE(numberOutcome.failed);
  EXPECT_TRUE(gps2.empty());
}

TEST(WaveImport, ValuesBeyondTheirConversionsAreRefused) {
  ReportBaseline hugeCovariance = Plain("1", "2");
  hugeCovariance.czz = "300";  // 300·1e7 does not fit a 32-bit integer
  std::string gps;
  WaveImportOutcome outcome = ImportWaveReportText(MakeReport({Plain("7", "8"), hugeCovariance}), gps);
  EXPECT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.blocksAppended, 1);
  EXPECT_NE(outcome.failure.find("Czz"), std::string::npos);

  std::string gps2;
  outcome = ImportWaveReportText(MakeReport({Plain("40000", "2")}), gps2);
  EXPECT_TRUE(outcome.failed);
  EXPECT_TRUE(gps2.empty());
}

TEST(WaveImport, MissingLabelStopsCleanlyAfterCompleteBaselines) {
  // Two "Aposteriori" words but only one baseline with its labels.
  std::string report = MakeReport({Plain("1", "2")}) + "Aposteriori (second block lost)\r\n";
  std::string gps;
  const WaveImportOutcome outcome = ImportWaveReportText(report, gps);
  EXPECT_EQ(outcome.baselinesInReport, 2);
  EXPECT_EQ(outcome.blocksAppended, 1);
  EXPECT_TRUE(outcome.failed);
  EXPECT_NE(outcome.failure.find("From Station:"), std::string::npos);
  EXPECT_EQ(gps.size(), kBlockBytes);
}

TEST(WaveImport, ReportWithoutTheWordImportsNothing) {
  std::string gps = "kept";
  const WaveImportOutcome outcome = ImportWaveReportText(MakeReport({Plain("1", "2")}, false), gps);
  EXPECT_FALSE(outcome.failed);
  EXPECT_EQ(outcome.baselinesInReport, 0);
  EXPECT_EQ(gps, "kept");
}

TEST(WaveImport, CommasOfTheWholeGpsTextBecomePoints) {
  std::string earlier = ExistingBlock();
  earlier.replace(earlier.find("1.25"), 4, "1,25");
  std::string gps = earlier;
  ASSERT_FALSE(ImportWaveReportText(MakeReport({Plain("1", "2")}), gps).failed);
  EXPECT_EQ(gps.find(','), std::string::npos);
  EXPECT_EQ(FieldsOfBlock(gps, 0).dx, "1.25");
}

TEST(WaveImport, FailedImportLeavesTheCommasOfTheGpsText) {
  // The commas become points only after the last block is appended; an import that stops
  // before that leaves the text as it was, plus the blocks read so far.
  std::string earlier = ExistingBlock();
  earlier.replace(earlier.find("1.25"), 4, "1,25");
  ReportBaseline wide = Plain("3", "4");
  wide.dy = "123456789.012";
  std::string gps = earlier;
  const WaveImportOutcome outcome = ImportWaveReportText(MakeReport({Plain("1", "2"), wide}), gps);
  EXPECT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.blocksAppended, 1);
  ASSERT_EQ(gps.size(), 2 * kBlockBytes);
  EXPECT_EQ(gps.substr(0, kBlockBytes), earlier);
  EXPECT_EQ(FieldsOfBlock(gps, 0).dx, "1,25");
}

TEST(WaveImport, UnreadableReportAppendsNothing) {
  std::string gps = "kept";
  const WaveImportOutcome outcome = ImportWaveReport("/nonexistent/folder/informe.txt", gps);
  EXPECT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.failure, "No se puede leer el fichero /nonexistent/folder/informe.txt. " + SystemErrorText(ENOENT));
  EXPECT_EQ(gps, "kept");
}

TEST(WaveCommand, PrintsTheGpsTextOfTheExample) {
  const testing::CliRun run = testing::RunKorvoCli("wave \"" + ExamplePath() + "\"");
  EXPECT_EQ(run.exitCode, 0);
  std::string expected;
  ASSERT_FALSE(ImportWaveReport(ExamplePath(), expected).failed);
  EXPECT_EQ(run.out, Cp1252ToUtf8(expected));
}

}  // namespace
}  // namespace korvo
