#include "files/setstore.h"

#include "core/filesystem.h"
#include "core/textutils.h"
#include "files/filetexts.h"

#include <QDir>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

namespace {

// P.new: a folder whose name is as long as the set's own file names.
const QString kStaging = QStringLiteral("new");
// Inside it: the files' extensions, one a line, written last. Its presence says the new set
// is whole on the disk.
const QByteArray kReady = "ready";
const QByteArray kList = "list"; // the list while it is being written

QString Native(const QByteArray &path)
{
    return QFile::decodeName(path);
}

bool SyncFolder(const QByteArray &folder)
{
    TFd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Get() >= 0 && ::fsync(fd.Get()) == 0;
}

// A new file with every byte on the disk; errno set when it could not be made so.
bool WriteSynced(const QByteArray &path, const QByteArray &data, mode_t mode)
{
    TFd fd(::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666));
    if (fd.Get() < 0)
        return false;
    if (mode != 0 && ::fchmod(fd.Get(), mode) != 0) {
        // A file system without modes (a memory stick) keeps its own.
    }
    return WriteAll(fd.Get(), data) && ::fsync(fd.Get()) == 0 && ::close(fd.Release()) == 0;
}

QStringList FolderEntries(const QByteArray &folder)
{
    QStringList names;
    DIR *d = ::opendir(folder.constData());
    if (!d)
        return names;
    while (const dirent *e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..")
            names.append(QFile::decodeName(name));
    }
    ::closedir(d);
    return names;
}

bool IsSetExtension(const QString &ext)
{
    return ext == QStringLiteral("hdr") || IsSectionName(ext);
}

class TSetPlace
{
public:
    TSetPlace(const QString &dir, const QString &base)
        : Folder(NativePath(dir.isEmpty() ? QStringLiteral(".") : dir)),
          Stem(NativePath(dir + base + u'.')), Staging(Stem + NativePath(kStaging)),
          SetName(dir + base + QStringLiteral(".000"))
    {
    }

    QByteArray Member(const QString &ext) const { return Stem + NativePath(ext); }
    QByteArray Staged(const QString &ext) const { return Staging + '/' + NativePath(ext); }
    QByteArray Staged(const QByteArray &name) const { return Staging + '/' + name; }

    // The set's section files in the folder now (regular files only).
    QStringList SectionMembers() const
    {
        const QString prefix = QFile::decodeName(Stem.mid(Stem.lastIndexOf('/') + 1));
        QStringList exts;
        for (const QString &name : FolderEntries(Folder)) {
            if (name.size() != prefix.size() + 3 || !name.startsWith(prefix))
                continue;
            const QString ext = name.right(3);
            struct stat st;
            if (IsSectionName(ext) && ::lstat(Member(ext).constData(), &st) == 0 &&
                S_ISREG(st.st_mode))
                exts.append(ext);
        }
        return exts;
    }

    // Moves the staged files into place and removes the section files the new set lacks;
    // then the staging folder goes. Each step can be done again after an interruption.
    bool Complete(const QStringList &exts, QString &error) const
    {
        for (const QString &ext : exts) {
            struct stat st;
            if (::lstat(Staged(ext).constData(), &st) != 0)
                continue; // moved before the interruption
            if (::rename(Staged(ext).constData(), Member(ext).constData()) != 0) {
                error = FileSystemTexts::CannotWrite(Native(Member(ext)), SystemReason(errno));
                return false;
            }
        }
        SyncFolder(Folder);
        for (const QString &ext : SectionMembers()) {
            if (exts.contains(ext))
                continue;
            if (::unlink(Member(ext).constData()) != 0) {
                error = FileTexts::CannotRemove(Native(Member(ext)), SystemReason(errno));
                return false;
            }
        }
        ::unlink(Staged(kReady).constData());
        ::rmdir(Staging.constData());
        SyncFolder(Folder);
        return true;
    }

