#pragma once
// A small file system that can be filled up: a tmpfs mounted on a temporary folder. Only
// root may mount it (CI runs the tests as root); elsewhere Reason says why there is none
// and the test skips.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

class TFullDisk
{
public:
    explicit TFullDisk(const char *size = "256k")
    {
        if (::geteuid() != 0) {
            Reason = "a full disk needs a tmpfs, and only root may mount one";
            return;
        }
        if (::mount("tmpfs", QFile::encodeName(Dir.path()).constData(), "tmpfs", 0,
                    (QByteArray("size=") + size).constData()) != 0) {
            Reason = std::string("no tmpfs could be mounted: ") + std::strerror(errno);
            return;
        }
        Mounted = true;
    }
    ~TFullDisk()
    {
        if (Mounted)
            ::umount2(QFile::encodeName(Dir.path()).constData(), MNT_DETACH);
    }
    TFullDisk(const TFullDisk &) = delete;
    TFullDisk &operator=(const TFullDisk &) = delete;

    bool Ready() const { return Mounted; }
    QString Path(const QString &name) const { return Dir.filePath(name); }

    // Takes every free byte, so that the next file written gets no space at all.
    bool Fill()
    {
        const int fd = ::open(QFile::encodeName(Path(Filler)).constData(),
                              O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd < 0)
            return false;
        static const char chunk[4096] = {};
        for (size_t n = sizeof chunk; n > 0; n /= 2)
            while (::write(fd, chunk, n) == static_cast<ssize_t>(n)) {
            }
        const bool full = errno == ENOSPC;
        ::close(fd);
        return full;
    }
    void Free() { QFile::remove(Path(Filler)); }

    // What the folder holds, the filler left out.
    QStringList Entries() const
    {
        QStringList names =
            QDir(Dir.path())
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                           QDir::Name);
        names.removeAll(Filler);
        return names;
    }

    std::string Reason;

private:
    static inline const QString Filler = QStringLiteral("filler");
    QTemporaryDir Dir;
    bool Mounted = false;
};

// In a test: skips it, with the reason printed, where no full disk can be made.
#define REQUIRE_FULL_DISK(disk)                                                                    \
    do {                                                                                           \
        if (!(disk).Ready())                                                                       \
            GTEST_SKIP() << (disk).Reason;                                                         \
    } while (0)
