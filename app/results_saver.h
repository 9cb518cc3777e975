#pragma once
// The results save window "frmGuardar": after an adjustment it asks for the results file and
// writes the three report texts to it, confirming before it overwrites a file.

#include <QString>
#include <functional>
#include <string>

#include "app/dialog_service.h"
#include "common/result.h"

class QWidget;

namespace korvo {

struct ResultsTexts {
  std::string header;          // ResultsHeaderText (Windows-1252)
  std::string leastSquares;    // LsResultsText
  std::string robustComparison;  // RobustComparisonText
};

inline const QString kSaveResultsCaption = QStringLiteral("Guardar fichero de resultados");
inline const QString kSaveResultsDialogTitle = QStringLiteral("Ajuste realizado - Guardar fichero de salida");
inline const QString kSaveResultsFilter =
    QStringLiteral("Archivo de texto (*.txt)|*.txt|Todos los archivos (*.*)|*.*");

// Runs the save loop (SaveWithOverwriteCheck) for the results file. `suggestedPath` gives the
// name the dialog proposes. Returns the path written, or an empty text when cancelled.
QString SaveResultsFile(QWidget* parent, const ResultsTexts& texts, const QString& suggestedPath);

}  // namespace korvo
