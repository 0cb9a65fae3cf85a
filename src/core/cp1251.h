#pragma once
// Windows-1251, the code page of everything the controller world stores: program files,
// the algorithm base, the configuration file and the log. Bytes are decoded once at the
// edge; inside the program text is QString.

#include <QByteArray>
#include <QChar>
#include <QString>

#include <cstdint>

QString DecodeCp1251(const QByteArray &bytes);
QString DecodeCp1251(const std::uint8_t *bytes, int count);

// True when the character has a Windows-1251 byte.
bool IsCp1251Char(QChar ch);
// The Windows-1251 byte of ch; '?' for a character the code page cannot hold.
std::uint8_t Cp1251Byte(QChar ch);

// Upper and lower case as the controller's Windows-1251 world knows them: a character is
// replaced by its capital (small letter) only when that one has a Windows-1251 byte. The
// lexer and the header compiler both read their text through ControllerUpper.
QString ControllerUpper(const QString &text);
QChar ControllerUpper(QChar c);
QString ControllerLower(const QString &text);

// Encodes text; on a character the code page cannot hold returns false and gives its
// 0-based index in *badIndex.
bool EncodeCp1251(const QString &text, QByteArray &out, qsizetype *badIndex = nullptr);
