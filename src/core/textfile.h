#pragma once
// Whole-file reading and writing. Text files are Windows-1251 with CR LF line ends on
// writing; every save goes to a temporary file beside the target that is then renamed
// over it, so an interrupted or failed save never destroys the previous version.
//
// Only regular files are read: a folder, a FIFO, a device or a socket is refused before
// anything waits on it, and no read grows beyond the limit its caller gives.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The largest text file read: program source, old-format program, algorithm base,
// configuration.
constexpr qint64 MaxTextFileSize = 16 * 1024 * 1024;

// Lines of a text; CR LF, LF and CR each end a line, and a line end at the very end of
// the text opens no further line.
QStringList SplitLines(const QString &text);

// The first `limit` bytes of a regular file; `more` tells whether the file holds more.
[[nodiscard]] bool ReadFileStart(const QString &path, qint64 limit, QByteArray &data, bool &more,
                                 QString &error);
// A regular file of at most maxSize bytes, whole; a longer one is an error naming it.
[[nodiscard]] bool ReadBinaryFile(const QString &path, QByteArray &data, QString &error,
                                  qint64 maxSize = MaxTextFileSize);
[[nodiscard]] bool ReadTextFile(const QString &path, QStringList &lines, QString &error);
// Empty when a regular file or nothing stands at path; otherwise why no file is read from
// or written there ("… — не файл, а папка").
QString NotAFileReason(const QString &path);

// One file of a save: where it goes and what it holds.
struct TFileWrite
{
    QString Path;
    QByteArray Data;
};

// Every file is written and flushed to disk beside its target first; the targets are
// replaced only when all of them were written, and on any failure (a full disk, a folder
// where a file should go) none of them changes and no temporary file is left. The reason
// names the file and gives the system's words. A symbolic link is followed to its file.
// Ctrl+C and SIGTERM wait until the save has ended either way.
[[nodiscard]] bool WriteFilesTogether(const QList<TFileWrite> &files, QString &error);
[[nodiscard]] bool WriteBinaryFile(const QString &path, const QByteArray &data, QString &error);
// Encodes every line to Windows-1251 first: a character the code page cannot hold is an
// error naming its line and column (both from 1), and the file on disk stays as it was.
[[nodiscard]] bool WriteTextFile(const QString &path, const QStringList &lines, QString &error);
[[nodiscard]] bool EncodeTextLines(const QStringList &lines, QByteArray &out, QString &error);
// Whether a file can be created or replaced at path (its folder exists and takes new
// files, and nothing but a regular file stands there), so that a long job can refuse
// before its result would be lost.
[[nodiscard]] bool CheckWritable(const QString &path, QString &error);
