#include "core/logger.h"

#include "core/cp1251.h"

#include <QMutexLocker>
#include <QTime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

TLogger::TLogger(const QString &fileName, qint64 limit) : FileName(fileName), Limit(limit)
{
    if (fileName.isEmpty())
        return;
    if (Open() && Rotates && File.size() >= Limit)
        Rotate(); // a log left too long by an earlier run
}

QString TLogger::OlderFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".1");
}

bool TLogger::Open()
{
    // Appended by the system (O_APPEND), so that a device such as /dev/full, which cannot
    // seek to its end, is taken as it is and reports its failures at the first line. A FIFO
    // nobody reads is refused instead of waited for.
    const int fd = ::open(QFile::encodeName(FileName).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) {
        LastError = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    struct stat st = {};
    Rotates = Limit > 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!File.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        LastError = File.errorString();
        ::close(fd);
        return false;
    }
    TimeStamps = true;
    return true;
}

void TLogger::Rotate()
{
    File.close();
    const QString older = OlderFileName(FileName);
    // rename() replaces the older file in one step; should it fail, the log goes on in
    // its own file rather than stop.
    if (::rename(QFile::encodeName(FileName).constData(), QFile::encodeName(older).constData()) !=
        0)
        LastError = QString::fromLocal8Bit(std::strerror(errno));
    // A file that cannot be opened anew ends the log: LastError tells why, and AddLine finds
    // the file closed.
    if (!Open())
        Rotates = false;
}

QString TLogger::Error() const
{
    QMutexLocker lock(&Lock);
    return LastError;
}

TLogger::~TLogger()
{
    if (File.isOpen())
        File.close();
}

void TLogger::AddLine(const QString &text)
{
    QMutexLocker lock(&Lock);
    if (!File.isOpen())
        return;
    const QTime t = QTime::currentTime();
    QString line = QStringLiteral("%1:%2:%3   ").arg(t.hour()).arg(t.minute()).arg(t.second());
    line += text;
    QByteArray bytes;
    for (QChar ch : line)
        bytes += static_cast<char>(Cp1251Byte(ch));
    bytes += "\r\n";
    if (Rotates && File.size() + bytes.size() > Limit && File.size() > 0)
        Rotate();
    if (!File.isOpen())
        return;
    if (File.write(bytes) != bytes.size() || !File.flush())
        LastError = File.errorString();
}
