#pragma once
// Qt's own Spanish texts (file dialogs, message-box buttons, the print dialog, the context
// menus of text boxes), loaded once at start-up.

class QCoreApplication;

namespace korvo {

// Installs Qt's Spanish translations in `app`. False when they are not installed on this
// system: the windows then keep Qt's English for its own dialogs, and Korvo's texts stay
// Spanish.
bool InstallSpanishQtTexts(QCoreApplication& app);

}  // namespace korvo
