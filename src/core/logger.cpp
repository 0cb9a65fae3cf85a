#include "core/logger.h"

#include "core/cp1251.h"

#include <QMutexLocker>
#include <QTime>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

TLogger::TLogger(const QString &fileName) : FileName(fileName)
{
    if (fileName.isEmpty())
        return;
    // Appended by the system (O_APPEND), so that a device such as /dev/full, which cannot
    // seek to its end, is taken as it is and reports its failures at the first line. A FIFO
    // nobody reads is refused instead of waited for.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (fd < 0)
        LastError = QString::fromLocal8Bit(std::strerror(errno));
    else if (File.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        TimeStamps = true;
    else
        LastError = File.errorString();
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
    if (File.write(bytes) != bytes.size() || !File.flush())
        LastError = File.errorString();
}
