#include "gui/screenupdater.h"

#include "link/sarvetel.h"
#include "link/sarveteldefs.h"

#include <QThread>

#include <chrono>
#include <thread>

void TKeyQueue::Push(std::uint8_t code)
{
    std::lock_guard<std::mutex> guard(Lock);
    if (Length < Capacity)
        Keys[Length++] = code;
}

int TKeyQueue::TakeAll(std::uint8_t *keys)
{
    std::lock_guard<std::mutex> guard(Lock);
    const int n = Length;
    std::copy(Keys, Keys + n, keys);
    Length = 0;
    return n;
}

int TKeyQueue::Count() const
{
    std::lock_guard<std::mutex> guard(Lock);
    return Length;
}

TSarvetelScreenUpdater::TSarvetelScreenUpdater(TSarvetel &link, TKeyQueue &keys, QObject *receiver,
                                               TDisplay display)
    : Link(link), Keys(keys), Receiver(receiver), DisplayStep(std::move(display))
{
}

std::shared_ptr<TSarvetelScreenUpdater>
TSarvetelScreenUpdater::Start(TSarvetel &link, TKeyQueue &keys, QObject *receiver, TDisplay display)
{
    auto updater =
        std::make_shared<TSarvetelScreenUpdater>(link, keys, receiver, std::move(display));
    // The thread holds the object: when the thread ends and nobody else holds it, it goes.
    std::thread([self = updater] { self->Execute(); }).detach();
    return updater;
}

void TSarvetelScreenUpdater::Display()
{
    QObject *receiver = Receiver.data();
    if (Stop || !receiver)
        return;
    QMetaObject::invokeMethod(
        receiver,
        [this] {
            if (!Stop)
                DisplayStep();
        },
        Qt::BlockingQueuedConnection);
}

void TSarvetelScreenUpdater::Execute()
{
    using namespace Sarvetel;
    std::uint8_t keys[TKeyQueue::Capacity];
    while (!Stop) {
        Link.ReadStatus();
        const std::uint32_t mode = Link.Mode;
        if (mode == ModeRun || mode == ModeTest || mode == ModeCopy || mode == ModeStop) {
            for (int i = 0; i < ScreenLineCount && !Stop; i += 2) {
                if (Link.PortOpen && Keys.Count() > 0) {
                    const int n = Keys.TakeAll(keys);
                    if (n > 0)
                        Link.SendKeys(keys, n);
                }
                if (Link.PortOpen)
                    Link.ReadScreenLines(i);
                Display();
            }
        }
        if (Stop)
            break;
        Display();
        ++CycleCount;
        if (Stop)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(PauseMs));
    }
    Finished = true;
}
