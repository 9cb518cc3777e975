#pragma once
// The open and save dialogs as every window uses them: each purpose (projects, results, WAVE
// reports, matrices, coordinate files, the editor's texts) starts in the folder last used for
// it, remembered across runs, and every save goes through one loop that confirms an overwrite
// and, when the write fails, says why and offers the dialog again.

#include <QString>
#include <functional>
#include <optional>

#include "app/dialog_service.h"

class QWidget;

namespace korvo {

enum class FolderPurpose { kProjects, kResults, kWaveReports, kMatrices, kCoordinateFiles, kEditor };

inline const QString kOverwriteQuestion =
    QStringLiteral(" ¡El Fichero ya existe! \r\n ¿Desea sobreescribirlo? ");

// The folder last used for `purpose`, or an empty text when none is remembered or it no
// longer exists.
QString RememberedFolder(FolderPurpose purpose);
// Remembers the folder of `path` (a file, or a folder itself) for `purpose`.
void RememberFolder(FolderPurpose purpose, const QString& path);

// The open dialog, started in the remembered folder when the request names none. The chosen
// file's folder is remembered. Nothing when cancelled.
std::optional<QString> ChooseFileToOpen(QWidget* parent, FileDialogRequest request, FolderPurpose purpose);

// Writes the file at `path`; returns the message that explains a failure, or nothing when the
// file was written.
using FileWriter = std::function<std::optional<QString>(const QString& path)>;

// The save loop: the save dialog (started in the remembered folder when the request names
// none), the overwrite question (No shows the dialog again), then `write`. A failed write is
// reported with its message and the dialog comes back, so what was to be saved is not lost.
// Returns the path written, or nothing when the user cancelled.
std::optional<QString> SaveWithOverwriteCheck(QWidget* parent, FileDialogRequest request, FolderPurpose purpose,
                                              const FileWriter& write);

}  // namespace korvo
