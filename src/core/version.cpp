#include "core/version.h"

QString ZentorVersionText()
{
    return QStringLiteral(ZENTOR_VERSION_TEXT);
}

QString VersionLine(const QString &programName)
{
    return programName + u' ' + ZentorVersionText();
}
