#pragma once

#include <QStringList>

// Qt's own texts (standard buttons, file, print, input and progress dialogs)
// in Chinese, as the rest of the program.
namespace QtTranslations {

// Loads Qt's Chinese catalogues into the running application; returns the
// ones loaded (none when the translations package is missing: Qt then speaks
// English, nothing else changes).
QStringList install();

} // namespace QtTranslations
