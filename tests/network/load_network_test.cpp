// The loader's keyword scan and LoadNetwork: known fields from the column layout, the
// header line, the counts, progress, and bad input that must end in a message, not a crash.
#include "support/files.h"
#include "support/project_text.h"
#include "support/recorders.h"
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/win1252.h"
#include "network/load_network.h"
#include "network/network_model.h"
#include "network/project_file.h"
#include "network/project_lines.h"
#include "network/project_state.h"

namespace korvo {
namespace {

using korvo::testing::Built;

// Three vertices (two fixed, one with unknown deflection), four observations, two baselines.
struct Sample {
  std::string vertices, classical, gps;
  std::string File(const std::string& path = "/datos/red.txt") const {
    return ComposeProjectFile(path, "06/12/2026", vertices, classical, gps);
  }
};

Sample MakeSample() {
  Sample s;
  s.vertices = Built(BuildVertexLine({"1", kKindFixed, "4849202.391", "-360328.998", "4114913.186", "1.5", "-2.25"})) +
               Built(BuildVertexLine({"12", kKindUnknown, "4849500.102", "-359800.5", "4114600.7", "", "", true})) +
               Built(BuildVertexLine({"9999", kKindFixed, "4850000", "-361000.25", "4114000.125", "0", "0"}));
  s.classical = Built(BuildClassicalLine({kTypeDirection, "1", "12", "57.1234", "10"})) +
                Built(BuildClassicalLine({kTypeZenith, "1", "12", "99.8765", "15"})) +
                Built(BuildClassicalLine({kTypeDistance, "12", "9999", "1234.5678", ".003"})) +
                Built(BuildClassicalLine({kTypeDirection, "12", "2.5", "0", "8"}));
  s.gps = Built(BuildGpsBlock({"1", "12", "297.711", "528.498", "-312.486", "1.1E-05", "2E-06",
                               "-3E-06", "1.2E-05", "4E-06", "1.3E-05"})) +
          Built(BuildGpsBlock({"12", "9999", "-1234.5678", "-1199.75", "-600.575", ".000021",
                               "-.0000045", "0", "2.2E-05", "-1E-06", "3.3E-05"}));
  return s;
}

TEST(ScanProject, ReadsEveryFieldAtItsColumn) {
  const Result<NetworkModel> scanned = ScanProjectText(MakeSample().File());
  ASSERT_TRUE(scanned.ok()) << scanned.error();
  const NetworkModel& m = *scanned;
  EXPECT_EQ(m.VertexCount(), 3);
  EXPECT_EQ(m.UnknownVertexCount(), 1);
  EXPECT_EQ(m.FixedVertexCount(), 2);
  EXPECT_EQ(m.DirectionCount(), 2);
  EXPECT_EQ(m.ZenithCount(), 1);
  EXPECT_EQ(m.DistanceCount(), 1);
  EXPECT_EQ(m.ClassicalCount(), 4);
  EXPECT_EQ(m.GpsCount(), 2);
  ASSERT_EQ(m.vertices.size(), 3u);
  ASSERT_EQ(m.classical.size(), 4u);
  ASSERT_EQ(m.baselines.size(), 2u);

  const NetworkVertex& v1 = m.vertices[0];
  EXPECT_EQ(v1.number, 1);
  EXPECT_EQ(v1.kind, kKindFixed);
  EXPECT_EQ(v1.xM, 4849202.391);
  EXPECT_EQ(v1.yM, -360328.998);
  EXPECT_EQ(v1.zM, 4114913.186);
  EXPECT_FALSE(v1.deflectionUnknown);
  EXPECT_EQ(v1.deflectionNsCc, 1.5);
  EXPECT_EQ(v1.deflectionEwCc, -2.25);
  const NetworkVertex& v2 = m.vertices[1];
  EXPECT_EQ(v2.number, 12);
  EXPECT_EQ(v2.kind, kKindUnknown);
  EXPECT_TRUE(v2.deflectionUnknown);
  EXPECT_EQ(v2.yM, -359800.5);
  EXPECT_EQ(m.vertices[2].number, 9999);
  EXPECT_EQ(m.vertices[2].zM, 4114000.125);

  // Classical rows in file order, whatever their type.
  EXPECT_EQ(m.classical[0].type, ObservationType::Direction);
  EXPECT_EQ(m.classical[0].from, 1.0);
  EXPECT_EQ(m.classical[0].to, 12);
  EXPECT_EQ(m.classical[0].value, 57.1234);
  EXPECT_EQ(m.classical[0].stdDev, 10.0);
  EXPECT_EQ(m.classical[1].type, ObservationType::Zenith);
  EXPECT_EQ(m.classical[1].value, 99.8765);
  EXPECT_EQ(m.classical[1].stdDev, 15.0);
  EXPECT_EQ(m.classical[2].type, ObservationType::Distance);
  EXPECT_EQ(m.classical[2].from, 12.0);
  EXPECT_EQ(m.classical[2].to, 9999);
  EXPECT_EQ(m.classical[2].value, 1234.5678);
  EXPECT_EQ(m.classical[2].stdDev, 0.003);
  // A target number is rounded, halves to even.
  EXPECT_EQ(m.classical[3].to, 2);

  const GpsBaseline& b = m.baselines[1];
  EXPECT_EQ(b.from, 12.0);
  EXPECT_EQ(b.to, 9999);
  EXPECT_EQ(b.dxM, -1234.5678);
  EXPECT_EQ(b.dyM, -1199.75);
  EXPECT_EQ(b.dzM, -600.575);
  EXPECT_EQ(b.cxx, 0.000021);
  EXPECT_EQ(b.cxy, -0.0000045);
  EXPECT_EQ(b.cxz, 0.0);
  EXPECT_EQ(b.cyy, 2.2E-05);
  EXPECT_EQ(b.cyz, -1E-06);
  EXPECT_EQ(b.czz, 3.3E-05);
  EXPECT_EQ(m.baselines[0].cxz, -3E-06);
}

TEST(ScanProject, GpsFieldsAtFixedDistancesAcrossTheTrailingBlanks) {
  // A block written by hand at the distances of the format: the first two lines carry three
  // trailing blanks and the third two, so line 2 starts at 109 and line 3 at 218.
  std::string block = "Línea base GPS de    3   a    4" + std::string(2, ' ') + "   IncrX: " + "      10.5" +
                      "  " + "   Matriz v-c: " + "        .1" + "  " + "        .2" + "  " + "        .3" +
                      "   \r\n";
  block += std::string(33, ' ') + "   IncrY: " + "     -20.5" + std::string(29, ' ') + "        .4" + "  " +
           "        .5" + "   \r\n";
  block += std::string(33, ' ') + "   IncrZ: " + "      30.5" + std::string(41, ' ') + "        .6" + "  \r\n";
  block = Cp1252(block);
  ASSERT_EQ(block.size(), 326u);
  const Result<NetworkModel> scanned = ScanProjectText(block);
  ASSERT_TRUE(scanned.ok()) << scanned.error();
  ASSERT_EQ(scanned->GpsCount(), 1);
  const GpsBaseline& b = scanned->baselines[0];
  EXPECT_EQ(b.from, 3.0);
  EXPECT_EQ(b.to, 4);
  EXPECT_EQ(b.dxM, 10.5);
  EXPECT_EQ(b.dyM, -20.5);
  EXPECT_EQ(b.dzM, 30.5);
  EXPECT_EQ(b.cxx, .1);
  EXPECT_EQ(b.cxy, .2);
  EXPECT_EQ(b.cxz, .3);
  EXPECT_EQ(b.cyy, .4);
  EXPECT_EQ(b.cyz, .5);
  EXPECT_EQ(b.czz, .6);

  // Trimming the trailing blanks of the lines shifts the second and third lines: the block
  // is refused instead of being read three columns off.
  std::string trimmed = block;
  for (std::size_t at = trimmed.find("   \r\n"); at != std::string::npos; at = trimmed.find("   \r\n")) {
    trimmed.erase(at, 3);
  }
  const Result<NetworkModel> shifted = ScanProjectText(trimmed);
  ASSERT_FALSE(shifted.ok());
  EXPECT_EQ(shifted.error(), kLoadReadErrorMessage);
}

TEST(ScanProject, PuntoInThePathLineIsIgnored) {
  const Sample s = MakeSample();
  for (const char* path : {"/home/ana/Puntos de control/red.txt", "C:\\Punto (Fijo)\\Geométrica Línea base GPS.txt"}) {
    const Result<NetworkModel> scanned = ScanProjectText(s.File(Cp1252(path)));
    ASSERT_TRUE(scanned.ok()) << path << ": " << scanned.error();
    EXPECT_EQ(scanned->VertexCount(), 3) << path;
    EXPECT_EQ(scanned->ClassicalCount(), 4) << path;
    EXPECT_EQ(scanned->GpsCount(), 2) << path;
  }
  // Elsewhere "Punto" is a keyword wherever it stands.
  std::string text = s.File();
  text.insert(text.find(kVertexSectionTitle), "Punto suelto\r\n");
  const Result<NetworkModel> scanned = ScanProjectText(text);
  ASSERT_FALSE(scanned.ok());
  EXPECT_EQ(scanned.error(), kLoadKindMismatchMessage);
}

TEST(ScanProject, DamagedKindGivesTheKindMessage) {
  std::string text = MakeSample().File();
  text.replace(text.find("(Fijo)"), 6, "(Fixo)");
  const Result<NetworkModel> scanned = ScanProjectText(text);
  ASSERT_FALSE(scanned.ok());
  EXPECT_EQ(scanned.error(),
            Cp1252("¡Se ha producido un error en la lectura del tipo(incógnita/fijo) de los puntos! "));
}

TEST(ScanProject, SameModelFromLfOnlyAndCrLfFiles) {
  const std::string crlf = MakeSample().File();
  std::string lf;
  for (char c : crlf) {
    if (c != '\r') lf.push_back(c);
  }
  const Result<NetworkModel> a = ScanProjectText(crlf);
  const Result<NetworkModel> b = ScanProjectText(lf);
  ASSERT_TRUE(a.ok());
  ASSERT_TRUE(b.ok()) << b.error();
  ASSERT_EQ(b->GpsCount(), 2);
  EXPECT_EQ(b->baselines[1].dyM, a->baselines[1].dyM);
  EXPECT_EQ(b->baselines[1].czz, a->baselines[1].czz);
  EXPECT_EQ(b->vertices[2].zM, a->vertices[2].zM);
}

TEST(ScanProject, NoFinalLineEndAndNoGpsSection) {
  Sample s = MakeSample();
  s.gps.clear();
  std::string text = s.File();
  while (text.ends_with("\r\n")) text.resize(text.size() - 2);
  const Result<NetworkModel> scanned = ScanProjectText(text);
  ASSERT_TRUE(scanned.ok()) << scanned.error();
  EXPECT_EQ(scanned->GpsCount(), 0);
  EXPECT_EQ(scanned->ClassicalCount(), 4);
  // The last classical line without its trailing blanks and line end still holds its fields.
  std::string lastLine = Built(BuildClassicalLine({kTypeZenith, "3", "4", "100.5", "20"}));
  lastLine.resize(lastLine.find_last_not_of(" \r\n") + 1);
  const Result<NetworkModel> trimmed = ScanProjectText(lastLine);
  ASSERT_TRUE(trimmed.ok()) << trimmed.error();
  EXPECT_EQ(trimmed->classical[0].stdDev, 20.0);
}

TEST(ScanProject, BadRecordsAreReadErrors) {
  const Sample s = MakeSample();
  const std::string good = s.File();
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = good;
    const std::size_t at = t.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) t.replace(at, from.size(), to);
    return t;
  };
  struct Case {
    const char* what;
    std::string text;
  };
  const std::string vertexLine = s.vertices.substr(0, 108);
  const Case cases[] = {
      {"número de vértice no numérico", replaced("Punto   1 ", "Punto  1a ")},
      {"número de vértice vacío", replaced("Punto   1 ", "Punto     ")},
      {"número de cinco cifras", replaced("Punto   1 ", "Punto12345")},
      {"número de vértice fuera de 16 bits", replaced("Punto   1 ", "Punto4E10 ")},
      {"vértice visado fuera de 16 bits", replaced("a     12  ", "a   9E99  ")},
      {"coordenada infinita", replaced(" 4849202.391", "      1E999 ")},
      {"línea de vértice cortada", good.substr(0, good.find(kClassicalSectionTitle)) + vertexLine.substr(0, 100)},
      {"bloque GPS cortado", good.substr(0, good.size() - 20)},
  };
  for (const Case& c : cases) {
    const Result<NetworkModel> scanned = ScanProjectText(c.text);
    ASSERT_FALSE(scanned.ok()) << c.what;
    EXPECT_EQ(scanned.error(), Cp1252(" ¡Se ha producido un error en la lectura de datos! ")) << c.what;
  }
}

