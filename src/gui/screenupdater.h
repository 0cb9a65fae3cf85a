#pragma once
// The console's screen updater: a worker thread that polls the controller's mode and
// screen, sends the keys pressed on the console, and hands every result to the console on
// the main thread. One updater is one polling session: it owns the session's key queue,
// and both end together. It ends on request between two frames (Terminate, with the
// port interrupted for a frame in flight) and frees itself when nobody holds it.
//
// The display step gets a copy of the link's state taken under the port's lock, so the
// main thread never reads the link while another thread's command rewrites it, and never
// waits for the line.

#include "link/keyqueue.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// What the console shows of the link, copied under the port's lock.
struct TScreenState
{
    std::uint64_t Exchange = 0; // the link's exchange count when copied: larger is newer
    std::uint32_t Mode = 0;
    bool ErrorsPresent = false;
    int FaultCount = 0;
    std::uint16_t FaultWords[Sarvetel::FaultPairCount] = {};
    QString ScreenLines[Sarvetel::ScreenLineCount];
    // What the exchanges since the cycle began learned of the controller.
    TControllerSeen Seen;

    // The caller holds the port's lock; since is the exchange count when the cycle began.
    static TScreenState Of(const TSarvetel &link, std::uint64_t since = 0);
};

class TSarvetelScreenUpdater : public std::enable_shared_from_this<TSarvetelScreenUpdater>
{
public:
    using TDisplay = std::function<void(const TScreenState &)>;

    // Starts an updater in a thread of its own. It keeps itself alive until it ends. When it
    // has news it asks receiver, by the name of its invokable method news, to call Deliver
    // on the main thread, and waits until that has run (or until it is asked to stop).
    // receiver stays until the updater's thread has ended (it waits in WaitEnded).
    static std::shared_ptr<TSarvetelScreenUpdater> Start(TSarvetel &link, QObject *receiver,
                                                         const char *news);

    // Main thread: shows the news through display, if there is any for this updater.
    void Deliver(const TDisplay &display);
    // Asks the updater to stop; it finishes the frame in flight (interrupt the port to end
    // that at once) and ends without another display.
    void Terminate();
    // Waits until the thread has ended. Main thread: the updater never waits for it once
    // asked to stop.
    void WaitEnded();
    bool Ended() const { return Finished.load(); }
    int Cycles() const { return CycleCount; }
    // Pause between two cycles.
    static constexpr int PauseMs = 50;

    // The session's key queue.
    TKeyQueue Keys;

    TSarvetelScreenUpdater(TSarvetel &link, QObject *receiver, const char *news);

private:
    void Execute();
    void Display(std::uint64_t since);
    void Pause();

    TSarvetel &Link;
    QObject *const Receiver;
    const char *const News;
    // The news passes between the threads only here, under StateLock: Qt carries nothing
    // of ours (a thread checker sees every hand-over).
    std::mutex StateLock; // guards Pending, HasPending and the end
    std::condition_variable StateChanged;
    TScreenState Pending;
    bool HasPending = false;
    std::atomic<bool> Stop{false};
    std::atomic<bool> Finished{false};
    std::atomic<int> CycleCount{0};
};
