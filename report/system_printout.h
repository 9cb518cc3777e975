#pragma once
// The printout of the observation system and its weight matrix that opens the results file,
// after the project text: a header line naming every unknown, one line per equation with its
// coefficients and independent term, and the weight matrix.
//
// Every number is FormatRounded with 9 decimals, cut to 12 characters, "," written as ".",
// left-aligned in 12 characters and followed by two blanks: coefficient columns are 14
// characters wide, and so are the header parts above them.

#include <string>

#include "common/text.h"
#include "engine/observation_system.h"

namespace korvo {

// "SISTEMA DE ECUACIONES DE OBSERVACIÓN" with its line ends, as it follows the project text.
void AppendSystemTitle(TextBuilder& out, const std::string& projectText);

// The header line: one part per column of the layout ("dX", "dY", "dZ" of each unknown
// vertex, the refraction coefficient(s), "D.V.EW"/"D.V.NS" of each vertex with unknown
// deflection, "dDes" of each unknown orientation), then "Term.Ind." and a line end.
void AppendSystemHeaderLine(TextBuilder& out, const UnknownLayout& layout);

// One line per equation: the coefficients of A, eight blanks and the independent term.
void AppendSystemRows(TextBuilder& out, const ObservationSystem& system);

// "MATRIZ DE PESOS" and one line per row of P.
void AppendWeightText(TextBuilder& out, const ObservationSystem& system);

// The header of the compact report: the project text and, in place of the printed system
// and weights, one line saying that this is the compact form and why (n rows, m unknowns).
void AppendCompactHeader(TextBuilder& out, const std::string& projectText, int rows, int unknowns);
// That line alone, after two blank lines (an imported system's compact report puts it at the
// head of its least-squares part).
void AppendCompactLine(TextBuilder& out, int rows, int unknowns);

}  // namespace korvo
