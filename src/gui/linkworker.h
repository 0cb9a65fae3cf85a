#pragma once
// The desktop's controller exchanges run here, off the main thread: one worker thread, one
// job at a time. A window hands a job to Call, which keeps the main thread serving events
// (the windows repaint, take a close, show the screen updater's display) until the job has
// ended. Meanwhile the mouse pointer is busy, and the windows that listen to BusyChanged
// show a status line and disable the controls that would start another exchange.
//
// A job runs with the port's lock held for its whole run: it may send several commands as
// one piece and read what they left in the link (link/sarvetel.h), copying out what the
// main thread needs. The main thread itself never takes the port's lock, so it never waits
// for the line.
//
// Closing a window while a job runs: Cancel interrupts the port (the exchange in progress
// and every later one of the job fail at once), waits for the job to end, and lets the
// port work again. Call then answers Cancelled, and the caller drops the job's results.
//
// What a job learned of the controller (whether it answered, its mode) is handed over with
// the job's end, whichever window's job it was; a cancelled job tells nothing.

#include "link/sarvetel.h"

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class TCOMPort;
class TSarvetel;

class TLinkWorker : public QObject
{
    Q_OBJECT
public:
    explicit TLinkWorker(TCOMPort &port, QObject *parent = nullptr);
    ~TLinkWorker() override;

    enum TOutcome {
        Done,      // the job ran to its end
        Refused,   // another job was running: nothing was done
        Cancelled, // Cancel ended it; its results are not to be used
    };
    // Runs job on the worker thread and returns once it has ended. Main thread only.
    TOutcome Call(const std::function<void()> &job);
    // Call for a job that changes the port itself (closes, opens, sets the line): any
    // exchange in flight on another thread ends at once, and none starts until the job holds
    // the line, so a new descriptor never meets a frame meant for the old one.
    TOutcome Seize(const std::function<void()> &job);
    bool IsBusy() const { return Busy; }
    // The link whose exchanges the jobs' news describe (set before the first job).
    void Observe(const TSarvetel *link) { Observed = link; }
    // What the last job that ran learned of the controller; nothing when it was cancelled.
    // Main thread, after Call.
    const TControllerSeen &Seen() const { return LastSeen; }
    // Ends the job in progress at once and waits for it (main thread; nothing to do when
    // no job runs).
    void Cancel();

signals:
    void BusyChanged(bool busy);

private:
    void Loop();
    Q_INVOKABLE void Woken() {} // the event that ends a wait in Call
    bool JobEnded();

    TCOMPort &Port;
    std::mutex Lock; // guards the hand-over fields below
    std::condition_variable Wake;
    std::function<void()> Job;
    bool HasJob = false;
    bool JobDone = true;
    bool Quit = false;
    TControllerSeen JobSeen;
    const TSarvetel *Observed = nullptr;
    std::thread Thread;
    // Main thread only.
    bool Busy = false;
    bool CancelRequested = false;
    TControllerSeen LastSeen;
};
