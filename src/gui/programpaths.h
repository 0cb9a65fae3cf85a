#pragma once
// Where the desktop program keeps its configuration file, log and algorithm base, and
// where it finds the files installed with it.
//
// The program directory is the executable's folder when that folder holds the
// configuration file (portable use), otherwise $XDG_CONFIG_HOME/zentor (~/.config/zentor);
// ZENTOR_HOME overrides both. The algorithm base and the help are looked up in the program
// directory, beside the executable, then in the installed data folder.

#include <QString>
#include <QStringList>

struct TProgramPaths
{
    QString ProgramDir;    // ends with "/"
    QString ExecutableDir; // ends with "/"
    QStringList DataDirs;  // installed data folders, each ending with "/"

    // env maps variable names to values (the process environment outside the tests).
    static TProgramPaths Resolve(const QString &executableDir, const QString &zentorHome,
                                 const QString &xdgConfigHome, const QString &home);
    static TProgramPaths ForThisProcess();

    // The first existing file of that name in the program directory, beside the
    // executable, then in the data folders; the program directory's name when none exists.
    QString Find(const QString &fileName) const;
    // The file in the program directory.
    QString InProgramDir(const QString &fileName) const { return ProgramDir + fileName; }
};
