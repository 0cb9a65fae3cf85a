#pragma once
// Where the programs keep the configuration file, the log and the algorithm base, and
// where they find the files installed with them. The desktop, zentorc and zentor-sim share
// this one rule.
//
// The program directory is the executable's folder when that folder holds the
// configuration file (portable use), otherwise $XDG_CONFIG_HOME/zentor (~/.config/zentor);
// ZENTOR_HOME overrides both. The algorithm base and the help are looked up in the program
// directory, beside the executable, then in the installed data folder.

#include <QString>
#include <QStringList>

// The configuration file whose presence beside the executable means portable use.
inline const QString ConfigFileName = QStringLiteral("ZentorEditor.ini");

// The folder of the running executable ("" when it cannot be told); needs no application
// object.
QString ExecutableDirectory();

struct TProgramPaths
{
    QString ProgramDir;    // ends with "/"
    QString ExecutableDir; // ends with "/"
    QStringList DataDirs;  // installed data folders, each ending with "/"

    static TProgramPaths Resolve(const QString &executableDir, const QString &zentorHome,
                                 const QString &xdgConfigHome, const QString &home);
    static TProgramPaths ForThisProcess();

    // The first existing file of that name in the program directory, beside the
    // executable, then in the data folders; the program directory's name when none exists.
    QString Find(const QString &fileName) const;
    // The file in the program directory.
    QString InProgramDir(const QString &fileName) const { return ProgramDir + fileName; }
};