    // Removes an unfinished staging folder: only names a save writes there.
    bool Discard() const
    {
        for (const QString &name : FolderEntries(Staging))
            if (IsSetExtension(name) || NativePath(name) == kList)
                ::unlink(Staged(NativePath(name)).constData());
        return ::rmdir(Staging.constData()) == 0 || errno == ENOENT;
    }

    // The extensions a finished staging folder lists; false when it is no list of ours.
    bool ReadyList(QStringList &exts) const
    {
        TFd fd(::open(Staged(kReady).constData(), O_RDONLY | O_CLOEXEC));
        if (fd.Get() < 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof buffer))
            return false;
        exts = QString::fromLatin1(buffer, n).split(u'\n', Qt::SkipEmptyParts);
        return std::all_of(exts.begin(), exts.end(), IsSetExtension);
    }

    QByteArray Folder;
    QByteArray Stem;
    QByteArray Staging;
    QString SetName;
};

bool Tidy(const TSetPlace &place, QStringList &notes, QString &error)
{
    struct stat st;
    if (::lstat(place.Staging.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return true; // nothing left, or a P.new that is no save's
    QStringList exts;
    if (place.ReadyList(exts)) {
        if (!place.Complete(exts, error))
            return false;
        notes.append(FileTexts::SetSaveFinished(place.SetName));
        return true;
    }
    if (!place.Discard()) {
        error = FileTexts::SetStagingInTheWay(Native(place.Staging));
        return false;
    }
    notes.append(FileTexts::SetSaveRemoved(place.SetName, Native(place.Staging)));
    return true;
}

} // namespace

bool IsSectionName(const QString &ext)
{
    return ext.size() == 3 && IsOctalText(ext) && SectionNumberText(ParseSectionNumber(ext)) == ext;
}

bool TidySectionSet(const QString &dir, const QString &base, QStringList &notes, QString &error)
{
    const TInterruptHold hold;
    return Tidy(TSetPlace(dir, base), notes, error);
}

bool ReplaceSectionSet(const QString &dir, const QString &base, const QList<TSetFile> &files,
                       QStringList &notes, QString &error)
{
    const TInterruptHold hold;
    const TSetPlace place(dir, base);
    if (!Tidy(place, notes, error))
        return false;
    // Only a regular file (or nothing) may stand where a file of the set goes; the new file
    // keeps the old one's mode.
    QList<mode_t> modes;
    for (const TSetFile &f : files) {
        struct stat st;
        mode_t mode = 0;
        if (::stat(place.Member(f.Extension).constData(), &st) == 0) {
            if (!S_ISREG(st.st_mode)) {
                error = FileSystemTexts::CannotWrite(Native(place.Member(f.Extension)),
                                                     FileSystemTexts::InTheWay(st.st_mode));
                return false;
            }
            mode = st.st_mode & 07777;
        }
        modes.append(mode);
    }
    if (::mkdir(place.Staging.constData(), 0777) != 0) {
        error = FileSystemTexts::CannotCreate(Native(place.Staging), SystemReason(errno));
        return false;
    }
    QByteArray list;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const TSetFile &f = files[i];
        if (!WriteSynced(place.Staged(f.Extension), f.Data, modes[i])) {
            error = FileSystemTexts::CannotWrite(Native(place.Member(f.Extension)),
                                                 SystemReason(errno));
            place.Discard();
            return false;
        }
        list += NativePath(f.Extension) + '\n';
    }
    // The list, whole on the disk, under its final name in one step: from here on the new
    // set is the one that counts.
    if (!WriteSynced(place.Staged(kList), list, 0) ||
        ::rename(place.Staged(kList).constData(), place.Staged(kReady).constData()) != 0 ||
        !SyncFolder(place.Staging)) {
        error = FileSystemTexts::CannotWrite(Native(place.Staged(kReady)), SystemReason(errno));
        place.Discard();
        ::unlink(place.Staged(kReady).constData());
        ::rmdir(place.Staging.constData());
        return false;
    }
    SyncFolder(place.Folder);
    QStringList exts;
    for (const TSetFile &f : files)
        exts.append(f.Extension);
    return place.Complete(exts, error);
}
