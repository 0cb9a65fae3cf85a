// The serial port over real pseudo-terminals: settings, exclusive use, discovery, the read
// time-outs, the end of a whole reply and the receive purge.

#include "linktesting.h"
#include "sim/simulator.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

// The controller end of a pseudo-terminal, driven by hand.
class TPty
{
public:
    TPty()
    {
        Master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (Master >= 0 && ::grantpt(Master) == 0 && ::unlockpt(Master) == 0) {
            char name[128] = {};
            ::ptsname_r(Master, name, sizeof name);
            Slave = QString::fromLocal8Bit(name);
            Keep = ::open(name, O_RDWR | O_NOCTTY);
            termios t{};
            ::tcgetattr(Keep, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(Keep, TCSANOW, &t);
        }
    }
    ~TPty()
    {
        if (Keep >= 0)
            ::close(Keep);
        if (Master >= 0)
            ::close(Master);
    }
    void Send(const Bytes &b) { ASSERT_EQ(::write(Master, b.data(), b.size()), ssize_t(b.size())); }
    Bytes Receive(int waitMs = 1000)
    {
        Bytes got;
        pollfd p{Master, POLLIN, 0};
        if (::poll(&p, 1, waitMs) > 0) {
            std::uint8_t buf[600];
            const ssize_t n = ::read(Master, buf, sizeof buf);
            if (n > 0)
                got.assign(buf, buf + n);
        }
        return got;
    }
    int Master = -1;
    int Keep = -1;
    QString Slave;
};

bool WaitReadable(int fd, int ms)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

} // namespace

TEST(COMPort, OpensAPseudoTerminalWithTheControllerDefaults)
{
    QTemporaryDir dir;
    TLogger logger(dir.filePath(QStringLiteral("log")));
    TPty pty;
    ASSERT_FALSE(pty.Slave.isEmpty());
    TCOMPort port(&logger);
    EXPECT_EQ(port.BaudRate, 4800u);
    EXPECT_EQ(port.Parity, 1);
    EXPECT_EQ(port.StopBits, 2);
    EXPECT_EQ(port.ByteSize, 8);
    EXPECT_EQ(port.Timeouts.ReadIntervalTimeout, 100u);
    EXPECT_EQ(port.Timeouts.ReadTotalTimeoutMultiplier, 100u);
    EXPECT_EQ(port.Timeouts.ReadTotalTimeoutConstant, 0u);
    ASSERT_EQ(port.OpenDevice(pty.Slave), 0);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.PortNumber, 0);
    // The settings stay those asked for, though the pseudo-terminal keeps no parity.
    EXPECT_EQ(port.BaudRate, 4800u);
    EXPECT_EQ(port.Parity, 1);
    EXPECT_EQ(port.StopBits, 2);
    EXPECT_EQ(cfgetospeed(&port.Config), speed_t(B4800));
    EXPECT_TRUE(port.Config.c_cflag & CSTOPB);
    // Opening again and re-applying goes through as well.
    static_cast<void>(port.Reopen()); // the pseudo-terminal may refuse a setting
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.ApplySettings(), 0);

    port.StopBits = 1;
    port.Parity = 2;
    port.BaudRate = 19200;
    EXPECT_EQ(port.ApplySettings(), 0);
    EXPECT_EQ(port.StopBits, 1);
    EXPECT_EQ(port.BaudRate, 19200u);
    port.BaudRate = 12345;
    EXPECT_NE(port.ApplySettings(), 0);
    port.Close();
    EXPECT_EQ(port.PortNumber, -1);
    EXPECT_FALSE(port.IsOpen());
    const QStringList lines = LogLines(dir.filePath(QStringLiteral("log")));
    EXPECT_TRUE(lines.contains(Sarvetel::PortPtyParity)) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(Sarvetel::PortOneAndHalfStop));
}

TEST(COMPort, BusyAndMissingPorts)
{
    TPty pty;
    TCOMPort first, second;
    ASSERT_EQ(first.OpenDevice(pty.Slave), 0);
    EXPECT_EQ(second.OpenDevice(pty.Slave), PortErrorBusy);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(TCOMPort::Probe(pty.Slave), TPortPresence::Busy);
    EXPECT_EQ(TCOMPort::OpenErrorText(PortErrorBusy),
              QStringLiteral("СОМ-порт занят другим приложением"));
    first.Close();
    EXPECT_EQ(TCOMPort::Probe(pty.Slave), TPortPresence::Free);
    EXPECT_EQ(second.OpenDevice(pty.Slave), 0);

    TCOMPort none;
    EXPECT_EQ(none.OpenDevice(QStringLiteral("/nonexistent/ttyX")), PortErrorNotFound);
    EXPECT_EQ(TCOMPort::OpenErrorText(PortErrorNotFound), QStringLiteral("СОМ-порт не обнаружен"));
    EXPECT_EQ(TCOMPort::OpenErrorText(13), QStringLiteral("код ошибки 13"));
    // A plain file is no port.
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_EQ(none.OpenDevice(plain.fileName()), PortErrorNotFound);
    // Without a port nothing is written or read.
    int got = 7;
    std::uint8_t b[4] = {};
    EXPECT_FALSE(none.Write(b, 4));
    EXPECT_FALSE(none.Read(b, got, 4));
    EXPECT_EQ(got, 0);
}

