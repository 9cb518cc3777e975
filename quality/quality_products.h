#pragma once
// The three files of the quality analysis: the quality report a surveyor reads (Windows-1252,
// CR LF, fixed columns), the JSON document other programs read (UTF-8) and the CSV of points
// for GIS and CAD (UTF-8). They are built from a QualityAnalysis (and, for the JSON, the
// robust estimates) and change nothing else.
//
// JSON schema (README.md, "Análisis de calidad"): n, m, degrees_of_freedom, sigma0, vtpv,
// global_test {statistic, lower, upper, alpha, passed}, critical_values {w, tau, baseline},
// observations [...], baselines [...], points [...], relative [...], robust {huber, lp, l1}.
// Numbers at full double precision; null where a value is undefined.

#include <string>

#include "engine/robust_stage.h"
#include "quality/quality_analysis.h"

namespace korvo {

// What heads the quality report (Windows-1252): the project's name and the date and time.
struct QualityReportHeading {
  std::string project;
  std::string dateText;
};

// The quality report, Windows-1252 with CR LF.
std::string BuildQualityReport(const QualityAnalysis& analysis, const QualityReportHeading& heading);

// The JSON document (UTF-8, one object, LF at the end).
std::string BuildQualityJson(const QualityAnalysis& analysis, const RobustResults& robust);

// The CSV of points (UTF-8, comma-separated, CR LF, header line). Only the header for a
// system without points.
std::string BuildPointsCsv(const QualityAnalysis& analysis);

// The three files by kind, for the commands and the window that write them.
enum class QualityFileKind { Report, Json, PointsCsv };
std::string QualityFileBytes(QualityFileKind kind, const QualityAnalysis& analysis, const RobustResults& robust,
                             const QualityReportHeading& heading);

// "2026-12-06 14:37" for the report heading, from the local time now.
std::string QualityDateNow();

// The heading of the CSV, without its line end.
extern const char* const kPointsCsvHeader;

}  // namespace korvo
