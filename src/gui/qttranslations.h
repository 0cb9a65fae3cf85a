#pragma once
// Qt's own dialogs and buttons (the file dialogs, "Открыть", "Сохранить", "Отмена") speak
// Russian like the rest of the program, whatever the locale of the session.

class QCoreApplication;

// Installs Qt's Russian translations into the application; false when they are not found
// (Qt's dialogs then stay in English, and nothing else changes).
bool InstallQtTranslations(QCoreApplication &app);
