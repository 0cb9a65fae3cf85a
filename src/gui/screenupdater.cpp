#include "gui/screenupdater.h"

#include "link/sarvetel.h"

#include <algorithm>
#include <chrono>
#include <thread>

TScreenState TScreenState::Of(const TSarvetel &link, std::uint64_t since)
{
    TScreenState s;
    s.Seen = link.SeenSince(since);
    s.Exchange = link.Exchanges;
    s.Mode = link.Mode;
    s.ErrorsPresent = link.ErrorsPresent != 0;
    s.FaultCount = std::clamp(link.FaultCount, 0, Sarvetel::FaultPairCount);
    for (int k = 0; k < Sarvetel::FaultPairCount; ++k)
        s.FaultWords[k] = link.FaultWord(k);
    for (int i = 0; i < Sarvetel::ScreenLineCount; ++i)
        s.ScreenLines[i] = link.ScreenLines[i];
    return s;
}

TSarvetelScreenUpdater::TSarvetelScreenUpdater(TSarvetel &link, QObject *receiver, const char *news)
    : Link(link), Receiver(receiver), News(news)
{
}

std::shared_ptr<TSarvetelScreenUpdater>
TSarvetelScreenUpdater::Start(TSarvetel &link, QObject *receiver, const char *news)
{
    auto updater = std::make_shared<TSarvetelScreenUpdater>(link, receiver, news);
    // The thread holds the object: when the thread ends and nobody else holds it, it goes.
    std::thread([self = updater] { self->Execute(); }).detach();
    return updater;
}

void TSarvetelScreenUpdater::Terminate()
{
    {
        std::lock_guard<std::mutex> guard(StateLock);
        Stop = true;
    }
    StateChanged.notify_all();
}

void TSarvetelScreenUpdater::WaitEnded()
{
    std::unique_lock<std::mutex> guard(StateLock);
    StateChanged.wait(guard, [this] { return Finished.load(); });
}

void TSarvetelScreenUpdater::Display(std::uint64_t since)
{
    if (Stop || !Receiver)
        return;
    TScreenState state;
    {
        auto line = Link.LineLock();
        state = TScreenState::Of(Link, since);
    }
    std::unique_lock<std::mutex> guard(StateLock);
    Pending = std::move(state);
    HasPending = true;
    QMetaObject::invokeMethod(Receiver, News, Qt::QueuedConnection);
    StateChanged.wait(guard, [this] { return !HasPending || Stop; });
}

void TSarvetelScreenUpdater::Deliver(const TDisplay &display)
{
    TScreenState state;
    {
        std::lock_guard<std::mutex> guard(StateLock);
        if (!HasPending || Stop)
            return;
        state = std::move(Pending);
    }
    display(state);
    {
        std::lock_guard<std::mutex> guard(StateLock);
        HasPending = false;
    }
    StateChanged.notify_all();
}

void TSarvetelScreenUpdater::Pause()
{
    std::unique_lock<std::mutex> guard(StateLock);
    StateChanged.wait_for(guard, std::chrono::milliseconds(PauseMs),
                          [this] { return Stop.load(); });
}

void TSarvetelScreenUpdater::Execute()
{
    using namespace Sarvetel;
    std::uint8_t keys[TKeyQueue::Capacity];
    while (!Stop) {
        std::uint32_t mode = 0;
        std::uint64_t since = 0;
        {
            auto line = Link.LineLock();
            since = Link.Exchanges;
            mode = Link.ReadStatus().Mode;
        }
        if (mode == ModeRun || mode == ModeTest || mode == ModeCopy || mode == ModeStop) {
            for (int i = 0; i < ScreenLineCount && !Stop; i += 2) {
                if (Link.PortOpen && Keys.Count() > 0) {
                    const int n = Keys.TakeAll(keys);
                    // A key frame that failed is not sent again: the keys were pressed once.
                    if (n > 0)
                        static_cast<void>(Link.SendKeys(keys, n));
                }
                // The display copies what the link then knows, and what the exchanges met
                // (TScreenState::Seen): a line that did not come stays as it was shown.
                if (Link.PortOpen)
                    static_cast<void>(Link.ReadScreenLines(i));
                Display(since);
            }
        }
        if (Stop)
            break;
        Display(since);
        ++CycleCount;
        if (Stop)
            break;
        Pause();
    }
    {
        std::lock_guard<std::mutex> guard(StateLock);
        Finished = true;
    }
    StateChanged.notify_all();
}
