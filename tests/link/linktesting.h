#pragma once
// Helpers of the link tests: reply frames built by hand, a scripted controller on a real
// pseudo-terminal, and the log read back without its time stamps.

#include "core/cp1251.h"
#include "core/logger.h"
#include "core/textutils.h"
#include "link/comport.h"
#include "link/sarvetel.h"
#include "sim/ptyserver.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A reply frame as a controller sends it: the payload length announced in bytes 1-2,
// both checksums; flags go into byte 2 (0x40 frame failure, 0x20 no memory).
inline Bytes ReplyFrame(const Bytes &items, std::uint8_t flags = 0)
{
    Bytes f(4);
    const int n = int(items.size());
    f[0] = 0x01;
    f[1] = std::uint8_t(n & 0xFF);
    f[2] = std::uint8_t(flags | (n >= 256 ? 1 : 0));
    f[3] = ByteSum(f.data(), 3);
    f.insert(f.end(), items.begin(), items.end());
    f.push_back(ByteSum(f.data(), int(f.size())));
    return f;
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes r;
    for (const Bytes &p : parts)
        r.insert(r.end(), p.begin(), p.end());
    return r;
}

inline Bytes Repeat(std::uint8_t b, int n)
{
    return Bytes(std::size_t(n), b);
}

// Lines of a log file without the "H:M:S   " stamp.
inline QStringList LogLines(const QString &fileName)
{
    QFile f(fileName);
    QStringList lines;
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    const QByteArray all = f.readAll();
    for (const QByteArray &raw : all.split('\n')) {
        if (raw.isEmpty())
            continue;
        QByteArray line = raw;
        if (line.endsWith('\r'))
            line.chop(1);
        const int stamp = line.indexOf("   ");
        lines << DecodeCp1251(stamp >= 0 ? line.mid(stamp + 3) : line);
    }
    return lines;
}

// A controller that answers from a script: the replies queue first, then the fallback.
class TScriptedController
{
public:
    TScriptedController() : Server([this](const std::uint8_t *f, int n) { return Answer(f, n); }) {}
    // The server thread answers from the members below: it ends before they go.
    ~TScriptedController() { Server.Stop(); }

    bool Open()
    {
        QString error;
        return Server.Open(QString(), error);
    }
    QString Path() const { return Server.SlavePath(); }
    void Start() { Server.Start(); }

    void Queue(const Bytes &reply, int delayMs = 0)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Replies.push_back({reply, delayMs});
    }
    // The answer to every request the queue does not answer; none: no reply.
    void SetFallback(std::function<TSimReply(const Bytes &)> fallback)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Fallback = std::move(fallback);
    }

    std::vector<Bytes> Requests()
    {
        std::lock_guard<std::mutex> lock(Mutex);
        return Seen;
    }
    void ClearRequests()
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Seen.clear();
    }

    TPtyServer Server;

private:
    TSimReply Answer(const std::uint8_t *f, int n)
    {
        std::lock_guard<std::mutex> lock(Mutex);
        Seen.emplace_back(f, f + n);
        if (!Replies.empty()) {
            TSimReply r = Replies.front();
            Replies.pop_front();
            return r;
        }
        if (Fallback)
            return Fallback(Bytes(f, f + n));
        return {};
    }

    std::mutex Mutex;
    std::deque<TSimReply> Replies;
    std::vector<Bytes> Seen;
    std::function<TSimReply(const Bytes &)> Fallback;
};
