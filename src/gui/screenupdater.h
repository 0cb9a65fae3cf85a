#pragma once
// The console's screen updater: a worker thread that polls the controller's mode and
// screen, sends the keys pressed on the console, and hands every result to the console on
// the main thread. It ends on request between two frames and frees itself when it ends.

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class TSarvetel;

// Keys pressed on the console and not yet sent. Filled by the main thread, drained by the
// updater; a small lock keeps the two apart.
class TKeyQueue
{
public:
    static constexpr int Capacity = 36; // what one key frame carries
    // Appends the key; a key beyond the capacity is dropped.
    void Push(std::uint8_t code);
    // Moves every queued key into keys (at least Capacity bytes) and returns their count.
    int TakeAll(std::uint8_t *keys);
    int Count() const;

private:
    mutable std::mutex Lock;
    std::uint8_t Keys[Capacity] = {};
    int Length = 0;
};

class TSarvetelScreenUpdater : public std::enable_shared_from_this<TSarvetelScreenUpdater>
{
public:
    // display runs on receiver's thread (the main thread) with the link's state as read;
    // the updater waits for it, so the link's lines are not rewritten meanwhile.
    using TDisplay = std::function<void()>;

    // Starts an updater in a thread of its own. It keeps itself alive until it ends.
    static std::shared_ptr<TSarvetelScreenUpdater> Start(TSarvetel &link, TKeyQueue &keys,
                                                         QObject *receiver, TDisplay display);

    void Terminate() { Stop = true; }
    bool Ended() const { return Finished.load(); }
    bool Terminating() const { return Stop.load(); }
    int Cycles() const { return CycleCount; }
    // Pause between two cycles.
    static constexpr int PauseMs = 50;

    TSarvetelScreenUpdater(TSarvetel &link, TKeyQueue &keys, QObject *receiver, TDisplay display);

private:
    void Execute();
    void Display();

    TSarvetel &Link;
    TKeyQueue &Keys;
    QPointer<QObject> Receiver;
    TDisplay DisplayStep;
    std::atomic<bool> Stop{false};
    std::atomic<bool> Finished{false};
    std::atomic<int> CycleCount{0};
};
