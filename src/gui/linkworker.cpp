#include "gui/linkworker.h"

#include "link/comport.h"
#include "link/sarvetel.h"

#include <QApplication>
#include <QCursor>

TLinkWorker::TLinkWorker(TCOMPort &port, QObject *parent) : QObject(parent), Port(port)
{
    Thread = std::thread([this] { Loop(); });
}

TLinkWorker::~TLinkWorker()
{
    Cancel();
    {
        std::lock_guard<std::mutex> guard(Lock);
        Quit = true;
    }
    Wake.notify_all();
    Thread.join();
}

void TLinkWorker::Loop()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> guard(Lock);
            Wake.wait(guard, [this] { return HasJob || Quit; });
            if (!HasJob)
                return;
            job = std::move(Job);
            HasJob = false;
        }
        TControllerSeen seen;
        {
            std::lock_guard<std::recursive_mutex> line(Port.Lock);
            const std::uint64_t since = Observed ? Observed->Exchanges : 0;
            job();
            if (Observed)
                seen = Observed->SeenSince(since);
        }
        {
            std::lock_guard<std::mutex> guard(Lock);
            JobDone = true;
            JobSeen = seen;
        }
        Wake.notify_all();
        // Wakes the main thread's wait in Call; the flag above is what it reads. Asked by
        // name, so Qt carries nothing of ours between the threads.
        QMetaObject::invokeMethod(this, "Woken", Qt::QueuedConnection);
    }
}

bool TLinkWorker::JobEnded()
{
    std::lock_guard<std::mutex> guard(Lock);
    return JobDone;
}

TLinkWorker::TOutcome TLinkWorker::Call(const std::function<void()> &job)
{
    if (Busy || !job)
        return Refused;
    LastSeen = TControllerSeen();
    Busy = true;
    CancelRequested = false;
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    emit BusyChanged(true);
    {
        std::lock_guard<std::mutex> guard(Lock);
        Job = job;
        HasJob = true;
        JobDone = false;
    }
    Wake.notify_all();
    // Every event is served meanwhile; the worker's wake-up event ends each wait.
    while (!JobEnded())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!CancelRequested) {
        std::lock_guard<std::mutex> guard(Lock);
        LastSeen = JobSeen;
    }
    QApplication::restoreOverrideCursor();
    Busy = false;
    emit BusyChanged(false);
    return CancelRequested ? Cancelled : Done;
}

TLinkWorker::TOutcome TLinkWorker::Seize(const std::function<void()> &job)
{
    if (Busy || !job)
        return Refused;
    Port.Interrupt();
    // The worker runs every job it was handed, so the port always works again.
    return Call([this, &job] {
        Port.Resume();
        job();
    });
}

void TLinkWorker::Cancel()
{
    if (!Busy)
        return;
    CancelRequested = true;
    Port.Interrupt();
    {
        std::unique_lock<std::mutex> guard(Lock);
        Wake.wait(guard, [this] { return JobDone; });
    }
    Port.Resume();
}
