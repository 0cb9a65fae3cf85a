#pragma once
// Writing the compiled PRP into the controller and reading a PRP back out of it. Each job
// runs in a worker thread; it reports its progress, asks its questions and closes its
// window only through the interfaces below, so the desktop's transfer window, the
// command-line tool and the tests drive the same jobs.

#include "core/progress.h"
#include "link/sarvetel.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class TZentorProgram;

// A question with OK and Cancel under a warning icon. True for OK.
class TTransferQuestions
{
public:
    virtual ~TTransferQuestions() = default;
    [[nodiscard]] virtual bool Confirm(const QString &text, const QString &caption) = 0;
};

enum class TTransferResult {
    Done,      // every step was taken
    Cancelled, // stopped on request
    Failed,    // the controller did not take or give what was asked; see Messages
};

class TPRPTransferThread
{
public:
    // progress is where the job shows itself (Hide() closes the window: the job's last
    // step). Without questions every question is answered Cancel.
    TPRPTransferThread(TSarvetel &link, TZentorProgram &program, TProgress &progress,
                       TTransferQuestions *questions);
    virtual ~TPRPTransferThread();
    TPRPTransferThread(const TPRPTransferThread &) = delete;
    TPRPTransferThread &operator=(const TPRPTransferThread &) = delete;

    // Runs the job in a thread of its own.
    void Start();
    // Asks the job to stop; it finishes the frame in progress and closes the window.
    void Terminate() { Terminated = true; }
    // Waits at most ms for the job to end. True when it has ended.
    [[nodiscard]] bool WaitFor(int ms);
    bool Finished() const { return Ended; }
    // Runs the job in the calling thread.
    void Execute();

    TTransferResult Result = TTransferResult::Done;
    // The message the job stopped with (empty when every step was taken); read it after
    // the job has ended.
    QString StopMessage;
    // What the job's exchanges learned of the controller; read it after the job has ended.
    // A job that took every step heard the controller, whatever its last request met (the
    // block past the count may not exist).
    TControllerSeen Seen;
    // What the job's last command learned (why a failed job failed); read it after the job
    // has ended.
    TLinkResult LastLink;
    std::atomic<bool> Terminated{false};

protected:
    virtual void Run() = 0;
    [[nodiscard]] bool Ask(const QString &text, const QString &caption);
    void AddMessage(const QString &text);
    // Records how the job ends: its result and the message for the list.
    void EndWith(TTransferResult result, const QString &message);

    TSarvetel &Link;
    TZentorProgram &Program;
    TProgress &Progress;
    TTransferQuestions *Questions;

private:
    std::thread Worker;
    std::mutex EndLock;
    std::condition_variable EndSignal;
    std::atomic<bool> Ended{false};
};

class TPRPWriteThread : public TPRPTransferThread
{
public:
    using TPRPTransferThread::TPRPTransferThread;
    // The progress counts bytes, as its "Передано N из M байт" line does: the header's and
    // those of every section block sent.
    int ProgressMaximum = 0;
    int ProgressPosition = 0;
    QString Action;
    // Milliseconds of rest after every section the controller took.
    int SectionPauseMs = 100;

protected:
    void Run() override;
};

// Reads the PRP's blocks into the program's Image and sets ImageLength; the caller then
// splits it, which checks the image. A byte that turns from 0x00 into 0xFF on the line
// passes every sum: with ReadTwice the whole PRP is read a second time, and it is taken
// only when both reads agree byte for byte.
class TPRPReadThread : public TPRPTransferThread
{
public:
    using TPRPTransferThread::TPRPTransferThread;
    bool ReadTwice = false;
    int BlockCount = 0;
    int CurrentBlock = 0;
    int BytesReceived = 0;

protected:
    void Run() override;

private:
    // One read of every block into image; false (the job ended) when it did not end whole.
    [[nodiscard]] bool ReadBlocks(std::uint8_t *image, int pass);
};

// The sections a write sends: those present with a code block (one that compiled to nothing
// has none).
[[nodiscard]] int SectionsToWrite(const TZentorProgram &program);

// Header length + the group words, bounded by the bytes at hand.
[[nodiscard]] int PRPImageLength(const std::uint8_t *image, int available);
