#include "link/prptransfer.h"

#include "core/textutils.h"
#include "link/sarvetel.h"
#include "link/sarveteldefs.h"
#include "model/zentorprogram.h"
#include "prp/prplayout.h"

#include <algorithm>
#include <chrono>
#include <vector>

using namespace Sarvetel;

int PRPImageLength(const std::uint8_t *image, int available)
{
    if (available < PrpLayout::LengthKnownFrom)
        return std::max(available, 0);
    return std::min(ImageEndOf(image), available);
}

// ----------------------------------------------------------------------------- base

TPRPTransferThread::TPRPTransferThread(TSarvetel &link, TZentorProgram &program,
                                       TProgress &progress, TTransferQuestions *questions)
    : Link(link), Program(program), Progress(progress), Questions(questions)
{
}

TPRPTransferThread::~TPRPTransferThread()
{
    Terminated = true;
    if (Worker.joinable())
        Worker.join();
}

void TPRPTransferThread::Start()
{
    if (Worker.joinable())
        return;
    Ended = false;
    Worker = std::thread([this] { Execute(); });
}

void TPRPTransferThread::Execute()
{
    Run();
    // The window closes on every path, so it never stays open after the job.
    Progress.Hide();
    {
        std::lock_guard<std::mutex> lock(EndLock);
        Ended = true;
    }
    EndSignal.notify_all();
}

bool TPRPTransferThread::WaitFor(int ms)
{
    std::unique_lock<std::mutex> lock(EndLock);
    const bool ended =
        EndSignal.wait_for(lock, std::chrono::milliseconds(ms), [this] { return Ended.load(); });
    lock.unlock();
    if (ended && Worker.joinable() && Worker.get_id() != std::this_thread::get_id())
        Worker.join();
    return ended;
}

bool TPRPTransferThread::Ask(const QString &text, const QString &caption)
{
    return Questions && Questions->Confirm(text, caption);
}

void TPRPTransferThread::AddMessage(const QString &text)
{
    if (Program.Messages)
        Program.Messages->append(text);
}

void TPRPTransferThread::EndWith(TTransferResult result, const QString &message)
{
    AddMessage(message);
    StopMessage = message;
    Result = result;
}

// ---------------------------------------------------------------------------- write

void TPRPWriteThread::Run()
{
    Progress.SetCaption(WriteCaption);
    Progress.SetAction(AskingLength);
    Progress.SetPosition(0);

    const int limit = 32 * (std::clamp(Program.HighestGroup, 0, 7) + 1);
    ProgressMaximum = limit + 1;
    ProgressPosition = 0;
    Action = WritingHeader;
    Progress.SetAction(Action);
    Progress.SetMaximum(ProgressMaximum);
    Progress.SetPosition(ProgressPosition);
    Progress.Show();
    // The bytes sent of the total, on a line of their own beside the action.
    int total = Program.Header.BytesLength, sent = 0;
    for (int s = 0; s < limit; ++s)
        if (Program.Sections[s].Present && Program.Sections[s].CodeLength > 0)
            total += Program.Sections[s].CodeLength;
    const auto showSent = [&] { Progress.SetDetail(BytesSent.arg(sent).arg(total)); };
    showSent();

    // Each part and key is asked again by itself; the user is asked only when one of them
    // failed every attempt, and OK then writes the whole header again.
    const TAttempts attempts(RequestAttempts, &Terminated);
    while (!Link.WriteHeader(Program.Header, attempts)) {
        if (Terminated)
            break;
        if (!Ask(HeaderRetry, CaptionAttention))
            return EndWith(TTransferResult::Failed, HeaderNotWritten);
    }
    if (Terminated)
        return EndWith(TTransferResult::Cancelled, WriteCancelled);
    sent += Program.Header.BytesLength;
    showSent();
    for (int s = 0; s < limit; ++s) {
        const TZentorSection &section = Program.Sections[s];
        // A present section that compiled to nothing has no block to send.
        if (!section.Present || section.CodeLength <= 0)
            continue;
        Action = WritingSection + SectionNumberText(s);
        ProgressPosition = s + 1;
        if (Terminated)
            return EndWith(TTransferResult::Cancelled, WriteCancelled);
        Progress.SetAction(Action);
        Progress.SetPosition(ProgressPosition);
        while (!Link.WriteSection(section, attempts)) {
            if (Terminated)
                return EndWith(TTransferResult::Cancelled, WriteCancelled);
            if (!Ask(SectionRetry, CaptionAttention))
                return EndWith(TTransferResult::Failed,
                               SectionNotWritten1 + SectionNumberText(s) + SectionNotWritten2);
        }
        sent += section.CodeLength;
        showSent();
        std::this_thread::sleep_for(std::chrono::milliseconds(SectionPauseMs));
    }
    Result = TTransferResult::Done;
}

