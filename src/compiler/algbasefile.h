#pragma once
// Where zentorc and zentor-sim find the algorithm base "BaseAlgs.alg": in the program
// directory, then beside the executable, then in the installed data folders, as the desktop
// does.

#include <QString>

// The name of the default algorithm base file.
inline const QString AlgBaseFileName = QStringLiteral("BaseAlgs.alg");

// The first "BaseAlgs.alg" that exists in those folders; "" when there is none (the
// process then runs with an empty base).
QString FindAlgBaseFile(const QString &executableDir);
