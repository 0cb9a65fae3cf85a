#pragma once
// Text and number helpers shared by the program model, the compilers, the controller
// link and the console. Positions in texts count from 1, as everywhere in the controller
// world; octal is the controller's own numbering.

#include <QChar>
#include <QString>

#include <cstdint>

// The controller's 7-bit character code <-> Windows-1251 character.
QChar ControllerToText(std::uint8_t c);
std::uint8_t TextToController(QChar ch);

// Exactly w octal digits of n, zero-padded, only the lowest w kept; w <= 0 gives "".
QString OctalText(int n, int w);
// r = 8r + (ch - '0') for every character, without validation (wraps on overflow).
int ParseOctal(const QString &text);

// Section number n (0..255) as group digit + two octal digits ("101" for 33).
QString SectionNumberText(int n);
// 32*c1 + 8*c2 + c3 of the first three characters, without validation;
// -1 when the text is shorter than three characters.
[[nodiscard]] int ParseSectionNumber(const QString &text);

bool IsOctalText(QStringView text);
bool IsDecimalText(const QString &text);

// Removes leading and trailing blanks (code 32 only; tabs stay).
QString TrimSpaces(const QString &text);

// Next blank-separated word from 1-based position pos (in/out); "" past the end.
QString NextWord(const QString &text, int &pos);

// Cuts the text before its first "!", then before its first ";".
QString StripComment(const QString &text);

// 8-bit sum with end-around carry: the base of every checksum of the PRP and the link.
std::uint8_t ByteSum(const std::uint8_t *bytes, int count);

// Every byte as two upper-case hex digits and a blank; "Принято 0 байт" for none.
QString HexDump(const std::uint8_t *bytes, int count);
