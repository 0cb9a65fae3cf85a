// The atomic save: every file of a save is written and flushed to disk beside its target
// before any target is replaced, so that a full disk, a folder in the way or an interrupt
// leaves the previous version exactly as it was.

#include "core/filesystem.h"
#include "core/textfile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace {

// One file of a save on its way.
struct TPending
{
    QString Path;      // as the caller named it, for the messages
    QByteArray Target; // the file replaced (a symbolic link followed)
    QByteArray Temp;   // the new contents beside it, until they take its place
    QByteArray Aside;  // the old file, while several targets are being replaced
    bool Existed = false;
    bool Placed = false;
    mode_t Mode = 0;
};

QByteArray TargetOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath(); // empty when it leads nowhere
        if (!resolved.isEmpty())
            return NativePath(resolved);
    }
    return NativePath(path);
}

// A name beside target that nothing uses yet: a short one of its own in target's folder, so
// that a target whose name is as long as the file system allows still gets one.
QByteArray FreeName(const QByteArray &target)
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    QByteArray name;
    struct stat st;
    do {
        name = folder + ".zentor-";
        for (int i = 0; i < 6; ++i)
            name += kChars[QRandomGenerator::global()->bounded(36)];
    } while (::lstat(name.constData(), &st) == 0);
    return name;
}

// Only a regular file (or nothing) may stand where a file is written.
bool CheckTarget(TPending &p, QString &error)
{
    struct stat st;
    if (::lstat(p.Target.constData(), &st) != 0)
        return true; // nothing there; creating the file beside it says what is wrong
    if (!S_ISREG(st.st_mode)) {
        error = FileSystemTexts::CannotWrite(p.Path, FileSystemTexts::InTheWay(st.st_mode));
        return false;
    }
    p.Existed = true;
    p.Mode = st.st_mode & 07777;
    return true;
}

// The temporary file, with the mode the new file would get (the old file's, or the
// umask's); -1 with errno set when it cannot be made.
int CreateTemp(TPending &p)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        p.Temp = FreeName(p.Target);
        const int fd =
            ::open(p.Temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (p.Existed && ::fchmod(fd, p.Mode) != 0) {
                // A file system without modes (a memory stick) keeps its own.
            }
            return fd;
        }
        if (errno != EEXIST)
            break;
    }
    p.Temp.clear();
    return -1;
}

// Every byte written, on the disk and the file closed, each step checked: a full disk
// shows at the write, the flush or the close, depending on the file system.
bool WriteTemp(TPending &p, const QByteArray &data, QString &error)
{
    TFd fd(CreateTemp(p));
    if (fd.Get() < 0) {
        error = FileSystemTexts::CannotCreate(p.Path, SystemReason(errno));
        return false;
    }
    if (!WriteAll(fd.Get(), data) || ::fsync(fd.Get()) != 0 || ::close(fd.Release()) != 0) {
        error = FileSystemTexts::CannotWrite(p.Path, SystemReason(errno));
        return false;
    }
    return true;
}

// Undoes a replacement that failed half-way, last file first.
void PutBack(std::vector<TPending> &files)
{
    for (auto p = files.rbegin(); p != files.rend(); ++p) {
        if (!p->Aside.isEmpty())
            ::rename(p->Aside.constData(), p->Target.constData());
        else if (p->Placed)
            ::unlink(p->Target.constData());
    }
}

bool Replace(std::vector<TPending> &files, QString &error)
{
    // One file takes its place in one step.
    if (files.size() == 1) {
        TPending &p = files.front();
        if (::rename(p.Temp.constData(), p.Target.constData()) != 0) {
            error = FileSystemTexts::CannotWrite(p.Path, SystemReason(errno));
            return false;
        }
        p.Temp.clear();
        return true;
    }
    // Several: each old file is moved aside before the new one takes its place, so that a
    // failure half-way can put every old file back.
    for (TPending &p : files) {
        if (p.Existed) {
            p.Aside = FreeName(p.Target);
            if (::rename(p.Target.constData(), p.Aside.constData()) != 0) {
                p.Aside.clear();
                error = FileSystemTexts::CannotWrite(p.Path, SystemReason(errno));
                PutBack(files);
                return false;
            }
        }
        if (::rename(p.Temp.constData(), p.Target.constData()) != 0) {
            error = FileSystemTexts::CannotWrite(p.Path, SystemReason(errno));
            PutBack(files);
            return false;
        }
        p.Temp.clear();
        p.Placed = true;
    }
    for (const TPending &p : files)
        if (!p.Aside.isEmpty())
            ::unlink(p.Aside.constData());
    return true;
}

} // namespace

bool WriteFilesTogether(const QList<TFileWrite> &files, QString &error)
{
    const TInterruptHold hold;
    std::vector<TPending> pending(static_cast<size_t>(files.size()));
    bool ok = true;
    for (qsizetype i = 0; ok && i < files.size(); ++i) {
        TPending &p = pending[static_cast<size_t>(i)];
        p.Path = files[i].Path;
        p.Target = TargetOf(p.Path);
        ok = CheckTarget(p, error);
    }
    for (qsizetype i = 0; ok && i < files.size(); ++i)
        ok = WriteTemp(pending[static_cast<size_t>(i)], files[i].Data, error);
    ok = ok && Replace(pending, error);
    for (const TPending &p : pending)
        if (!p.Temp.isEmpty())
            ::unlink(p.Temp.constData());
    return ok;
}

bool WriteBinaryFile(const QString &path, const QByteArray &data, QString &error)
{
    return WriteFilesTogether({{path, data}}, error);
}

bool CheckWritable(const QString &path, QString &error)
{
    const TInterruptHold hold;
    TPending p;
    p.Path = path;
    p.Target = TargetOf(path);
    if (!CheckTarget(p, error))
        return false;
    const int fd = CreateTemp(p);
    if (fd < 0) {
        error = FileSystemTexts::CannotCreate(path, SystemReason(errno));
        return false;
    }
    ::close(fd);
    ::unlink(p.Temp.constData());
    return true;
}
