#include "sim/ptyserver.h"

#include "core/textutils.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::int64_t NowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SleepUntilUs(std::int64_t t)
{
    const std::int64_t left = t - NowUs();
    if (left > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(left));
}

} // namespace

TPtyServer::TPtyServer(THandler handler) : Handler(std::move(handler)) {}

TPtyServer::~TPtyServer()
{
    Stop();
    Close();
}

bool TPtyServer::Open(const QString &linkPath, QString &error)
{
    Close();
    Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (Master < 0 || ::grantpt(Master) != 0 || ::unlockpt(Master) != 0) {
        error = QStringLiteral("Не удалось создать псевдотерминал: ") +
                QString::fromLocal8Bit(strerror(errno));
        Close();
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(Master, name, sizeof name) != 0) {
        error = QStringLiteral("Не удалось узнать имя псевдотерминала");
        Close();
        return false;
    }
    Slave = QString::fromLocal8Bit(name);
    SlaveKeep = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (SlaveKeep < 0) {
        error = QStringLiteral("Не удалось открыть ") + Slave;
        Close();
        return false;
    }
    termios t{};
    ::tcgetattr(SlaveKeep, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(SlaveKeep, TCSANOW, &t);
    ::fcntl(Master, F_SETFL, ::fcntl(Master, F_GETFL) | O_NONBLOCK);

    if (!linkPath.isEmpty()) {
        const QFileInfo info(linkPath);
        if (info.exists() || info.isSymLink()) {
            if (!info.isSymLink()) {
                error = QStringLiteral("Файл ") + linkPath +
                        QStringLiteral(" уже существует и не является ссылкой");
                Close();
                return false;
            }
            QFile::remove(linkPath);
        }
        if (!QFile::link(Slave, linkPath)) {
            error = QStringLiteral("Не удалось создать ссылку ") + linkPath;
            Close();
            return false;
        }
        Link = linkPath;
    }
    return true;
}

void TPtyServer::Close()
{
    if (!Link.isEmpty()) {
        if (QFileInfo(Link).isSymLink())
            QFile::remove(Link);
        Link.clear();
    }
    if (SlaveKeep >= 0)
        ::close(SlaveKeep);
    if (Master >= 0)
        ::close(Master);
    SlaveKeep = Master = -1;
}

void TPtyServer::Start()
{
    if (Worker.joinable())
        return;
    StopFlag = false;
    Worker = std::thread([this] { Serve(StopFlag); });
}

void TPtyServer::Stop()
{
    StopFlag = true;
    if (Worker.joinable())
        Worker.join();
}

bool TPtyServer::InputPending(int waitMs)
{
    pollfd p{Master, POLLIN, 0};
    return ::poll(&p, 1, waitMs) > 0 && (p.revents & POLLIN);
}

void TPtyServer::Serve(const std::atomic<bool> &stop)
{
    if (Master < 0)
        return;
    std::int64_t firstByteUs = 0;
    std::int64_t lastByteUs = 0;
    std::uint8_t chunk[1024];
    while (!stop) {
        int waitMs = 100;
        if (!Pending.empty()) {
            const std::int64_t gapEnd = lastByteUs + std::int64_t(FrameGapMs) * 1000;
            waitMs =
                static_cast<int>(std::clamp<std::int64_t>((gapEnd - NowUs()) / 1000 + 1, 0, 100));
        }
        pollfd p{Master, POLLIN, 0};
        const int r = ::poll(&p, 1, waitMs);
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t got = ::read(Master, chunk, sizeof chunk);
            if (got > 0) {
                if (Pending.empty())
                    firstByteUs = NowUs();
                lastByteUs = NowUs();
                Pending.insert(Pending.end(), chunk, chunk + got);
            }
        } else if (r > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10)); // hang-up: no busy loop
        }
        // Cut whole requests out of what has arrived.
        for (;;) {
            while (!Pending.empty() && Pending.front() != 0x01)
                Pending.erase(Pending.begin());
            if (Pending.size() < 4)
                break;
            if (ByteSum(Pending.data(), 3) != Pending[3]) {
                Pending.erase(Pending.begin()); // not a frame start: look further
                continue;
            }
            const int length = (Pending[1] | ((Pending[2] & 1) << 8)) + 5;
            if (int(Pending.size()) < length)
                break;
            const std::vector<std::uint8_t> frame(Pending.begin(), Pending.begin() + length);
            Pending.erase(Pending.begin(), Pending.begin() + length);
            Handle(frame.data(), length, firstByteUs, stop);
            firstByteUs = NowUs();
        }
        // A request that stopped short: the controller answers what it could make of it.
        if (!Pending.empty() && NowUs() - lastByteUs >= std::int64_t(FrameGapMs) * 1000) {
            const std::vector<std::uint8_t> frame = std::move(Pending);
            Pending.clear();
            if (frame.size() >= 4 && ByteSum(frame.data(), 3) == frame[3])
                Handle(frame.data(), int(frame.size()), firstByteUs, stop);
        }
    }
}

void TPtyServer::Handle(const std::uint8_t *frame, int length, std::int64_t firstByteUs,
                        const std::atomic<bool> &stop)
{
    ++RequestCount;
    const std::int64_t byteUs = Baud > 0 ? std::int64_t(BitsPerByte) * 1000000 / Baud : 0;
    // The request itself takes its time on the line.
    SleepUntilUs(firstByteUs + byteUs * length);
    TSimReply reply = Handler(frame, length);
    if (reply.Bytes.empty())
        return;
    if (reply.DelayMs > 0 && InputPending(reply.DelayMs))
        return; // the link gave up and asked again: the late answer is never sent
    SendPaced(reply, stop);
}

bool TPtyServer::SendPaced(const TSimReply &reply, const std::atomic<bool> &stop)
{
    const std::int64_t byteUs = Baud > 0 ? std::int64_t(BitsPerByte) * 1000000 / Baud : 0;
    const std::int64_t start = NowUs();
    const int total = int(reply.Bytes.size());
    int sent = 0;
    const std::int64_t deadline = start + byteUs * total + 2000000;
    while (sent < total && !stop) {
        int due = total;
        if (byteUs > 0) {
            // A byte reaches the other end once all its bits have crossed the line.
            due = int(std::min<std::int64_t>(total, (NowUs() - start) / byteUs));
            if (due <= sent) {
                SleepUntilUs(start + byteUs * (sent + 1));
                continue;
            }
        }
        const ssize_t w = ::write(Master, reply.Bytes.data() + sent, size_t(due - sent));
        if (w > 0) {
            sent += int(w);
            continue;
        }
        if (w < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (NowUs() > deadline)
            return false; // nobody reads the line
        pollfd p{Master, POLLOUT, 0};
        ::poll(&p, 1, 20);
    }
    return sent == total;
}
