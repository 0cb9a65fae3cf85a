#pragma once
// The program's only path to a controller: one serial device, its line settings, its read
// time-outs and the lock that every controller command holds for its whole exchange.
// POSIX termios underneath; the time-outs keep their classic meaning (interval between two
// bytes, total multiplier per byte asked for, total constant), built on poll.

#include <QString>
#include <QStringList>

#include <termios.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class TLogger;

struct TCommTimeouts
{
    std::uint32_t ReadIntervalTimeout = 100;        // ms of silence after a byte ends a read
    std::uint32_t ReadTotalTimeoutMultiplier = 100; // ms per byte asked for
    std::uint32_t ReadTotalTimeoutConstant = 0;     // ms added to the total
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

// Error codes of Open: errno values. These two are what the port dialog names.
constexpr int PortErrorNotFound = 2;  // ENOENT: no such port
constexpr int PortErrorBusy = 16;     // EBUSY: held by another program
constexpr int PortErrorNoAccess = 13; // EACCES: the user may not open the device

// What a probe of one device found.
enum class TPortPresence { Absent, Free, Busy };

struct TPortInfo
{
    QString Name; // "COM3" for /dev/ttyS2, otherwise the device path
    QString Path;
    bool Busy = false;
};

class TCOMPort
{
public:
    static constexpr int MaxComNumber = 31;

    explicit TCOMPort(TLogger *logger = nullptr);
    ~TCOMPort();
    TCOMPort(const TCOMPort &) = delete;
    TCOMPort &operator=(const TCOMPort &) = delete;

    // Held by every controller command from before its first frame until its last reply
    // has been parsed. Recursive: a command may call another one while holding it.
    std::recursive_mutex Lock;

    std::uint32_t BaudRate = 4800;
    std::uint8_t StopBits = 2; // 0 one, 1 one and a half, 2 two
    std::uint8_t Parity = 1;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t ByteSize = 8;
    termios Config{}; // the device's settings as last read or written
    TCommTimeouts Timeouts;
    int PortNumber = -1; // n of COMn; 0 for a device given by path; -1 none chosen
    QString DevicePath;  // the open device (or the one that went away); empty when none
    int Handle = -1;     // the open file descriptor
    TLogger *Logger;
    // Set by Read or Write when the device went away under the open descriptor (a USB
    // adapter pulled out, the other end of a pseudo-terminal closed); cleared by opening.
    bool DeviceGone = false;

    // COMn. Closes what is open first. Returns 0 or the errno of the failure.
    [[nodiscard]] int Open(int n);
    // Any device path ("/dev/ttyUSB0", a pseudo-terminal). "COMn" maps to /dev/ttyS(n-1).
    [[nodiscard]] int OpenDevice(const QString &name);
    // Opens the port chosen last again (COMn or the device path). 0 or the errno.
    [[nodiscard]] int Reopen();
    // Closes the device and opens the same path again with the same settings: a device
    // that came back after it went away. 0 or the errno of the failure.
    [[nodiscard]] int ReopenDevice();
    void Close();
    bool IsOpen() const { return Handle >= 0; }

    // Ends a Read or Write that is waiting, at once, and makes every later one fail at once
    // until Resume: how closing a window stops an exchange with a slow or silent controller
    // without waiting for its time-outs. Any thread, no lock. Pairs nest: the port works
    // again after as many Resume calls as there were Interrupt calls.
    void Interrupt();
    void Resume();
    bool Interrupted() const { return InterruptDepth.load() > 0; }

    // 0 or the errno of the failure.
    [[nodiscard]] int GetState();
    [[nodiscard]] int SetState();
    [[nodiscard]] int ApplySettings();

    // Discards unread input, then writes the whole request. False when no port is open or
    // the device did not take the bytes in time.
    [[nodiscard]] bool Write(const std::uint8_t *bytes, int count);
    // Reads up to count bytes under the time-outs. The read also ends as soon as complete
    // (when given) says the bytes so far make a whole reply. False when no port is open.
    [[nodiscard]] bool Read(std::uint8_t *buffer, int &bytesRead, int count,
                            const std::function<bool(const std::uint8_t *, int)> &complete = {});

    // "COM" + n for /dev/ttyS(n-1), the path itself otherwise.
    static QString PortNameFor(const QString &path);
    // "COMn" (any letter case) -> /dev/ttyS(n-1); any other text is a path as it stands.
    static QString DevicePathFor(const QString &name);
    // 1..31 for /dev/ttyS0..30, 0 otherwise.
    static int ComNumberFor(const QString &path);

    // Opens the device as the port would, and closes it again.
    [[nodiscard]] static TPortPresence Probe(const QString &path);
    // Present ports, busy ones included: COM1..COM31 first, then USB serial adapters
    // (ttyUSB*, ttyACM*) by their device names. devDir is "/dev" outside the tests.
    static std::vector<TPortInfo> Discover(const QString &devDir = QStringLiteral("/dev"));

    // The text the port dialog and the start-up report show for an open failure of device.
    static QString OpenErrorText(int code, const QString &device = QString());
    // "Нет прав на порт " + device + ": пользователь должен входить в группу " + its group.
    static QString NoAccessText(const QString &device);

private:
    void Log(const QString &text);
    bool IsPseudoTerminal() const;
    void CloseHandle();
    // Waits for events on the device or an interrupt; the poll result, 0 when interrupted.
    [[nodiscard]] int WaitFor(short events, int ms, short &revents);

    std::atomic<int> InterruptDepth{0};
    int InterruptFd = -1; // an eventfd that Interrupt makes readable
};
