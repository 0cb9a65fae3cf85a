#include "compiler/algbasefile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#ifndef ZENTOR_DATA_DIR
#define ZENTOR_DATA_DIR "/usr/local/share/zentor"
#endif

namespace {

const QString kConfigFileName = QStringLiteral("ZentorEditor.ini");

QString Env(const char *name)
{
    return qEnvironmentVariable(name);
}

} // namespace

QString ExecutableDirectory()
{
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    const QString target = exe.symLinkTarget();
    return target.isEmpty() ? QString() : QFileInfo(target).absolutePath();
}

QString ProgramDirectory(const QString &executableDir)
{
    const QString home = Env("ZENTOR_HOME");
    if (!home.isEmpty())
        return home;
    if (!executableDir.isEmpty() &&
        QFileInfo::exists(QDir(executableDir).filePath(kConfigFileName)))
        return executableDir;
    QString config = Env("XDG_CONFIG_HOME");
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/zentor");
}

QStringList AlgBaseSearchFolders(const QString &executableDir)
{
    QStringList folders = {ProgramDirectory(executableDir)};
    if (!executableDir.isEmpty())
        folders.append(executableDir);
    folders.append(QStringLiteral(ZENTOR_DATA_DIR));
    return folders;
}

QString FindAlgBaseFile(const QString &executableDir)
{
    for (const QString &folder : AlgBaseSearchFolders(executableDir)) {
        const QString path = QDir(folder).filePath(AlgBaseFileName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}
