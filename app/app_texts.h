#pragma once
// The texts that the splash, the about box and the main window share.

#include <QString>

namespace korvo {

inline const QString kAppDescription =
    QStringLiteral("Aplicación para la compensación de redes tridimensionales con observables clásicos y GPS");
inline const QString kVersionText = QStringLiteral("Versión 1.2");
inline const QString kDateText = QStringLiteral("    Abril 2005");
inline const QString kMainCaption = QStringLiteral(
    "Korvo -  Aplicación para la compensación de redes tridimensionales con observables clásicos y GPS");

// Shown by the commands whose windows are not part of this build yet.
inline const QString kNotAvailableText = QStringLiteral("Esta función todavía no está disponible.");

}  // namespace korvo
