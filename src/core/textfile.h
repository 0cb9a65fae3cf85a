#pragma once
// Whole-file reading and writing. Text files are Windows-1251 with CR LF line ends on
// writing; every save goes to a temporary file beside the target that is then renamed
// over it, so an interrupted save never destroys the previous version.

#include <QByteArray>
#include <QString>
#include <QStringList>

// Lines of a text; CR LF, LF and CR each end a line, and a line end at the very end of
// the text opens no further line.
QStringList SplitLines(const QString &text);

bool ReadBinaryFile(const QString &path, QByteArray &data, QString &error);
bool ReadTextFile(const QString &path, QStringList &lines, QString &error);

bool WriteBinaryFile(const QString &path, const QByteArray &data, QString &error);
// Encodes every line to Windows-1251 first: a character the code page cannot hold is an
// error naming its line and column (both from 1), and the file on disk stays as it was.
bool WriteTextFile(const QString &path, const QStringList &lines, QString &error);
bool EncodeTextLines(const QStringList &lines, QByteArray &out, QString &error);
