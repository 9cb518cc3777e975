// The loader's keyword scan and LoadNetwork: fields at their columns, damaged records, the load's steps.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <tuple>

#include "common/files.h"
#include "common/win1252.h"
#include "network/load_network.h"
#include "network/project_file.h"
#include "network/project_lines.h"
#include "support/files.h"
#include "support/project_text.h"
#include "support/recorders.h"

namespace korvo {
namespace {

using korvo::testing::Built;
constexpr auto* Replaced = &korvo::testing::ReplacedAll;

// Three vertices (two fixed, one with unknown deflection), four observations, two baselines.
korvo::testing::ProjectText Sample() {
  korvo::testing::ProjectText p;
  p.Vertex("1", true, "4849202.391", "-360328.998", "4114913.186", "1.5", "-2.25")
      .Vertex("12", false, "4849500.102", "-359800.5", "4114600.7", "", "")
      .Vertex("9999", true, "4850000", "-361000.25", "4114000.125", "0", "0")
      .Observation(kTypeDirection, "1", "12", "57.1234", "10")
      .Observation(kTypeZenith, "1", "12", "99.8765", "15")
      .Observation(kTypeDistance, "12", "9999", "1234.5678", ".003")
      .Observation(kTypeDirection, "12", "2.5", "0", "8")
      .Baseline("1", "12", "297.711", "528.498", "-312.486", "1.1E-05", "2E-06", "-3E-06", "1.2E-05", "4E-06", "1.3E-05")
      .Baseline("12", "9999", "-1234.5678", "-1199.75", "-600.575", ".000021", "-.0000045", "0", "2.2E-05", "-1E-06",
                "3.3E-05");
  return p;
}
std::string SampleFile(const std::string& path = "/datos/red.txt") { return Sample().File(path); }

// The tables as plain values, line of the file included.
using VertexRow = std::tuple<int, std::string, double, double, double, bool, double, double, int>;
using ClassicalRow = std::tuple<ObservationType, double, int, double, double, int>;
using GpsRow = std::tuple<double, int, double, double, double, double, double, double, double, double, double, int>;
using Tables = std::tuple<std::vector<VertexRow>, std::vector<ClassicalRow>, std::vector<GpsRow>>;

Tables TablesOf(const NetworkModel& m) {
  Tables t;
  for (const NetworkVertex& v : m.vertices)
    std::get<0>(t).emplace_back(v.number, v.kind, v.xM, v.yM, v.zM, v.deflectionUnknown, v.deflectionNsCc,
                                v.deflectionEwCc, v.line);
  for (const ClassicalObservation& o : m.classical)
    std::get<1>(t).emplace_back(o.type, o.from, o.to, o.value, o.stdDev, o.line);
  for (const GpsBaseline& b : m.baselines)
    std::get<2>(t).emplace_back(b.from, b.to, b.dxM, b.dyM, b.dzM, b.cxx, b.cxy, b.cxz, b.cyy, b.cyz, b.czz, b.line);
  return t;
}

// The sample's tables by hand (vertices on lines 8-10, observations 16-19, baselines 25, 28; target 2.5 -> 2).
Tables SampleTables() {
  using T = ObservationType;
  return {{{1, kKindFixed, 4849202.391, -360328.998, 4114913.186, false, 1.5, -2.25, 8},
           {12, kKindUnknown, 4849500.102, -359800.5, 4114600.7, true, 0, 0, 9},
           {9999, kKindFixed, 4850000, -361000.25, 4114000.125, false, 0, 0, 10}},
          {{T::Direction, 1, 12, 57.1234, 10, 16}, {T::Zenith, 1, 12, 99.8765, 15, 17},
           {T::Distance, 12, 9999, 1234.5678, 0.003, 18}, {T::Direction, 12, 2, 0, 8, 19}},
          {{1, 12, 297.711, 528.498, -312.486, 1.1E-05, 2E-06, -3E-06, 1.2E-05, 4E-06, 1.3E-05, 25},
           {12, 9999, -1234.5678, -1199.75, -600.575, .000021, -.0000045, 0, 2.2E-05, -1E-06, 3.3E-05, 28}}};
}

// A GPS block by hand: with its trailing blanks (3, 3, 2) line 2 starts at 109 and line 3 at 218.
std::string HandGpsBlock(const std::string& t3, const std::string& t2) {
  const std::string pad(33, ' ');
  return Cp1252("Línea base GPS de    3   a    4     IncrX:       10.5     Matriz v-c:         .1          .2") +
         "          .3" + t3 + "\r\n" + pad + "   IncrY:      -20.5" + std::string(29, ' ') + "        .4          .5" +
         t3 + "\r\n" + pad + "   IncrZ:       30.5" + std::string(41, ' ') + "        .6" + t2 + "\r\n";
}

// Equivalent texts give the same tables; a damaged record gives its message; then the load's steps.
TEST(LoadNetwork, TablesOrTheMessageOfADamagedRecordAndTheLoadsSteps) {
  std::string lastLine = Built(BuildClassicalLine({kTypeZenith, "3", "4", "100.5", "20"}));
  lastLine.resize(lastLine.find_last_not_of(" \r\n") + 1);
  const std::string good = SampleFile();
  const std::string kind = kLoadKindMismatchMessage;
  const std::string read = kLoadReadErrorMessage;
  const struct {
    const char* what;
    std::string text;
    Tables tables;
    std::string message;  // empty: the text is read
  } cases[] = {
      {"CR LF", good, SampleTables(), ""},
      {"LF only", Replaced(good, "\r", ""), SampleTables(), ""},
      {"keywords in the path", SampleFile(Cp1252("C:\\Punto (Fijo)\\Geométrica Línea base GPS.txt")), SampleTables(),
       ""},
      {"a trimmed last line", lastLine, Tables{{}, {{ObservationType::Zenith, 3, 4, 100.5, 20, 1}}, {}}, ""},
      {"GPS block by hand", HandGpsBlock("   ", "  "),
       Tables{{}, {}, {{3, 4, 10.5, -20.5, 30.5, .1, .2, .3, .4, .5, .6, 1}}}, ""},
      {"kind misspelt", Replaced(good, "(Fijo)", "(Fixo)"), {}, kind},
      {"número de vértice no numérico", Replaced(good, "Punto   1 ", "Punto  1a "), {}, read},
      {"número de cinco cifras", Replaced(good, "Punto   1 ", "Punto12345"), {}, read},
      {"número de vértice fuera de 16 bits", Replaced(good, "Punto   1 ", "Punto4E10 "), {}, read},
      {"vértice visado fuera de 16 bits", Replaced(good, "a     12  ", "a   9E99  "), {}, read},
      {"coordenada infinita", Replaced(good, " 4849202.391", "      1E999 "), {}, read},
      {"línea de vértice cortada", good.substr(0, good.find(kClassicalSectionTitle)) + Sample().vertices.substr(0, 100),
       {}, read},
      {"GPS block trimmed", HandGpsBlock("", ""), {}, read},
      {"Punto at the end", good + "Punto", {}, kind},
      {"Geométrica at the end", good + Cp1252("Geométrica"), {}, read},
      {"GPS keyword at the end", good + Cp1252("Línea base GPS"), {}, read},
  };
  for (const auto& c : cases) {
    const Result<NetworkModel> scanned = ScanProjectText(c.text);
    ASSERT_EQ(scanned.ok() ? "" : scanned.error(), c.message) << c.what;
    EXPECT_EQ(scanned.ok() ? TablesOf(*scanned) : Tables{}, c.tables) << c.what;
  }

  // The load: text handed over once read (size flag), sketch at 80; a failure gives its message after what it read.
  using Events = std::vector<std::string>;
  const auto padded = [&good](std::size_t size) { return good + std::string(size - good.size(), ' '); };
  const std::string reading = "S:" + kLoadStatusReading;
  const auto loadedEvents = [&reading](const std::string& textEvent) {
    return Events{"P0", reading, textEvent, "P15", "P40", "P80", "S:" + kLoadStatusDrawing, "sketch 3", "P100", "S:", "P0"};
  };
  const std::string missing = (korvo::testing::TestTempRoot() / "load" / "no-existe.txt").string();
  const struct {
    const char* name;
    std::string bytes, message;  // no bytes: the file is not written
    Events events;
  } loads[] = {
      {"casi.txt", padded(kProjectDisplayLimit - 1), "", loadedEvents("text 31999")},
      {"grande.txt", padded(kProjectDisplayLimit), "", loadedEvents("text 32000 too big")},
      {"no-existe.txt", "", UnreadableProjectMessage(missing, SystemErrorText(ENOENT)), {"P0", reading}},
      {"kinds.txt", "Punto   1 (roto)\r\n", kLoadKindMismatchMessage, {"P0", reading, "text 18"}},
  };
  for (const auto& load : loads) {
    SCOPED_TRACE(load.name);
    const std::filesystem::path path = korvo::testing::TestTempRoot() / "load" / load.name;
    if (!load.bytes.empty()) korvo::testing::WriteTempFile(std::string("load/") + load.name, load.bytes);
    // Progress ("P<percent>"), status ("S:<text>") and the two window steps, in order.
    korvo::testing::ProgressRecorder recorder;
    LoadSteps steps;
    steps.textRead = [&](const std::string& shown, bool tooBig) {
      recorder.events.push_back("text " + std::to_string(shown.size()) + (tooBig ? " too big" : ""));
    };
    steps.drawSketch = [&](const NetworkModel& m) {
      recorder.events.push_back("sketch " + std::to_string(m.VertexCount()));
    };
    const Result<LoadedNetwork> loaded = LoadNetwork(path.string(), recorder.Sink(), steps);
    EXPECT_EQ(recorder.events, load.events);
    ASSERT_EQ(loaded.ok() ? "" : loaded.error(), load.message);
    if (!loaded.ok()) continue;
    EXPECT_EQ(loaded->projectText, load.bytes);
    EXPECT_EQ(loaded->projectTooBig, load.bytes.size() >= 32000u);
    EXPECT_EQ(TablesOf(loaded->model), SampleTables());
    EXPECT_NEAR(loaded->model.vertices[0].latitudeDeg, 40.429161756356926, 1e-9);  // CartConvert -r
  }
}

}  // namespace
}  // namespace korvo
