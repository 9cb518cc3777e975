#pragma once
// The sections that the network report and the imported report share, written once: the
// unit-weight estimators, the three variance-covariance matrices, the reliability table and
// the external reliability vectors. The two reports differ only in decimals and in the
// widths of a few labels, which a PrecisionSectionStyle carries.
//
// Numbers are CutNumberText in right-aligned fields (report/number_column.h); matrices and
// vectors write "," as ".". Windows-1252, CR LF.

#include <cstddef>
#include <string>

#include "common/text.h"
#include "engine/least_squares.h"

namespace korvo {

struct PrecisionSectionStyle {
  int decimals = 4;                        // reliability figures and vectors
  std::string observableHead;         // first heading of the reliability table
  std::string residualHead;           // its residual heading
  std::size_t residualWidth = 12;          // field of the residual column
  std::string residualGap;            // blanks after it
  bool observableLabelBlank = false;       // reliability rows number with a leading blank
  std::string parameterHead;          // first heading of the vectors
  std::size_t observationHeadWidth = 5;    // "Observ." number field
  std::size_t parameterLabelWidth = 9;     // row label field of the vectors
};

// Network report: 4 decimals, plain numbers.
const PrecisionSectionStyle& NetworkPrecisionStyle();
// Imported report: 9 decimals, numbers as the general numeric text writes them.
const PrecisionSectionStyle& ImportedPrecisionStyle();

// "Estimador de la varianza de la medida de peso unidad: ..." and the deviation, 9 decimals.
void AppendUnitWeightEstimators(TextBuilder& out, const LeastSquaresResults& ls);

// The three matrices (Cxx, ĈLL, Cvv; 9 decimals), "FIABILIDAD" and "Vectores de fiabilidad
// externa", for n observations and m unknowns.
void AppendPrecisionSections(TextBuilder& out, const LeastSquaresResults& ls, int n, int m,
                             const PrecisionSectionStyle& style);

// A rough size of those sections, so a report is allocated once: the matrices and the
// vectors dominate with 14 characters per cell.
std::size_t PrecisionSectionsBytes(int n, int m);

}  // namespace korvo
