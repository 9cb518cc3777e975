// korvo-cli end to end: exit code, standard output and error, and the files left on disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/win1252.h"
#include "support/files.h"
#include "support/project_text.h"

namespace korvo {
namespace {

namespace fs = std::filesystem;
using testing::FolderFiles;

struct Expect {
  std::string path;       // "out", "err" or a file in the scratch folder
  std::string text;       // UTF-8 for out and err, Windows-1252 is compared for files
  enum { Contains, Lacks, StartsWith, EndsWith, Equals, Missing } how = Contains;
};

struct Command {
  const char* what;
  // {D} the scratch folder, {S} {W} the example project and report, {A} {K} {P} the matrices
  std::string arguments;
  FolderFiles files;      // written into the scratch folder first
  int exitCode;
  std::vector<Expect> expects;
};

std::string Expand(const std::string& text, const fs::path& dir) {
  std::string out = testing::ReplacedAll(text, "{S}", testing::Example("red_ejemplo.txt").string());
  out = testing::ReplacedAll(out, "{W}", testing::Example("informe_wave.txt").string());
  for (const auto& [name, file] : {std::pair{"{A}", "a.txt"}, {"{K}", "k.txt"}, {"{P}", "p.txt"}}) {
    out = testing::ReplacedAll(out, name, std::string("{D}/") + file);
  }
  return testing::InFolder(out, dir);
}

// The mean of six values, the last one a gross error.
const FolderFiles kMatrices = {
    {"a.txt", "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"},
    {"k.txt", "10.001\r\n9.999\r\n10.002\r\n9.998\r\n10.000\r\n10.5\r\n"},
    {"p.txt", "1E6 0 0 0 0 0\r\n0 1E6 0 0 0 0\r\n0 0 1E6 0 0 0\r\n0 0 0 1E6 0 0\r\n0 0 0 0 1E6 0\r\n0 0 0 0 0 1E6\r\n"}};

FolderFiles With(FolderFiles files, const std::string& name, const std::string& bytes) {
  files[name] = bytes;
  return files;
}

const std::string kLpLeftOut = "El método de mínimas normas Lp adaptadas no pudo calcularse: ";

TEST(Commands, Table) {
  const std::string sample = testing::ReadWholeFile(testing::Example("red_ejemplo.txt"));
  const std::string resultsStart = sample + "\r\n\r\n\r\n" + Cp1252("SISTEMA DE ECUACIONES DE OBSERVACIÓN");
  const std::string vertexSection = sample.substr(0, sample.find(Cp1252("OBSERVACIONES CLÁSICAS")));
  const std::string report = testing::ReadWholeFile(testing::Example("informe_wave.txt"));
  const std::string lastZ = "   Z       3.1000000E-07";
  const std::string cutReport = report.substr(0, report.rfind(lastZ) + lastZ.size());
  // The sample's baselines are exactly the coordinate differences: without its classical observations the
  // residuals are zero, so Lp cannot measure the kurtosis.
  testing::ProjectText exact = testing::ThreeVertexProject();
  exact.classical.clear();
  const std::vector<Command> commands = {
      {"cargar: summary of the example", "cargar \"{S}\"", {}, 0,
       {{"out", "Vértices: 11 (3 fijos, 8 incógnita; 1 con desviación de la vertical incógnita)"},
        {"out", "Observaciones clásicas: 67 (38 direcciones, 14 ángulos cenitales, 15 distancias geométricas)"},
        {"out", "Líneas base GPS: 7"},
        // Fixed vertices 1 and 11 (CartConvert -r: 40.978000000148000 -4.115000000829318, 40.987096639871893
        // -4.148197563542456): latitude to 9 decimals, longitude in single precision to 7.
        {"out", "\n      1  Fijo           40.978000000     -4.1149998  conocida\n"},
        {"out", "\n     11  Fijo           40.987096640     -4.1481977  conocida\n"},
        {"out", "\n      9  Incógnita  "}, {"out", "  incógnita\n"},
        {"err", "", Expect::Equals}}},
      {"cargar: missing file", "cargar /no/existe/red.txt", {}, 1,
       {{"out", "", Expect::Equals}, {"err", " ¡No se puede leer el fichero /no/existe/red.txt! No se encuentra el archivo o la carpeta.\n",
                                         Expect::Equals}}},
      {"cargar: no project", "cargar", {}, 2, {{"err", "cargar PROYECTO"}}},
      // Least squares only: project text, system, report, one CR LF at the very end, Windows-1252.
      {"calcular: results file", "calcular \"{S}\" -o \"{D}/r.txt\" --sin-robustos", {}, 0,
       {{"{D}/r.txt", resultsStart, Expect::StartsWith},
        {"{D}/r.txt", Cp1252("\r\n\r\n\r\n\r\nRESULTADOS DEL AJUSTE POR MÍNIMOS CUADRADOS\r\n")},
        {"{D}/r.txt", "  \r\n\r\n", Expect::EndsWith},
        {"{D}/r.txt", "\xC3\x93", Expect::Lacks},
        {"{D}/r.txt", "  k1-2"},
        {"out", "{D}/r.txt"}}},
      // Regression: a UTF-8 project with a byte-order mark is read as the plain file (the model is read from the text
      // the results file starts with).
      {"calcular: a UTF-8 project", "calcular \"{D}/u.txt\" --sin-robustos",
       {{"u.txt", "\xEF\xBB\xBF" + Cp1252ToUtf8(sample)}}, 0,
       {{"{D}/u_resultados.txt", resultsStart, Expect::StartsWith}}},
      {"calcular: --sobrescribir replaces the default results file beside the project",
       "calcular \"{D}/red.txt\" --sobrescribir --sin-robustos", {{"red.txt", sample}, {"red_resultados.txt", "anterior"}},
       0, {{"{D}/red_resultados.txt", sample, Expect::StartsWith}}},
      // Refraction unknowns "k<from>-<to>" per line, "k" for the network, none when fixed.
      {"calcular: one refraction coefficient", "calcular \"{S}\" -o \"{D}/r.txt\" --k-red --sin-robustos", {}, 0,
       {{"{D}/r.txt", "      k        "}, {"{D}/r.txt", "  k1-2", Expect::Lacks}}},
      {"calcular: fixed refraction", "calcular \"{S}\" -o \"{D}/r.txt\" --k-fijo 0.13 --sin-robustos", {}, 0,
       {{"{D}/r.txt", "      k        ", Expect::Lacks}, {"{D}/r.txt", "  k1-2", Expect::Lacks}}},
      {"calcular: an existing file is kept", "calcular \"{S}\" -o \"{D}/r.txt\"", {{"r.txt", "anterior"}}, 1,
       {{"err", "¡El Fichero ya existe!"}, {"{D}/r.txt", "anterior", Expect::Equals}}},
      {"calcular: no project", "calcular", {}, 2, {{"err", "Falta el fichero de datos del proyecto"}}},
      {"calcular: decimal comma", "calcular \"{S}\" --k-fijo 0,08", {}, 2, {{"err", "Use '.' como separador decimal"}}},
      {"calcular: option without value", "calcular \"{S}\" --k-fijo", {}, 2,
       {{"err", "Falta el valor de la opción --k-fijo"}}},
      {"calcular: limit not a number", "calcular \"{S}\" --max-iter-l1 diez", {}, 2, {{"err", "no es un número"}}},
      {"calcular: limit beyond 16 bits", "calcular \"{S}\" --max-iter-lp 40000", {}, 2,
       {{"err", "entre -32768 y 32767"}}},
      {"calcular: unknown option", "calcular \"{S}\" --desconocida", {}, 2,
       {{"err", "Opción desconocida: --desconocida"}}},
      {"calcular: extra argument", "calcular \"{S}\" otro.txt", {}, 2, {{"err", "Sobra el argumento: otro.txt"}}},
      // The results are written all the same, the estimator's sentence in the report and on standard error.
      {"calcular: an estimator that cannot run", "calcular \"{D}/exacta.txt\"",
       {{"exacta.txt", exact.File("exacta.txt")}}, 0,
       {{"err", kLpLeftOut, Expect::StartsWith},
        {"out", "Ajuste realizado"},
        {"{D}/exacta_resultados.txt", "Residuo Huber"},
        {"{D}/exacta_resultados.txt", Cp1252(kLpLeftOut)}}},
      {"calcular: no redundancy writes nothing", "calcular \"{D}/corto.txt\"",
       {{"corto.txt", vertexSection + Cp1252("OBSERVACIONES CLÁSICAS") + "\r\n\r\n" +
                          testing::Built(BuildClassicalLine({kTypeDistance, "1", "2", "3317.010", "0.003"})) +
                          "\r\n\r\n\r\nOBSERVACIONES GPS\r\n\r\n\r\n"}},
       // The vertices no observation reaches are named before any arithmetic.
       1, {{"err", "Los vértices 3, 4, 5, 6, 7, 8, 9, 10 son incógnita y ninguna observación"},
           {"{D}/corto_resultados.txt", "", Expect::Missing}}},
      // The least-squares residual of the blunder: mean 60.5/6, residual 10.0833 − 10.5.
      {"matrices: report of the imported system", "matrices \"{A}\" \"{K}\" \"{P}\" -o \"{D}/r.txt\"", kMatrices, 0,
       {{"{D}/r.txt", "\r\nMATRICES IMPORTADAS:\r\n    {A}\r\n", Expect::StartsWith},
        {"{D}/r.txt", Cp1252(" Observación      Residuo M.C.  Residuo Huber   Residuo Lp    Residuo L1  \r\n")},
        {"{D}/r.txt", "     6" + std::string(19, ' ') + "-.417  "},
        {"{D}/r.txt", "\r\n\r\n", Expect::EndsWith}}},
      {"matrices: least squares only", "matrices \"{A}\" \"{K}\" \"{P}\" --sin-robustos", kMatrices, 0,
       {{"out", "COMPARACI", Expect::Lacks}, {"out", "Vectores de fiabilidad externa"}}},
      {"matrices: L1 alone at its limit", "matrices \"{A}\" \"{K}\" \"{P}\" --sin-huber --sin-lp --max-iter-l1 0",
       kMatrices, 0,
       {{"out", "El método mínima norma L1 alcanzó el número máximo de iteraciones sin convergencia"},
        {"out", "Residuo Huber", Expect::Lacks}}},
      {"matrices: the output is an input", "matrices \"{A}\" \"{K}\" \"{P}\" -o \"{A}\" --sobrescribir", kMatrices, 1,
       {{"err", "es también un fichero de entrada"}, {"{A}", kMatrices.at("a.txt"), Expect::Equals}}},
      {"matrices: -o without its value", "matrices \"{A}\" \"{K}\" \"{P}\" -o", kMatrices, 2,
       {{"err", "Falta el valor de la opción -o."}}},
      {"matrices: bad limit", "matrices \"{A}\" \"{K}\" \"{P}\" --max-iter-lp diez", kMatrices, 2, {}},
      {"matrices: two files", "matrices \"{A}\" \"{K}\"", kMatrices, 2, {}},
      {"matrices: an estimator that cannot run", "matrices \"{A}\" \"{K}\" \"{P}\"",
       With(kMatrices, "k.txt", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"), 0,
       {{"err", kLpLeftOut, Expect::StartsWith},
        {"out", " Observación      Residuo M.C.  Residuo Huber   Residuo L1  \r\n"},
        {"out", kLpLeftOut}}},
      {"matrices: missing file", "matrices \"{A}\" \"{D}/falta.txt\" \"{P}\"", kMatrices, 1,
       {{"err", "¡ El fichero {D}/falta.txt no existe !\n", Expect::Equals}}},
      {"matrices: sizes that do not match", "matrices \"{A}\" \"{K}\" \"{P}\"",
       With(kMatrices, "k.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n"), 1,
       {{"err", "Matriz A: 6 x 1\nMatriz K: 5 x 1\nMatriz P: 6 x 6"}}},  // LF on a terminal
      {"matrices: vertex list from a project", "matrices \"{A}\" \"{K}\" \"{P}\" --vertices \"{S}\"", kMatrices, 0,
       {{"out", "Punto", Expect::StartsWith}, {"out", "MATRICES IMPORTADAS:"}}},
      {"wave: the GPS blocks of the example report", "wave \"{W}\"", {}, 0,
       {{"out", Cp1252ToUtf8(testing::Golden("wave_example_blocks.txt")), Expect::Equals}, {"err", "", Expect::Equals}}},
      // The blocks before the cut are printed, as the entry window keeps them.
      {"wave: a report cut in its last covariance block", "wave \"{D}/w.txt\"", {{"w.txt", cutReport}}, 1,
       {{"err", "El campo Cyz de la línea base 4 ("}, {"out", "Línea base GPS de 1001   a 1002", Expect::StartsWith}}},
      {"transformar: a file", "transformar \"{D}/e.txt\" \"{D}/s.txt\"", {{"e.txt", "3\r\n40.3,-3.3,700"}}, 0,
       {{"{D}/s.txt", "  457631.066, 4483452.284,   700.000;  -50980.563, ", Expect::StartsWith}}},
  };
  for (const Command& c : commands) {
    SCOPED_TRACE(c.what);
    const fs::path dir = testing::FolderWith("commands", c.files);
    const testing::CliRun run = testing::RunKorvoCli(Expand(c.arguments, dir));
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    for (const Expect& e : c.expects) {
      const std::string where = Expand(e.path, dir);
      const std::string text = Expand(e.text, dir);
      ASSERT_TRUE(where == "out" || where == "err" || e.how == Expect::Missing || fs::exists(where)) << where;
      const std::string got = where == "out" ? run.out : where == "err" ? run.err : testing::ReadWholeFile(where);
      switch (e.how) {
        case Expect::Contains: EXPECT_NE(got.find(text), std::string::npos) << where << ": " << text; break;
        case Expect::Lacks: EXPECT_EQ(got.find(text), std::string::npos) << where << ": " << text; break;
        case Expect::StartsWith: EXPECT_TRUE(got.starts_with(text)) << where << ": " << text; break;
        case Expect::EndsWith: EXPECT_TRUE(got.ends_with(text)) << where << ": " << text; break;
        case Expect::Equals: EXPECT_EQ(got, text) << where; break;
        case Expect::Missing: EXPECT_FALSE(fs::exists(where)) << where; break;
      }
    }
  }
}

}  // namespace
}  // namespace korvo
