#pragma once
// The texts the command lines of zentor, zentorc and zentor-sim share.

#include <QString>

namespace OptionTexts {

inline const QString HelpLine = QStringLiteral("показать эту справку");
inline const QString VersionLine = QStringLiteral("показать версию программы");

// An option the program does not know, with where its help is.
inline QString UnknownOption(const QString &option, const QString &program)
{
    return QStringLiteral("Неизвестный параметр «%1». Справка: %2 --help").arg(option, program);
}

} // namespace OptionTexts