// ----------------------------------------------------------------------------- read

bool TPRPReadThread::ReadBlocks(std::uint8_t *image, int pass)
{
    BytesReceived = 0;
    Link.PRPBlockCount = 0;
    const TAttempts attempts(RequestAttempts, &Terminated);
    BlockCount = Link.ReadPRPBlockCount(attempts);
    if (Link.LinkStatus != LinkAccepted || BlockCount <= 0) {
        if (Terminated)
            EndWith(TTransferResult::Cancelled, ReadCancelled);
        else
            EndWith(TTransferResult::Failed, LengthNotReceived);
        return false;
    }
    const int passes = ReadTwice ? 2 : 1;
    const int maximum = passes * (BlockCount + 1);
    Progress.SetMaximum(maximum);
    for (int k = 0; k <= BlockCount; ++k) {
        if (Terminated) {
            EndWith(TTransferResult::Cancelled, ReadCancelled);
            return false;
        }
        CurrentBlock = k;
        Link.ReadPRPBlock(image, TZentorProgram::ImageSize, k, attempts);
        const bool arrived = Link.LinkStatus == LinkAccepted && Link.LastBlockNumber == k;
        if (!arrived) {
            // The block past the count may well not exist: that ends the read quietly.
            if (Terminated) {
                EndWith(TTransferResult::Cancelled, ReadCancelled);
                return false;
            }
            if (k < BlockCount) {
                EndWith(TTransferResult::Failed,
                        BlockNotReceived1 + QString::number(k) + BlockNotReceived2);
                return false;
            }
            break;
        }
        BytesReceived = (k + 1) * BlockSize;
        Progress.SetAction((pass == 0 ? ReadingBlock : ReadingBlockAgain) + QString::number(k) +
                           ReadingBlockOf + QString::number(BlockCount));
        Progress.SetMaximum(maximum);
        Progress.SetPosition(pass * (BlockCount + 1) + k);
        Progress.Show();
    }
    return true;
}

void TPRPReadThread::Run()
{
    Progress.SetCaption(ReadCaption);
    Progress.SetAction(AskingLength);
    Progress.SetPosition(0);

    Program.ImageLength = 0;
    Result = TTransferResult::Done;
    if (!ReadBlocks(Program.Image, 0))
        return;
    Program.ImageLength = PRPImageLength(Program.Image, BytesReceived);
    if (!ReadTwice)
        return;
    std::vector<std::uint8_t> again(TZentorProgram::ImageSize, 0);
    if (!ReadBlocks(again.data(), 1))
        return;
    const int length = PRPImageLength(again.data(), BytesReceived);
    const auto *first = Program.Image;
    const auto differs =
        std::mismatch(first, first + std::min(length, Program.ImageLength), again.data());
    const int offset = static_cast<int>(differs.first - first);
    if (length != Program.ImageLength || offset < length)
        EndWith(TTransferResult::Failed, ReadsDiffer(offset));
}