TEST(COMPort, NamesOfPorts)
{
    EXPECT_EQ(TCOMPort::DevicePathFor(QStringLiteral("COM3")), QStringLiteral("/dev/ttyS2"));
    EXPECT_EQ(TCOMPort::DevicePathFor(QStringLiteral("com1")), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(TCOMPort::DevicePathFor(QStringLiteral("/dev/ttyUSB0")),
              QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(TCOMPort::PortNameFor(QStringLiteral("/dev/ttyS2")), QStringLiteral("COM3"));
    EXPECT_EQ(TCOMPort::PortNameFor(QStringLiteral("/dev/ttyS30")), QStringLiteral("COM31"));
    EXPECT_EQ(TCOMPort::PortNameFor(QStringLiteral("/dev/ttyS31")), QStringLiteral("/dev/ttyS31"));
    EXPECT_EQ(TCOMPort::PortNameFor(QStringLiteral("/dev/ttyACM0")),
              QStringLiteral("/dev/ttyACM0"));
    TCOMPort port;
    EXPECT_EQ(port.Open(40), PortErrorNotFound);
    EXPECT_EQ(port.PortNumber, 40);
}

TEST(COMPort, DiscoveryListsBusyPortsAndUsbAdapters)
{
    QTemporaryDir dev;
    TPty a, b, usb;
    ASSERT_TRUE(QFile::link(a.Slave, dev.filePath(QStringLiteral("ttyS0"))));
    ASSERT_TRUE(QFile::link(b.Slave, dev.filePath(QStringLiteral("ttyS3"))));
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/nonexistent/x"), dev.filePath(QStringLiteral("ttyS1"))));
    ASSERT_TRUE(QFile::link(usb.Slave, dev.filePath(QStringLiteral("ttyUSB0"))));
    TCOMPort holder;
    ASSERT_EQ(holder.OpenDevice(dev.filePath(QStringLiteral("ttyS3"))), 0);

    const auto ports = TCOMPort::Discover(dev.path());
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].Name, QStringLiteral("COM1"));
    EXPECT_FALSE(ports[0].Busy);
    EXPECT_EQ(ports[1].Name, QStringLiteral("COM4"));
    EXPECT_TRUE(ports[1].Busy);
    EXPECT_EQ(ports[2].Name, dev.filePath(QStringLiteral("ttyUSB0")));
    // Probing left the ports as they were.
    TCOMPort again;
    EXPECT_EQ(again.OpenDevice(dev.filePath(QStringLiteral("ttyS0"))), 0);
}