TEST(ScanProject, TextsWithoutRecordsGiveAnEmptyNetwork) {
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 131 + 7) % 256));
  for (const std::string& text : {std::string(), std::string("\r\n\r\n"), binary, std::string(1, '\0')}) {
    const Result<NetworkModel> scanned = ScanProjectText(text);
    ASSERT_TRUE(scanned.ok());
    EXPECT_EQ(scanned->VertexCount(), 0);
    EXPECT_EQ(scanned->ClassicalCount(), 0);
    EXPECT_EQ(scanned->GpsCount(), 0);
  }
}

TEST(ScanProject, KeywordsAtTheVeryEndNeverReadPastIt) {
  for (const std::string& tail :
       {std::string("Punto"), std::string("Punto   1"), Cp1252("Geométrica"), Cp1252(" Dirección de    1"),
        Cp1252("Línea base GPS"), Cp1252("Línea base GPS de    1   a    2")}) {
    const Result<NetworkModel> scanned = ScanProjectText(MakeSample().File() + tail);
    EXPECT_FALSE(scanned.ok()) << tail;
  }
}

std::filesystem::path WriteTemp(const std::string& name, const std::string& bytes) {
  return korvo::testing::WriteTempFile("load_network/" + name, bytes);
}

TEST(LoadNetwork, ReportsProgressAndComputesGeodetics) {
  const std::string text = MakeSample().File();
  const auto path = WriteTemp("red.txt", text);
  korvo::testing::ProgressRecorder recorder;
  const Result<LoadedNetwork> loaded = LoadNetwork(path.string(), recorder.Sink());
  ASSERT_TRUE(loaded.ok()) << loaded.error();
  EXPECT_EQ(loaded->projectText, text);
  EXPECT_FALSE(loaded->projectTooBig);
  EXPECT_EQ(recorder.progress, (std::vector<int>{0, 15, 40, 80, 100, 0}));
  EXPECT_EQ(recorder.statuses, (std::vector<std::string>{Cp1252("Adquiriendo información general sobre la red..."),
                                                        Cp1252("Dibujando croquis planimétrico..."), ""}));
  // Vertex 1 (X 4849202.391, Y -360328.998, Z 4114913.186): CartConvert -r gives
  // 40.429161756356926, -4.249659377655680.
  EXPECT_NEAR(loaded->model.vertices[0].latitudeDeg, 40.429161756356926, 1e-9);
  EXPECT_NEAR(loaded->model.vertices[0].longitudeDeg, -4.249659377655680, 1e-6);
  EXPECT_NE(loaded->model.vertices[2].sketchY, 0.0f);
}

