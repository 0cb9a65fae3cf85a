#include "core/programpaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString WithSlash(const QString &dir)
{
    QString d = QDir::cleanPath(dir);
    if (!d.endsWith(u'/'))
        d += u'/';
    return d;
}

} // namespace

QString ExecutableDirectory()
{
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return target.isEmpty() ? QString() : QFileInfo(target).absolutePath();
}

TProgramPaths TProgramPaths::Resolve(const QString &executableDir, const QString &zentorHome,
                                     const QString &xdgConfigHome, const QString &home)
{
    TProgramPaths p;
    p.ExecutableDir = WithSlash(executableDir);
    if (!zentorHome.isEmpty())
        p.ProgramDir = WithSlash(zentorHome);
    else if (QFileInfo::exists(p.ExecutableDir + ConfigFileName))
        p.ProgramDir = p.ExecutableDir;
    else if (!xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome))
        p.ProgramDir = WithSlash(xdgConfigHome + QStringLiteral("/zentor"));
    else
        p.ProgramDir = WithSlash(home + QStringLiteral("/.config/zentor"));
    // The installed layout: bin/zentor beside share/zentor.
    p.DataDirs.append(WithSlash(p.ExecutableDir + QStringLiteral("../share/zentor")));
#ifdef ZENTOR_DATA_DIR
    const QString installed = WithSlash(QStringLiteral(ZENTOR_DATA_DIR));
    if (!p.DataDirs.contains(installed))
        p.DataDirs.append(installed);
#endif
    return p;
}

TProgramPaths TProgramPaths::ForThisProcess()
{
    return Resolve(ExecutableDirectory(), qEnvironmentVariable("ZENTOR_HOME"),
                   qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
}

QString TProgramPaths::Find(const QString &fileName) const
{
    QStringList places{ProgramDir, ExecutableDir};
    places.append(DataDirs);
    for (const QString &dir : places)
        if (QFileInfo(dir + fileName).isFile())
            return dir + fileName;
    return ProgramDir + fileName;
}