TEST(COMPort, ReadEndsAfterTheGapTheTotalOrAWholeReply)
{
    TPty pty;
    TCOMPort port;
    ASSERT_EQ(port.OpenDevice(pty.Slave), 0);
    std::uint8_t buf[64];
    int got = 0;

    // Fewer bytes than asked for: the gap after them ends the read with what came.
    pty.Send({1, 2, 3});
    ASSERT_TRUE(port.Read(buf, got, 10));
    EXPECT_EQ(got, 3);
    EXPECT_EQ(buf[2], 3);

    // Nothing at all: the total time-out ends it.
    port.Timeouts.ReadTotalTimeoutMultiplier = 20;
    ASSERT_TRUE(port.Read(buf, got, 5));
    EXPECT_EQ(got, 0);

    // Never more than asked for.
    pty.Send({1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(port.Read(buf, got, 4));
    EXPECT_EQ(got, 4);

    // A whole reply ends the read at once, though more follows within the gap.
    ::tcflush(port.Handle, TCIFLUSH);
    port.Timeouts.ReadIntervalTimeout = 2000;
    port.Timeouts.ReadTotalTimeoutMultiplier = 200;
    const Bytes reply = ReplyFrame({0x19, 0x01, 0xFF});
    std::thread later([&] {
        pty.Send(reply);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        pty.Send({0x55, 0x66});
    });
    ASSERT_TRUE(port.Read(buf, got, 30, &TSarvetel::IsCompleteReply));
    later.join();
    EXPECT_EQ(got, int(reply.size()));
    // Without the completeness test the gap decides, and the later bytes come along.
    port.Timeouts.ReadIntervalTimeout = 100;
    ::tcflush(port.Handle, TCIFLUSH);
    std::thread again([&] {
        pty.Send(reply);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pty.Send({0x55, 0x66});
    });
    ASSERT_TRUE(port.Read(buf, got, 30));
    again.join();
    EXPECT_EQ(got, int(reply.size()) + 2);
}

TEST(COMPort, WriteDiscardsWhatArrivedBefore)
{
    TPty pty;
    TCOMPort port;
    ASSERT_EQ(port.OpenDevice(pty.Slave), 0);
    pty.Send({0xAA, 0xBB, 0xCC}); // a late answer to an earlier request
    ASSERT_TRUE(WaitReadable(port.Handle, 1000));
    const std::uint8_t request[] = {0x01, 0x01, 0xC0, 0xC2, 0x19, 0x9E};
    ASSERT_TRUE(port.Write(request, 6));
    EXPECT_EQ(pty.Receive(), Bytes(request, request + 6));
    pty.Send({0x11});
    std::uint8_t buf[8];
    int got = 0;
    ASSERT_TRUE(port.Read(buf, got, 8));
    ASSERT_EQ(got, 1);
    EXPECT_EQ(buf[0], 0x11);
}

TEST(COMPort, ExclusiveModeIsTakenAndGivenBackAndAccessNamesTheGroup)
{
    TPty pty;
    TCOMPort port;
    ASSERT_EQ(port.OpenDevice(pty.Slave), 0);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(port.Handle, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.Close();
    // The terminal stays open elsewhere: the mode must not outlive the port's descriptor.
    ASSERT_EQ(::ioctl(pty.Keep, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ttyFake"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString group = QString::fromLocal8Bit(::getgrgid(::getegid())->gr_name);
    const QString text = QStringLiteral("Нет прав на порт ") + file +
                         QStringLiteral(": пользователь должен входить в группу ") + group + u'.';
    EXPECT_EQ(TCOMPort::OpenErrorText(PortErrorNoAccess, file), text);
}

TEST(COMPort, InterruptEndsAWaitAtOnceUntilResumed)
{
    TPty pty; // nobody answers
    TCOMPort port;
    ASSERT_EQ(port.OpenDevice(pty.Slave), 0);
    port.Timeouts.ReadTotalTimeoutConstant = 30000;
    std::thread other([&port] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        port.Interrupt();
    });
    const auto start = std::chrono::steady_clock::now();
    std::uint8_t b[8] = {};
    int got = -1;
    static_cast<void>(port.Read(b, got, 8));
    other.join();
    EXPECT_EQ(got, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    // Interrupts nest; until the last Resume nothing goes out.
    port.Interrupt();
    port.Resume();
    EXPECT_TRUE(port.Interrupted());
    EXPECT_FALSE(port.Write(b, 1));
    port.Resume();
    EXPECT_FALSE(port.Interrupted());
    EXPECT_TRUE(port.Write(b, 1));
    EXPECT_EQ(pty.Receive().size(), 1u);
}

TEST(COMPort, ADeviceThatCameBackIsOpenedAgainByTheNextCommand)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ctl"));
    TSarvetelSimulator sim;
    std::mutex simLock;
    const auto serve = [&](const std::uint8_t *f, int n) {
        std::lock_guard<std::mutex> state(simLock);
        return sim.HandleRequest(f, n);
    };
    auto line = std::make_unique<TPtyServer>(serve);
    QString error;
    ASSERT_TRUE(line->Open(path, error)) << error.toStdString();
    line->Start();
    TCOMPort port;
    TSarvetel link(&port, nullptr);
    ASSERT_EQ(port.OpenDevice(path), 0);
    static_cast<void>(link.ReadStatus());
    EXPECT_EQ(link.LinkStatus, Sarvetel::LinkAccepted);
    // The other end goes away (a simulator restarted, an adapter plugged in again) and
    // comes back under the same name.
    line.reset();
    line = std::make_unique<TPtyServer>(serve);
    ASSERT_TRUE(line->Open(path, error)) << error.toStdString();
    line->Start();
    static_cast<void>(link.ReadStatus());
    EXPECT_EQ(link.LinkStatus, Sarvetel::LinkAccepted);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_FALSE(port.DeviceGone);
    // Gone for good: the command fails, and the next one tries again.
    line.reset();
    static_cast<void>(link.ReadStatus());
    EXPECT_NE(link.LinkStatus, Sarvetel::LinkAccepted);
    line = std::make_unique<TPtyServer>(serve);
    ASSERT_TRUE(line->Open(path, error));
    line->Start();
    static_cast<void>(link.ReadStatus());
    EXPECT_EQ(link.LinkStatus, Sarvetel::LinkAccepted);
}
