#pragma once
// The one text log of the process. The controller link and the port setup write every
// frame and every parsed reply item here, so a failing exchange with a controller can be
// read afterwards. Lines accumulate across runs, in two files at most: once the log has
// reached its limit it becomes the older file (name + ".1", replacing the one before) and a
// new log begins, so the two together never hold much more than twice the limit.

#include <QFile>
#include <QMutex>
#include <QString>

class TLogger
{
public:
    // With a file name: opens it for appending and turns time stamps on; without one (or
    // when the file cannot be opened) the logger stays silent.
    explicit TLogger(const QString &fileName = QString(), qint64 limit = DefaultLimit);
    ~TLogger();
    TLogger(const TLogger &) = delete;
    TLogger &operator=(const TLogger &) = delete;

    // Local time as H:M:S without leading zeros, three blanks, the text, CR LF.
    void AddLine(const QString &text);

    bool IsOpen() const { return File.isOpen(); }
    // The size at which a log file is set aside: 1 MB.
    static constexpr qint64 DefaultLimit = 1024 * 1024;
    // The older file's name.
    static QString OlderFileName(const QString &fileName);
    // Why the file could not be opened, or why the last line that could not be written
    // was lost (a full disk); empty while every line was kept.
    QString Error() const;
    QString FileName;
    bool TimeStamps = false;

private:
    [[nodiscard]] bool Open();
    // The log is set aside and a new one begun (only a regular file: a device or a pipe is
    // written as it is).
    void Rotate();

    QFile File;
    qint64 Limit;
    bool Rotates = false;
    QString LastError;
    mutable QMutex Lock; // the transfer threads and the screen updater log too
};