TEST(LoadNetwork, DisplayLimitAtItsBoundary) {
  const std::string text = MakeSample().File();
  ASSERT_LT(text.size(), kProjectDisplayLimit);
  // Blanks after the last line change no record.
  const std::string exactly = text + std::string(kProjectDisplayLimit - text.size(), ' ');
  const std::string oneLess = text + std::string(kProjectDisplayLimit - 1 - text.size(), ' ');
  const Result<LoadedNetwork> big = LoadNetwork(WriteTemp("grande.txt", exactly).string(), {});
  const Result<LoadedNetwork> small = LoadNetwork(WriteTemp("casi.txt", oneLess).string(), {});
  ASSERT_TRUE(big.ok());
  ASSERT_TRUE(small.ok());
  EXPECT_EQ(big->projectText.size(), 32000u);
  EXPECT_TRUE(big->projectTooBig);
  EXPECT_FALSE(small->projectTooBig);
  EXPECT_EQ(big->model.VertexCount(), 3);
}

TEST(LoadNetwork, FailuresGiveOnlyTheMessage) {
  korvo::testing::ProgressRecorder recorder;
  const Result<LoadedNetwork> missing = LoadNetwork("/no/existe/red.txt", recorder.Sink());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error(), kLoadReadErrorMessage);
  // The progress stays where the failure left it.
  EXPECT_EQ(recorder.progress, (std::vector<int>{0}));

  std::string damaged = MakeSample().File();
  damaged.replace(damaged.find(Cp1252("(Incógnita)")), 11, "(Incognita)");
  const Result<LoadedNetwork> mismatch = LoadNetwork(WriteTemp("tipo.txt", damaged).string(), {});
  ASSERT_FALSE(mismatch.ok());
  EXPECT_EQ(mismatch.error(), kLoadKindMismatchMessage);
}

}  // namespace
}  // namespace korvo
