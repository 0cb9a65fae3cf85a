#pragma once
// Where the process finds its algorithm base "BaseAlgs.alg": in the program directory, then
// beside the executable, then in the installed data folder.

#include <QString>
#include <QStringList>

// The name of the default algorithm base file.
inline const QString AlgBaseFileName = QStringLiteral("BaseAlgs.alg");

// The folder of the running executable ("" when it cannot be told).
QString ExecutableDirectory();

// The program directory: $ZENTOR_HOME when set; the executable's folder when it holds
// "ZentorEditor.ini" (portable use); otherwise $XDG_CONFIG_HOME/zentor (~/.config/zentor).
QString ProgramDirectory(const QString &executableDir);

// The folders searched for "BaseAlgs.alg", in order.
QStringList AlgBaseSearchFolders(const QString &executableDir);

// The first "BaseAlgs.alg" that exists in those folders; "" when there is none (the
// process then runs with an empty base).
QString FindAlgBaseFile(const QString &executableDir);
