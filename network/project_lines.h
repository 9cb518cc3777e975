#pragma once
// The fixed-column lines of a project file: one vertex line, one classical observation line
// and the three-line block of a GPS baseline. These are at once the display format of the
// entry lists, the storage format and what the loader scans.
//
// Every field text goes in exactly as typed (Windows-1252), right-aligned in its column with
// leading blanks. A text longer than its column, a line break inside a field, or a kind or
// observation type that is not one of the known words is refused with a Spanish message
// naming the field: nothing here ever writes a broken fixed-column line.
//
// Column map (1-based columns, widths in characters):
//   vertex (106):    "Punto" number(4) " " "(kind)"(11) "  X =" X(12) "  Y =" Y(12)
//                    "  Z =" Z(12) "  D.V.NS =" NS(7) "  D.V.EW =" EW(7)
//   classical (106): type(10) " " " de " from(4) "    a   " to(4) "  " "     Valor: "
//                    value(10) "  " "     Desviación típica: " stdDev(6) 19 blanks
//   GPS block (107, 107, 106): see project_lines.cpp; its fields lie at fixed distances
//                    from the "L" of "Línea" (kGps...Offset below).

#include <cstddef>
#include <string>

#include "common/result.h"

namespace korvo {

struct VertexLineFields {
  std::string number, kind, x, y, z, deflectionNs, deflectionEw;
  bool deflectionUnknown = false;  // writes six blanks and "?" in both deflection fields
};

struct ClassicalLineFields {
  std::string type, from, to, value, stdDev;
};

struct GpsBlockFields {
  std::string from, to, dx, dy, dz, cxx, cxy, cxz, cyy, cyz, czz;
};

// Line lengths without the CR LF.
inline constexpr std::size_t kVertexLineLength = 106;
inline constexpr std::size_t kClassicalLineLength = 106;
inline constexpr std::size_t kGpsBlockLength = 326;  // three lines with their CR LF

// Field widths.
inline constexpr std::size_t kVertexNumberWidth = 4;
inline constexpr std::size_t kCoordinateWidth = 12;
inline constexpr std::size_t kDeflectionWidth = 7;
inline constexpr std::size_t kObservedValueWidth = 10;
inline constexpr std::size_t kStdDevWidth = 6;
inline constexpr std::size_t kBaselineFieldWidth = 10;

// 0-based offsets of the vertex line's fields from the "P" of "Punto".
inline constexpr std::size_t kVertexNumberOffset = 5;
inline constexpr std::size_t kVertexKindOffset = 11;  // 9 characters: the kind, "(" or blanks before it
inline constexpr std::size_t kVertexKindWidth = 9;
inline constexpr std::size_t kVertexXOffset = 26;
inline constexpr std::size_t kVertexYOffset = 43;
inline constexpr std::size_t kVertexZOffset = 60;
inline constexpr std::size_t kVertexNsOffset = 82;
inline constexpr std::size_t kVertexEwOffset = 99;

// 0-based offsets of the classical line's fields from the end of its type keyword.
inline constexpr std::size_t kClassicalFromOffset = 5;
inline constexpr std::size_t kClassicalToOffset = 17;
inline constexpr std::size_t kClassicalValueOffset = 35;
inline constexpr std::size_t kClassicalStdDevOffset = 71;

// 0-based offsets of the GPS block's fields from the "L" of "Línea base GPS".
inline constexpr std::size_t kGpsFromOffset = 18;
inline constexpr std::size_t kGpsToOffset = 27;
inline constexpr std::size_t kGpsDxOffset = 43;
inline constexpr std::size_t kGpsCxxOffset = 70;
inline constexpr std::size_t kGpsCxyOffset = 82;
inline constexpr std::size_t kGpsCxzOffset = 94;
inline constexpr std::size_t kGpsDyOffset = 152;
inline constexpr std::size_t kGpsCyyOffset = 191;
inline constexpr std::size_t kGpsCyzOffset = 203;
inline constexpr std::size_t kGpsDzOffset = 261;
inline constexpr std::size_t kGpsCzzOffset = 312;

// Record keywords (Windows-1252).
extern const std::string kVertexKeyword;    // "Punto"
extern const std::string kBaselineKeyword;  // "Línea base GPS"

// One 106-character vertex line followed by CR LF.
Result<std::string> BuildVertexLine(const VertexLineFields& fields);
// One 106-character classical observation line followed by CR LF.
Result<std::string> BuildClassicalLine(const ClassicalLineFields& fields);
// Three lines of 107, 107 and 106 characters, each followed by CR LF (326 bytes).
Result<std::string> BuildGpsBlock(const GpsBlockFields& fields);

}  // namespace korvo
