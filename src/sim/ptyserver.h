#pragma once
// The serial line end of the controller simulator: a pseudo-terminal in raw mode whose
// slave is linked at a chosen path, so the link opens it like any serial device. Requests
// are cut out of the byte stream by their announced length; each goes to the handler, and
// its reply goes back paced to the baud rate, as a real line would carry it.

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct TSimReply
{
    std::vector<std::uint8_t> Bytes; // nothing: no reply at all
    int DelayMs = 0;                 // a slow controller; a new request cancels the reply
};

class TPtyServer
{
public:
    using THandler = std::function<TSimReply(const std::uint8_t *frame, int length)>;

    explicit TPtyServer(THandler handler);
    ~TPtyServer();
    TPtyServer(const TPtyServer &) = delete;
    TPtyServer &operator=(const TPtyServer &) = delete;

    // Creates the pseudo-terminal and, when linkPath is not empty, a symbolic link to its
    // slave there (an existing symbolic link is replaced; any other file is left alone and
    // the call fails). False with error set on failure.
    [[nodiscard]] bool Open(const QString &linkPath, QString &error);
    QString SlavePath() const { return Slave; }
    QString LinkPath() const { return Link; }

    // 0: no pacing. Otherwise each byte takes BitsPerByte / baud seconds on the line, in
    // both directions.
    int Baud = 0;
    int BitsPerByte = 12; // start, 8 data, parity, 2 stop: the controller's default line
    // Silence inside a request after which its bytes so far count as a broken frame.
    int FrameGapMs = 500;

    // Serves in a thread of its own until Stop.
    void Start();
    void Stop();
    // Serves in the calling thread until stop becomes true (checked at least every 100 ms).
    void Serve(const std::atomic<bool> &stop);

    // Requests served so far.
    std::atomic<int> RequestCount{0};

private:
    void Handle(const std::uint8_t *frame, int length, std::int64_t firstByteUs,
                const std::atomic<bool> &stop);
    bool SendPaced(const TSimReply &reply, const std::atomic<bool> &stop);
    bool InputPending(int waitMs);
    void Close();

    THandler Handler;
    int Master = -1;
    int SlaveKeep = -1; // held open so the line never hangs up between clients
    QString Slave;
    QString Link;
    std::thread Worker;
    std::atomic<bool> StopFlag{false};
    std::vector<std::uint8_t> Pending;
};
