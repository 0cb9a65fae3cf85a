#pragma once
// What the file reading and the atomic save of core share: native names, the system's
// reason texts, an owned descriptor and the texts of a failed read or write.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <pthread.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

inline QByteArray NativePath(const QString &path)
{
    return QFile::encodeName(path);
}

inline QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A descriptor closed when it goes out of scope (the save closes its own and checks it).
class TFd
{
public:
    explicit TFd(int fd = -1) : Fd(fd) {}
    ~TFd()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
    TFd(const TFd &) = delete;
    TFd &operator=(const TFd &) = delete;
    int Get() const { return Fd; }
    int Release()
    {
        const int fd = Fd;
        Fd = -1;
        return fd;
    }

private:
    int Fd;
};

// Every byte of data written to fd, through interrupted and partial writes; false with errno
// set when the system took no more.
[[nodiscard]] inline bool WriteAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n =
            ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// Ctrl+C, SIGTERM and SIGHUP are held back on this thread while files are replaced and
// arrive when the save has ended, so a stopped program leaves every target old or new and
// no temporary file behind.
class TInterruptHold
{
public:
    TInterruptHold()
    {
        sigset_t held;
        sigemptyset(&held);
        sigaddset(&held, SIGINT);
        sigaddset(&held, SIGTERM);
        sigaddset(&held, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &held, &Previous);
    }
    ~TInterruptHold() { pthread_sigmask(SIG_SETMASK, &Previous, nullptr); }
    TInterruptHold(const TInterruptHold &) = delete;
    TInterruptHold &operator=(const TInterruptHold &) = delete;

private:
    sigset_t Previous;
};

namespace FileSystemTexts {

inline QString CannotOpen(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось открыть файл %1: %2").arg(path, reason);
}
inline QString CannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("Ошибка чтения файла %1: %2").arg(path, reason);
}
inline QString CannotCreate(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось создать файл %1: %2").arg(path, reason);
}
inline QString CannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось записать файл %1: %2").arg(path, reason);
}
// What stands at a path where a file was expected: "папка", "канал (FIFO)" ...
QString KindOf(mode_t mode);
// Why no file can be written where something else stands: "на его месте папка" ...
inline QString InTheWay(mode_t mode)
{
    return QStringLiteral("на его месте ") + KindOf(mode);
}
inline QString NotAFile(const QString &path, mode_t mode)
{
    return QStringLiteral("%1 — не файл, а %2").arg(path, KindOf(mode));
}
inline QString TooLong(const QString &path, qint64 limit)
{
    const bool megabytes = limit % (1024 * 1024) == 0;
    return QStringLiteral("Файл %1 не прочитан: он длиннее %2")
        .arg(path, megabytes ? QStringLiteral("%1 МБ").arg(limit / (1024 * 1024))
                             : QStringLiteral("%1 байт").arg(limit));
}

} // namespace FileSystemTexts
