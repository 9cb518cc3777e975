#pragma once
// The file choosers opened from the entry windows, "frmAbrirwave" for a WAVE report and
// "frmAbririmp" for the matrix files. Both are the project chooser (drive list drvBox1,
// folder list dirBox1, file list File1, name field Text1, btnAceptar, btnCancelar) with their
// own name, caption and labels. Accepting reports folder + separator + the file list's
// selected name.

#include <QString>
#include <functional>

class QWidget;

namespace korvo {

class ProjectChooser;

// frmAbrirwave, with the explanation of what is imported and the label "&Nombre del proyecto:".
ProjectChooser* NewWaveReportChooser(QWidget* parent, std::function<void(const QString&)> onChosen);

// frmAbririmp; its name label is given each time it is shown.
ProjectChooser* NewMatrixFileChooser(QWidget* parent, std::function<void(const QString&)> onChosen);

// Shows a chooser modelessly as it is each time it loads (lists in the application's folder)
// with the caption of its kind: " Abrir fichero de texto de WAVE" or "Abrir fichero de
// importación". A non-empty `nameLabel` replaces the label of the name field.
void ShowChooser(ProjectChooser* chooser, const QString& nameLabel = QString());

}  // namespace korvo
