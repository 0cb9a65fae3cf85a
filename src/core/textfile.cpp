#include "core/textfile.h"

#include "core/cp1251.h"
#include "core/filesystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString FileSystemTexts::KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("папка");
    if (S_ISFIFO(mode))
        return QStringLiteral("канал (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("устройство");
    if (S_ISSOCK(mode))
        return QStringLiteral("сокет");
    return QStringLiteral("не обычный файл");
}

namespace {

// Reads up to `want` bytes, fewer only at the end of the file.
bool ReadUpTo(int fd, qint64 want, QByteArray &data)
{
    qint64 got = 0;
    while (got < want) {
        if (data.size() < want)
            data.resize(std::min(want, std::max<qint64>(got * 2, 65536)));
        const ssize_t n = ::read(fd, data.data() + got, static_cast<size_t>(data.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            break;
        got += n;
    }
    data.resize(got);
    return true;
}

} // namespace

bool ReadFileStart(const QString &path, qint64 limit, QByteArray &data, bool &more, QString &error)
{
    data.clear();
    more = false;
    const QByteArray name = NativePath(path);
    struct stat st;
    // Looked at before it is opened: opening a FIFO waits for a writer, opening a serial
    // device may change its lines.
    if (::stat(name.constData(), &st) != 0) {
        error = FileSystemTexts::CannotOpen(path, SystemReason(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = FileSystemTexts::NotAFile(path, st.st_mode);
        return false;
    }
    const TFd fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0) {
        error = FileSystemTexts::CannotOpen(path, SystemReason(errno));
        return false;
    }
    if (::fstat(fd.Get(), &st) != 0) {
        error = FileSystemTexts::CannotRead(path, SystemReason(errno));
        return false;
    }
    // Replaced by something else between the two looks: still refused.
    if (!S_ISREG(st.st_mode)) {
        error = FileSystemTexts::NotAFile(path, st.st_mode);
        return false;
    }
    if (!ReadUpTo(fd.Get(), limit + 1, data)) {
        error = FileSystemTexts::CannotRead(path, SystemReason(errno));
        data.clear();
        return false;
    }
    more = data.size() > limit;
    if (more)
        data.truncate(limit);
    return true;
}

QString NotAFileReason(const QString &path)
{
    struct stat st;
    if (::stat(NativePath(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return QString();
    return FileSystemTexts::NotAFile(path, st.st_mode);
}

bool ReadBinaryFile(const QString &path, QByteArray &data, QString &error, qint64 maxSize)
{
    bool more = false;
    if (!ReadFileStart(path, maxSize, data, more, error))
        return false;
    if (more) {
        data.clear();
        error = FileSystemTexts::TooLong(path, maxSize);
        return false;
    }
    return true;
}

bool ReadTextFile(const QString &path, QStringList &lines, QString &error)
{
    QByteArray data;
    if (!ReadBinaryFile(path, data, error))
        return false;
    lines = SplitLines(DecodeCp1251(data));
    return true;
}

bool EncodeTextLines(const QStringList &lines, QByteArray &out, QString &error)
{
    out.clear();
    QByteArray line;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        qsizetype bad = 0;
        if (!EncodeCp1251(lines[i], line, &bad)) {
            error = QStringLiteral("Символ «%1» в строке %2, позиции %3 нельзя записать в "
                                   "кодировке Windows-1251")
                        .arg(lines[i][bad])
                        .arg(i + 1)
                        .arg(bad + 1);
            return false;
        }
        out += line;
        out += "\r\n";
    }
    return true;
}

bool WriteTextFile(const QString &path, const QStringList &lines, QString &error)
{
    QByteArray data;
    if (!EncodeTextLines(lines, data, error)) {
        error = QStringLiteral("Файл %1 не записан: %2").arg(path, error);
        return false;
    }
    return WriteBinaryFile(path, data, error);
}
