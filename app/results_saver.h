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
inline const QString kOverwriteQuestion =
    QStringLiteral(" ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? ");

// Runs the save dialog until the user picks a name (confirming an overwrite) or cancels, and
// writes the results file. A failed write is reported and the dialog comes back, so the
// results are not lost. `suggestedPath` is where the dialog starts. Returns the path written,
// or an empty text when cancelled.
QString SaveResultsFile(QWidget* parent, const ResultsTexts& texts, const QString& suggestedPath);

// The save workflow every file the main window writes goes through: the save dialog of
// `request` until the user picks a name (confirming an overwrite with kOverwriteQuestion) or
// cancels; then `write(path)`. A failed write shows its message and the dialog comes back.
// Returns the path written, or an empty text when cancelled.
QString SaveWithOverwrite(QWidget* parent, FileDialogRequest request, const std::function<Status(const QString&)>& write);

}  // namespace korvo
