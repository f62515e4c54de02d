#pragma once
// Qt's own texts (the buttons and labels of the file and folder dialogs, the
// standard context menus) in Japanese, from the translations Debian installs
// with qt6-translations-l10n.

class QCoreApplication;

// Installs Qt's Japanese translations into `app`; false when they are missing
// (Qt's texts then stay in English).
bool InstallQtTranslations(QCoreApplication& app);
