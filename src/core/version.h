#pragma once
// The version of Zentor, the same for the desktop, zentorc and zentor-sim: it is the
// project's version, given once by the build.

#include <QString>

// "0.1.0"
QString ZentorVersionText();
// The line `--version` prints: the program's name, a blank, the version ("zentorc 0.1.0").
QString VersionLine(const QString &programName);
