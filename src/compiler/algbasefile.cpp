#include "compiler/algbasefile.h"

#include "core/programpaths.h"

#include <QDir>
#include <QFileInfo>

QString FindAlgBaseFile(const QString &executableDir)
{
    const TProgramPaths paths =
        TProgramPaths::Resolve(executableDir, qEnvironmentVariable("ZENTOR_HOME"),
                               qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
    const QString path = paths.Find(AlgBaseFileName);
    return QFileInfo(path).isFile() ? path : QString();
}
