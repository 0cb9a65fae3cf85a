#include "core/version.h"

QString ZentorVersionText()
{
    return QStringLiteral(ZENTOR_VERSION_TEXT);
}

QString VersionLine(const QString &programName)
{
    return programName + u' ' + ZentorVersionText();
}

QString CopyrightLine()
{
    return QStringLiteral("Copyright (C) 2026 Zentor developers");
}

QStringList LicenceLinesEnglish()
{
    return {
        QStringLiteral(
            "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>."),
        QStringLiteral("This is free software: you are free to change and redistribute it."),
        QStringLiteral("There is NO WARRANTY, to the extent permitted by law."),
    };
}

QStringList LicenceLinesRussian()
{
    return {
        QStringLiteral("Лицензия GPLv3+: GNU GPL версии 3 или любой более поздней "
                       "<https://gnu.org/licenses/gpl.html>."),
        QStringLiteral("Это свободная программа: её можно изменять и распространять."),
        QStringLiteral("НИКАКИХ ГАРАНТИЙ в той мере, в какой это допускает закон."),
    };
}

QString VersionText(const QString &programName)
{
    QString text = VersionLine(programName) + u'\n' + CopyrightLine() + u'\n';
    for (const QString &line : LicenceLinesEnglish())
        text += line + u'\n';
    text += u'\n'; // the Russian lines form a paragraph of their own in the manual pages
    for (const QString &line : LicenceLinesRussian())
        text += line + u'\n';
    return text;
}
