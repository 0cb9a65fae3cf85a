#pragma once
// The one text log of the process. The controller link and the port setup write every
// frame and every parsed reply item here, so a failing exchange with a controller can be
// read afterwards. Lines accumulate across runs.

#include <QFile>
#include <QMutex>
#include <QString>

class TLogger
{
public:
    // With a file name: opens it for appending and turns time stamps on; without one (or
    // when the file cannot be opened) the logger stays silent.
    explicit TLogger(const QString &fileName = QString());
    ~TLogger();
    TLogger(const TLogger &) = delete;
    TLogger &operator=(const TLogger &) = delete;

    // Local time as H:M:S without leading zeros, three blanks, the text, CR LF.
    void AddLine(const QString &text);

    bool IsOpen() const { return File.isOpen(); }
    // Why the file could not be opened, or why the last line that could not be written
    // was lost (a full disk); empty while every line was kept.
    QString Error() const;
    QString FileName;
    bool TimeStamps = false;

private:
    QFile File;
    QString LastError;
    mutable QMutex Lock; // the transfer threads and the screen updater log too
};
