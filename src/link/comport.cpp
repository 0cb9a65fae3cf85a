#include "link/comport.h"

#include "core/logger.h"
#include "link/sarveteldefs.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// No wait of the port is ever longer than this, whatever the time-outs say.
constexpr int HardWaitLimitMs = 60000;

speed_t SpeedCode(std::uint32_t baud, bool &known)
{
    struct Rate
    {
        std::uint32_t Baud;
        speed_t Code;
    };
    static const Rate rates[] = {
        {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
        {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
        {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
        {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (const Rate &r : rates)
        if (r.Baud == baud) {
            known = true;
            return r.Code;
        }
    known = false;
    return B4800;
}

std::uint32_t BaudOf(speed_t code)
{
    switch (code) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

// Open failures that mean "there is no such port" as opposed to "it is there but not ours".
int NormalisedOpenError(int err)
{
    switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case EIO:
    case ENOTDIR:
        return PortErrorNotFound;
    case EWOULDBLOCK:
    case EBUSY:
        return PortErrorBusy;
    default:
        return err;
    }
}

// Opens the device exclusively: another process that holds it (with its own lock) makes
// this fail with PortErrorBusy. Returns the descriptor or -errno.
int OpenExclusive(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -NormalisedOpenError(errno);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd);
        return -PortErrorNotFound;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return -NormalisedOpenError(err);
    }
    // flock keeps out only programs that lock too; the terminal's exclusive mode makes every
    // later open fail (except root's). A device that has no such mode is still ours.
    ::ioctl(fd, TIOCEXCL);
    return fd;
}

// Gives up the device: its exclusive mode first, which a pseudo-terminal held open elsewhere
// would otherwise keep after this descriptor is gone.
void CloseDevice(int fd)
{
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

// Errors of read and write that mean the device is no longer there.
bool DeviceVanished(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EPIPE;
}

int RemainingMs(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

} // namespace

TCOMPort::TCOMPort(TLogger *logger) : Logger(logger)
{
    InterruptFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

TCOMPort::~TCOMPort()
{
    Close();
    if (InterruptFd >= 0)
        ::close(InterruptFd);
}

void TCOMPort::Interrupt()
{
    ++InterruptDepth;
    const std::uint64_t one = 1;
    if (InterruptFd >= 0 && ::write(InterruptFd, &one, sizeof one) < 0) {
        // Already signalled to the limit: the waiting read is woken all the same.
    }
}

void TCOMPort::Resume()
{
    if (InterruptDepth.load() <= 0 || --InterruptDepth > 0)
        return; // another interrupt still stands
    std::uint64_t count = 0;
    if (InterruptFd >= 0 && ::read(InterruptFd, &count, sizeof count) < 0) {
        // Nothing was signalled.
    }
}

int TCOMPort::WaitFor(short events, int ms, short &revents)
{
    revents = 0;
    if (Interrupted())
        return 0;
    pollfd p[2] = {{Handle, events, 0}, {InterruptFd, POLLIN, 0}};
    const int r = ::poll(p, InterruptFd >= 0 ? 2 : 1, ms);
    if (r <= 0 || Interrupted())
        return r < 0 ? r : 0;
    revents = p[0].revents;
    return revents ? 1 : 0;
}

void TCOMPort::CloseHandle()
{
    if (Handle >= 0)
        CloseDevice(Handle);
    Handle = -1;
}

void TCOMPort::Log(const QString &text)
{
    if (Logger)
        Logger->AddLine(text);
}

int TCOMPort::Open(int n)
{
    const int result = OpenDevice(QStringLiteral("/dev/ttyS%1").arg(n - 1));
    PortNumber = n;
    return result;
}

int TCOMPort::OpenDevice(const QString &name)
{
    const QString path = DevicePathFor(name);
    CloseHandle();
    DeviceGone = false;
    DevicePath.clear();
    PortNumber = ComNumberFor(path);
    const int fd = OpenExclusive(path);
    if (fd < 0)
        return -fd;
    Handle = fd;
    DevicePath = path;
    const int state = GetState();
    if (state != 0)
        return state;
    return ApplySettings();
}

int TCOMPort::Reopen()
{
    if (PortNumber > 0)
        return Open(PortNumber);
    if (!DevicePath.isEmpty())
        return OpenDevice(DevicePath);
    return PortErrorNotFound;
}

int TCOMPort::ReopenDevice()
{
    const QString path = DevicePath;
    if (path.isEmpty())
        return PortErrorNotFound;
    const int number = PortNumber;
    const int result = OpenDevice(path);
    PortNumber = number;
    if (Handle < 0) {
        // Still away: the next command tries again.
        DevicePath = path;
        DeviceGone = true;
    }
    return result;
}

void TCOMPort::Close()
{
    CloseHandle();
    PortNumber = -1;
    DevicePath.clear();
}

int TCOMPort::GetState()
{
    if (Handle < 0)
        return EBADF;
    if (::tcgetattr(Handle, &Config) != 0)
        return errno;
    return 0;
}

bool TCOMPort::IsPseudoTerminal() const
{
    struct stat st
    {
    };
    if (Handle < 0 || ::fstat(Handle, &st) != 0)
        return false;
    const unsigned m = major(st.st_rdev);
    return (m >= 136 && m <= 143) || m == 3; // UNIX98 and legacy pty slaves
}

int TCOMPort::SetState()
{
    if (Handle < 0)
        return EBADF;
    termios wanted = Config;
    if (::tcsetattr(Handle, TCSANOW, &wanted) != 0) {
        const int err = errno;
        // A pseudo-terminal clears PARENB, and a repeated request whose only remaining
        // change is the parity is refused: take the settings without it and go on.
        if (err == EINVAL && IsPseudoTerminal() && (wanted.c_cflag & PARENB)) {
            wanted.c_cflag &= ~(PARENB | PARODD | CMSPAR);
            wanted.c_iflag &= ~INPCK;
            if (::tcsetattr(Handle, TCSANOW, &wanted) != 0) {
                const int again = errno;
                Log(Sarvetel::PortSettingsRejected + QString::number(again));
                return again;
            }
            Log(Sarvetel::PortPtyParity);
        } else {
            Log(Sarvetel::PortSettingsRejected + QString::number(err));
            return err;
        }
    } else {
        termios now{};
        if (::tcgetattr(Handle, &now) == 0 && (now.c_cflag & PARENB) != (wanted.c_cflag & PARENB)) {
            if (!IsPseudoTerminal()) {
                Log(Sarvetel::PortSettingsRejected + QString::number(EINVAL));
                return EINVAL;
            }
            Log(Sarvetel::PortPtyParity);
        }
    }
    // The settings are now the device's: copy them back into the four fields.
    const std::uint32_t baud = BaudOf(cfgetospeed(&Config));
    if (baud != 0)
        BaudRate = baud;
    switch (Config.c_cflag & CSIZE) {
    case CS5:
        ByteSize = 5;
        break;
    case CS6:
        ByteSize = 6;
        break;
    case CS7:
        ByteSize = 7;
        break;
    default:
        ByteSize = 8;
        break;
    }
    if (!(Config.c_cflag & PARENB))
        Parity = 0;
    else if (Config.c_cflag & CMSPAR)
        Parity = (Config.c_cflag & PARODD) ? 3 : 4;
    else
        Parity = (Config.c_cflag & PARODD) ? 1 : 2;
    if (!(Config.c_cflag & CSTOPB))
        StopBits = 0;
    else if (StopBits != 1) // 1.5 is applied as 2 and keeps its code
        StopBits = 2;
    return 0;
}

int TCOMPort::ApplySettings()
{
    if (Handle < 0)
        return EBADF;
    bool known = false;
    const speed_t speed = SpeedCode(BaudRate, known);
    if (!known)
        return EINVAL;
    termios t = Config;
    // Binary mode: no line editing, no translation, no flow control.
    ::cfmakeraw(&t);
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    switch (ByteSize) {
    case 5:
        t.c_cflag |= CS5;
        break;
    case 6:
        t.c_cflag |= CS6;
        break;
    case 7:
        t.c_cflag |= CS7;
        break;
    default:
        t.c_cflag |= CS8;
        break;
    }
    switch (Parity) {
    case 0:
        break;
    case 1:
        t.c_cflag |= PARENB | PARODD;
        break;
    case 2:
        t.c_cflag |= PARENB;
        break;
    case 3:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case 4:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        return EINVAL;
    }
    if (Parity != 0)
        t.c_iflag |= INPCK; // bytes with a parity error are not taken for data
    if (StopBits == 1)
        Log(Sarvetel::PortOneAndHalfStop);
    if (StopBits != 0)
        t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    Config = t;
    return SetState();
}

bool TCOMPort::Write(const std::uint8_t *bytes, int count)
{
    if (Handle < 0 || count < 0 || Interrupted())
        return false;
    // A late reply to an earlier request must never be taken for the answer to this one.
    ::tcflush(Handle, TCIFLUSH);
    // Even a slow line takes a request within this time; a device that does not is broken.
    const int limitMs = 1000 + count * 20 +
                        static_cast<int>(Timeouts.WriteTotalTimeoutConstant +
                                         Timeouts.WriteTotalTimeoutMultiplier * count);
    const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    int done = 0;
    while (done < count) {
        const ssize_t w = ::write(Handle, bytes + done, static_cast<size_t>(count - done));
        if (w > 0) {
            done += static_cast<int>(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR) {
            DeviceGone = DeviceVanished(errno);
            return false;
        }
        const int left = RemainingMs(deadline);
        if (left == 0 || Interrupted())
            return false;
        short revents = 0;
        if (WaitFor(POLLOUT, left, revents) < 0 && errno != EINTR)
            return false;
        if (revents & (POLLERR | POLLNVAL | POLLHUP)) {
            DeviceGone = true;
            return false;
        }
    }
    return true;
}

bool TCOMPort::Read(std::uint8_t *buffer, int &bytesRead, int count,
                    const std::function<bool(const std::uint8_t *, int)> &complete)
{
    bytesRead = 0;
    if (Handle < 0)
        return false;
    if (count <= 0)
        return true;
    const auto start = Clock::now();
    const std::uint64_t total = std::uint64_t(Timeouts.ReadTotalTimeoutMultiplier) * count +
                                Timeouts.ReadTotalTimeoutConstant;
    const bool useTotal = total != 0;
    const auto totalDeadline =
        start + std::chrono::milliseconds(useTotal ? std::min<std::uint64_t>(total, HardWaitLimitMs)
                                                   : HardWaitLimitMs);
    const int interval =
        static_cast<int>(std::min<std::uint32_t>(Timeouts.ReadIntervalTimeout, HardWaitLimitMs));
    while (bytesRead < count) {
        int wait = RemainingMs(totalDeadline);
        if (bytesRead > 0 && interval > 0)
            wait = std::min(wait, interval);
        if (wait == 0)
            break;
        short revents = 0;
        const int r = WaitFor(POLLIN, wait, revents);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (r == 0)
            break; // the total ran out, the line fell silent after a byte, or interrupted
        if (!(revents & POLLIN)) {
            DeviceGone = (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
            break; // hang-up or error without data
        }
        const ssize_t got =
            ::read(Handle, buffer + bytesRead, static_cast<size_t>(count - bytesRead));
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR)
                continue;
            DeviceGone = DeviceVanished(errno);
            break;
        }
        if (got == 0) {
            DeviceGone = true; // end of file on a terminal: hung up
            break;
        }
        bytesRead += static_cast<int>(got);
        if (complete && complete(buffer, bytesRead))
            break;
    }
    return true;
}

QString TCOMPort::PortNameFor(const QString &path)
{
    const int n = ComNumberFor(path);
    if (n > 0)
        return QStringLiteral("COM%1").arg(n);
    return path;
}

QString TCOMPort::DevicePathFor(const QString &name)
{
    static const QRegularExpression com(QStringLiteral("^[Cc][Oo][Mm]([0-9]{1,2})$"));
    const auto m = com.match(name);
    if (m.hasMatch()) {
        const int n = m.captured(1).toInt();
        if (n >= 1)
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
    return name;
}

int TCOMPort::ComNumberFor(const QString &path)
{
    static const QRegularExpression tty(QStringLiteral("^/dev/ttyS([0-9]{1,2})$"));
    const auto m = tty.match(path);
    if (!m.hasMatch())
        return 0;
    const int k = m.captured(1).toInt();
    return k + 1 <= MaxComNumber ? k + 1 : 0;
}

TPortPresence TCOMPort::Probe(const QString &path)
{
    const int fd = OpenExclusive(path);
    if (fd >= 0) {
        CloseDevice(fd);
        return TPortPresence::Free;
    }
    if (-fd == PortErrorNotFound)
        return TPortPresence::Absent;
    return TPortPresence::Busy; // held elsewhere, or not ours to open: still a port
}

std::vector<TPortInfo> TCOMPort::Discover(const QString &devDir)
{
    std::vector<TPortInfo> found;
    auto add = [&](const QString &name, const QString &path) {
        const TPortPresence p = Probe(path);
        if (p != TPortPresence::Absent)
            found.push_back({name, path, p == TPortPresence::Busy});
    };
    for (int n = 1; n <= MaxComNumber; ++n)
        add(QStringLiteral("COM%1").arg(n), devDir + QStringLiteral("/ttyS%1").arg(n - 1));
    QDir dir(devDir);
    QStringList usb = dir.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                    QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    std::sort(usb.begin(), usb.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (const QString &entry : usb) {
        const QString path = devDir + QLatin1Char('/') + entry;
        add(path, path);
    }
    return found;
}

QString TCOMPort::NoAccessText(const QString &device)
{
    const QString path = DevicePathFor(device);
    QString groupName;
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (const struct group *g = ::getgrgid(st.st_gid))
            groupName = QString::fromLocal8Bit(g->gr_name);
        else
            groupName = QString::number(st.st_gid);
    }
    return Sarvetel::PortNoAccess1 + path + Sarvetel::PortNoAccess2 + groupName + u'.';
}

QString TCOMPort::OpenErrorText(int code, const QString &device)
{
    if (code == PortErrorNotFound)
        return Sarvetel::PortNotFound;
    if (code == PortErrorBusy)
        return Sarvetel::PortBusy;
    if (code == PortErrorNoAccess && !device.isEmpty())
        return NoAccessText(device);
    return Sarvetel::PortErrorCode + QString::number(code);
}
