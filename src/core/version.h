#pragma once
// The version of Zentor, the same for the desktop, zentorc and zentor-sim: it is the
// project's version, given once by the build. The licence the programs are given under
// (the GNU GPL, version 3 or later) is named here once as well.

#include <QString>
#include <QStringList>

// "0.1.0"
QString ZentorVersionText();
// The line `--version` prints first: the program's name, a blank, the version
// ("zentorc 0.1.0").
QString VersionLine(const QString &programName);
// "Copyright (C) 2026 Zentor developers"
QString CopyrightLine();
// The licence in a few lines, in English as the free software world writes it and in
// Russian as the programs speak.
QStringList LicenceLinesEnglish();
QStringList LicenceLinesRussian();
// All that `--version` prints: the version line, the copyright line and the licence in
// English, an empty line, the licence in Russian; each line ended by "\n".
QString VersionText(const QString &programName);
