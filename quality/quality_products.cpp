#include "quality/quality_products.h"

#include <cmath>
#include <ctime>
#include <nlohmann/json.hpp>

#include "common/text.h"
#include "common/win1252.h"
#include "quality/fixed_text.h"

namespace korvo {

const char* const kPointsCsvHeader =
    "number,fixed,latitude,longitude,height,zone,easting,northing,sigma_east,sigma_north,sigma_up,a95,b95,azimuth";

namespace {

const std::string kLineEnd(kCrLf);

// Kind names as the JSON and the report give them (UTF-8).
const char* KindNameUtf8(RowKind kind) {
  switch (kind) {
    case RowKind::Direction: return "Dirección";
    case RowKind::Zenith: return "Cenital";
    case RowKind::Distance: return "Geométrica";
    case RowKind::GpsX:
    case RowKind::GpsY:
    case RowKind::GpsZ: return "GPS";
    case RowKind::Imported: break;
  }
  return "Fila";
}

// The observable as the results file names it: "Dirección 1-2", "GPS 1-2 X", "Fila 7".
std::string RowLabel(const RowTest& row) {
  if (row.kind == RowKind::Imported) return "Fila " + std::to_string(row.row);
  std::string label = Cp1252(KindNameUtf8(row.kind)) + " " + std::to_string(row.fromNumber) + "-" +
                      std::to_string(row.toNumber);
  if (row.component != 0) label += std::string(" ") + row.component;
  return label;
}

std::string BaselineLabel(const BaselineTest& baseline) {
  return "GPS " + std::to_string(baseline.fromNumber) + "-" + std::to_string(baseline.toNumber);
}

// A number in a column of `width` characters; a number wider than its column is written
// whole after one blank, so neighbouring columns never run together.
std::string Column(double value, int decimals, int width) {
  std::string text = FixedText(value, decimals, width);
  if (text.front() != ' ') text.insert(0, 1, ' ');
  return text;
}

std::string Optional(const std::optional<double>& value, int decimals, int width) {
  return value ? Column(*value, decimals, width) : PadLeft("-", static_cast<std::size_t>(width));
}

// Degrees as  d° m' s.sssss" with the sign in front, seconds rounded to 5 decimals.
std::string DmsText(double degrees) {
  const bool negative = degrees < 0.0;
  const double units = std::round(std::fabs(degrees) * 3600.0 * 1e5);  // 1e-5 arc seconds
  const auto total = static_cast<long long>(units);
  const long long wholeSeconds = total / 100000;
  const long long fraction = total % 100000;
  const long long d = wholeSeconds / 3600;
  const long long m = (wholeSeconds / 60) % 60;
  const long long s = wholeSeconds % 60;
  std::string fractionDigits = std::to_string(fraction);
  fractionDigits.insert(0, 5 - fractionDigits.size(), '0');
  std::string text = (negative ? "-" : "") + std::to_string(d) + Cp1252("°") + (m < 10 ? "0" : "") +
                     std::to_string(m) + "'" + (s < 10 ? "0" : "") + std::to_string(s) + "." + fractionDigits + "\"";
  return PadLeft(text, 18);
}

void Title(std::string& out, const std::string& utf8Title) {
  const std::string title = Cp1252(utf8Title);
  out += kLineEnd + kLineEnd + title + kLineEnd + std::string(title.size(), '=') + kLineEnd + kLineEnd;
}

void Line(std::string& out, const std::string& cp1252Text) { out += cp1252Text + kLineEnd; }

// "  label ......... " to a fixed width, so the values of a block line up.
std::string Dotted(const std::string& utf8Label) {
  std::string text = "  " + Cp1252(utf8Label) + " ";
  if (text.size() < 50) text.append(50 - text.size(), '.');
  return text;
}

void GlobalTestSection(std::string& out, const QualityAnalysis& q) {
  Title(out, "PRUEBA GLOBAL DEL MODELO");
  Line(out, Dotted("Desviación típica a posteriori s0 (-)") + Column(q.sigma0, 4, 14));
  Line(out, Dotted("Grados de libertad f = n - m") +
                PadLeft(std::to_string(q.degreesOfFreedom), 14) + "   (n = " + std::to_string(q.n) +
                ", m = " + std::to_string(q.m) + ")");
  Line(out, Dotted("Suma ponderada de residuos vtPv (-)") + Column(q.vtpv, 4, 14));
  Line(out, Dotted("Intervalo de aceptación chi2(f) al 95 % (-)") + Column(q.globalTest.lower, 4, 14) +
                " - " + FixedText(q.globalTest.upper, 4));
  Line(out, Dotted("Resultado") +
                PadLeft(q.globalTest.passed ? "ACEPTADA" : "RECHAZADA", 14));
  out += kLineEnd;
  if (q.globalTest.passed) {
    Line(out, Cp1252("  Los residuos concuerdan con las precisiones a priori de las observaciones."));
  } else if (q.vtpv > q.globalTest.upper) {
    Line(out, Cp1252("  Los residuos son mayores de lo que permiten las precisiones a priori: hay errores"));
    Line(out, Cp1252("  groseros o las desviaciones típicas de las observaciones son optimistas."));
  } else {
    Line(out, Cp1252("  Los residuos son menores de lo que permiten las precisiones a priori: las"));
    Line(out, Cp1252("  desviaciones típicas de las observaciones son pesimistas."));
  }
}

void CoordinatesSection(std::string& out, const QualityAnalysis& q) {
  Title(out, "COORDENADAS COMPENSADAS");
  Line(out, Cp1252("  Elipsoide WGS84; UTM en el huso propio de cada vértice."));
  out += kLineEnd;
  Line(out, PadLeft(Cp1252("Vértice"), 9) + " " + PadRight("Tipo", 6) + PadLeft("X (m)", 15) + "  " +
                PadLeft("Y (m)", 15) + "  " + PadLeft("Z (m)", 15) + " " + PadLeft("Latitud (g m s)", 18) + " " +
                PadLeft("Longitud (g m s)", 18) + " " + PadLeft("h (m)", 14) + PadLeft("Huso", 5) + " " +
                PadLeft("E (m)", 14) + "  " + PadLeft("N (m)", 14));
  for (const PointQuality& p : q.points) {
    Line(out, PadLeft(std::to_string(p.number), 9) + " " + PadRight(p.fixed ? "Fijo" : Cp1252("Incóg."), 6) +
                  Column(p.xM, 4, 15) + "  " + Column(p.yM, 4, 15) + "  " + Column(p.zM, 4, 15) + " " +
                  DmsText(p.latitudeDeg) + " " + DmsText(p.longitudeDeg) + " " + Column(p.heightM, 4, 14) +
                  PadLeft(std::to_string(p.utmZone), 5) + " " + Column(p.eastingM, 4, 14) + "  " +
                  Column(p.northingM, 4, 14));
  }
}

void PrecisionSection(std::string& out, const QualityAnalysis& q) {
  Title(out, "PRECISIÓN DE LOS VÉRTICES");
  Line(out, Cp1252("  Desviaciones típicas (s) en este, norte y altura locales; elipse típica y al 95 %:"));
  Line(out, Cp1252("  semiejes a, b y acimut del semieje mayor desde el norte (gon). Vértices fijos: cero."));
  out += kLineEnd;
  Line(out, Cp1252("  Vértice    sE (m)    sN (m)    sU (m)     a (m)     b (m)  Az (gon)   a95 (m)   b95 (m)"
                   "  Az (gon)  sU95 (m)"));
  for (const PointQuality& p : q.points) {
    Line(out, PadLeft(std::to_string(p.number), 9) + Column(p.sigmaEastM, 4, 10) + Column(p.sigmaNorthM, 4, 10) +
                  Column(p.sigmaUpM, 4, 10) + Column(p.ellipse.a, 4, 10) + Column(p.ellipse.b, 4, 10) +
                  Column(p.ellipse.azimuthGon, 4, 10) + Column(p.ellipse95.a, 4, 10) +
                  Column(p.ellipse95.b, 4, 10) + Column(p.ellipse95.azimuthGon, 4, 10) +
                  Column(p.sigmaUp95M, 4, 10));
  }
}

void RelativeSection(std::string& out, const QualityAnalysis& q) {
  Title(out, "PRECISIÓN RELATIVA");
  Line(out, Cp1252("  Pares de vértices observados entre sí; ejes locales en el vértice Desde."));
  out += kLineEnd;
  Line(out, Cp1252("    Desde    Hasta  Distancia (m)    sD (m)  sD (ppm)     a (m)     b (m)  Az (gon)    sU (m)"));
  for (const RelativePrecision& r : q.relative) {
    Line(out, PadLeft(std::to_string(r.fromNumber), 9) + PadLeft(std::to_string(r.toNumber), 9) +
                  Column(r.distanceM, 4, 15) + Column(r.sigmaDistanceM, 4, 10) + Column(r.ppm, 2, 10) +
                  Column(r.ellipse.a, 4, 10) + Column(r.ellipse.b, 4, 10) +
                  Column(r.ellipse.azimuthGon, 4, 10) + Column(r.sigmaUpM, 4, 10));
  }
}

void TestsSection(std::string& out, const QualityAnalysis& q) {
  Title(out, "PRUEBAS DE LAS OBSERVACIONES");
  Line(out, Cp1252("  w = residuo / desviación típica a priori del residuo (sospechosa, *, si |w| > ") +
                FixedText(q.criticalW, 2) + ")");
  Line(out, Cp1252("  tau = w / s0; valor crítico de Pope: ") +
                (q.criticalTau ? FixedText(*q.criticalTau, 3) : std::string("-")) +
                Cp1252(". s0 sin: s0 de la red sin esa observación."));
  out += kLineEnd;
  Line(out, Cp1252("   Fila Observable               Residuo (m/cc)         w       tau         r   MDE (m/cc)"
                   "  s0 sin (-)"));
  for (const RowTest& row : q.rows) {
    Line(out, PadLeft(std::to_string(row.row), 7) + " " + PadRight(RowLabel(row), 24) +
                  Column(row.residual, 4, 15) + Optional(row.w, 3, 10) + Optional(row.tau, 3, 10) +
                  Column(row.redundancy, 3, 10) + Optional(row.mde, 4, 13) + Optional(row.sigma0Without, 4, 12) +
                  (row.flag ? "  *" : ""));
  }
  if (q.baselines.empty()) return;
  out += kLineEnd;
  Line(out, Cp1252("  Líneas GPS: T = v' Qvv^-1 v de sus tres componentes (sospechosa, *, si T > ") +
                FixedText(q.criticalBaseline, 2) + ")");
  out += kLineEnd;
  Line(out, Cp1252("   Fila Línea                              T  s0 sin (-)"));
  for (const BaselineTest& b : q.baselines) {
    Line(out, PadLeft(std::to_string(b.firstRow), 7) + " " + PadRight(BaselineLabel(b), 24) +
                  Optional(b.statistic, 3, 15) + Optional(b.sigma0Without, 4, 12) + (b.flag ? "  *" : ""));
  }
}

void SuspectsSection(std::string& out, const QualityAnalysis& q) {
  Title(out, "OBSERVACIONES SOSPECHOSAS");
  const std::vector<int> order = SuspectOrder(q);
  if (order.empty()) {
    Line(out, Cp1252("  Ninguna observación supera el valor crítico: no se detectan errores groseros."));
    return;
  }
  Line(out, Cp1252("  Ordenadas de mayor a menor |w| (líneas GPS por T/3), con la s0 que tendría la red sin ellas."));
  out += kLineEnd;
  Line(out, Cp1252("   Fila Observable                     |w| o T/3  s0 sin (-)"));
  for (int entry : order) {
    if (entry >= 0) {
      const RowTest& row = q.rows[static_cast<std::size_t>(entry)];
      Line(out, PadLeft(std::to_string(row.row), 7) + " " + PadRight(RowLabel(row), 24) +
                    Column(std::fabs(*row.w), 3, 15) + Optional(row.sigma0Without, 4, 12));
    } else {
      const BaselineTest& b = q.baselines[static_cast<std::size_t>(-1 - entry)];
      Line(out, PadLeft(std::to_string(b.firstRow), 7) + " " + PadRight(BaselineLabel(b), 24) +
                    Column(*b.statistic / 3.0, 3, 15) + Optional(b.sigma0Without, 4, 12));
    }
  }
}

nlohmann::json OrNull(const std::optional<double>& value) {
  return value ? nlohmann::json(*value) : nlohmann::json(nullptr);
}

nlohmann::json EllipseJson(const Ellipse& e) { return {{"a", e.a}, {"b", e.b}, {"azimuth", e.azimuthGon}}; }

nlohmann::json EstimateJson(const RobustEstimate& estimate) {
  return {{"sigma", estimate.sigma},
          {"iterations", estimate.iterations},
          {"corrections", std::vector<double>(estimate.corrections.begin() + (estimate.corrections.empty() ? 0 : 1),
                                              estimate.corrections.end())},
          {"residuals", std::vector<double>(estimate.residuals.begin() + (estimate.residuals.empty() ? 0 : 1),
                                            estimate.residuals.end())}};
}

}  // namespace

std::string BuildQualityReport(const QualityAnalysis& analysis, const QualityReportHeading& heading) {
  std::string out;
  out.reserve(512 + 160 * (analysis.rows.size() + 2 * analysis.points.size() + analysis.relative.size()));
  Line(out, Cp1252("ANÁLISIS DE CALIDAD DEL AJUSTE"));
  Line(out, "Proyecto: " + heading.project);
  Line(out, "Fecha: " + heading.dateText);
  GlobalTestSection(out, analysis);
  if (!analysis.points.empty()) {
    CoordinatesSection(out, analysis);
    PrecisionSection(out, analysis);
    RelativeSection(out, analysis);
  }
  TestsSection(out, analysis);
  SuspectsSection(out, analysis);
  return out;
}

std::string BuildQualityJson(const QualityAnalysis& q, const RobustResults& robust) {
  using nlohmann::json;
  json observations = json::array();
  for (const RowTest& row : q.rows) {
    const bool network = row.kind != RowKind::Imported;
    observations.push_back({{"row", row.row},
                            {"kind", KindNameUtf8(row.kind)},
                            {"from", network ? json(row.fromNumber) : json(nullptr)},
                            {"to", network ? json(row.toNumber) : json(nullptr)},
                            {"component", row.component != 0 ? json(std::string(1, row.component)) : json(nullptr)},
                            {"residual", row.residual},
                            {"redundancy", row.redundancy},
                            {"mde", OrNull(row.mde)},
                            {"w", OrNull(row.w)},
                            {"tau", OrNull(row.tau)},
                            {"flag", row.flag},
                            {"sigma0_without", OrNull(row.sigma0Without)}});
  }
  json baselines = json::array();
  for (const BaselineTest& b : q.baselines) {
    baselines.push_back({{"first_row", b.firstRow},
                         {"from", b.fromNumber},
                         {"to", b.toNumber},
                         {"statistic", OrNull(b.statistic)},
                         {"flag", b.flag},
                         {"sigma0_without", OrNull(b.sigma0Without)}});
  }
  json points = json::array();
  for (const PointQuality& p : q.points) {
    points.push_back({{"number", p.number},
                      {"fixed", p.fixed},
                      {"x", p.xM},
                      {"y", p.yM},
                      {"z", p.zM},
                      {"latitude", p.latitudeDeg},
                      {"longitude", p.longitudeDeg},
                      {"height", p.heightM},
                      {"utm_zone", p.utmZone},
                      {"easting", p.eastingM},
                      {"northing", p.northingM},
                      {"sigma_east", p.sigmaEastM},
                      {"sigma_north", p.sigmaNorthM},
                      {"sigma_up", p.sigmaUpM},
                      {"sigma_up_95", p.sigmaUp95M},
                      {"ellipse", EllipseJson(p.ellipse)},
                      {"ellipse_95", EllipseJson(p.ellipse95)},
                      {"ellipsoid_95", {{"axes", p.ellipsoid95}}}});
  }
  json relative = json::array();
  for (const RelativePrecision& r : q.relative) {
    relative.push_back({{"from", r.fromNumber},
                        {"to", r.toNumber},
                        {"distance", r.distanceM},
                        {"sigma_distance", r.sigmaDistanceM},
                        {"ppm", r.ppm},
                        {"ellipse", EllipseJson(r.ellipse)},
                        {"sigma_up", r.sigmaUpM}});
  }
  json robustJson = json::object();
  if (robust.huber) robustJson["huber"] = EstimateJson(*robust.huber);
  if (robust.lp) robustJson["lp"] = EstimateJson(*robust.lp);
  if (robust.l1) robustJson["l1"] = EstimateJson(*robust.l1);

  const json document = {{"n", q.n},
                         {"m", q.m},
                         {"degrees_of_freedom", q.degreesOfFreedom},
                         {"sigma0", q.sigma0},
                         {"vtpv", q.vtpv},
                         {"global_test",
                          {{"statistic", q.globalTest.statistic},
                           {"lower", q.globalTest.lower},
                           {"upper", q.globalTest.upper},
                           {"alpha", q.globalTest.alpha},
                           {"passed", q.globalTest.passed}}},
                         {"critical_values", {{"w", q.criticalW}, {"tau", OrNull(q.criticalTau)}, {"baseline", q.criticalBaseline}}},
                         {"observations", std::move(observations)},
                         {"baselines", std::move(baselines)},
                         {"points", std::move(points)},
                         {"relative", std::move(relative)},
                         {"robust", std::move(robustJson)}};
  return document.dump(1, '\t') + "\n";
}

std::string BuildPointsCsv(const QualityAnalysis& analysis) {
  std::string out = std::string(kPointsCsvHeader) + kLineEnd;
  for (const PointQuality& p : analysis.points) {
    out += std::to_string(p.number) + "," + (p.fixed ? "1" : "0") + "," + FixedText(p.latitudeDeg, 10) + "," +
           FixedText(p.longitudeDeg, 10) + "," + FixedText(p.heightM, 4) + "," + std::to_string(p.utmZone) + "," +
           FixedText(p.eastingM, 4) + "," + FixedText(p.northingM, 4) + "," + FixedText(p.sigmaEastM, 4) + "," +
           FixedText(p.sigmaNorthM, 4) + "," + FixedText(p.sigmaUpM, 4) + "," + FixedText(p.ellipse95.a, 4) + "," +
           FixedText(p.ellipse95.b, 4) + "," + FixedText(p.ellipse95.azimuthGon, 4) + kLineEnd;
  }
  return out;
}

}  // namespace korvo

namespace korvo {

std::string QualityFileBytes(QualityFileKind kind, const QualityAnalysis& analysis, const RobustResults& robust,
                             const QualityReportHeading& heading) {
  switch (kind) {
    case QualityFileKind::Report: return BuildQualityReport(analysis, heading);
    case QualityFileKind::Json: return BuildQualityJson(analysis, robust);
    case QualityFileKind::PointsCsv: break;
  }
  return BuildPointsCsv(analysis);
}

std::string QualityDateNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
  return text;
}

}  // namespace korvo
