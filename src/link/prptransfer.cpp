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

namespace {

// The sections a write walks: the groups up to the highest present one.
int WriteLimit(const TZentorProgram &program)
{
    return 32 * (std::clamp(program.HighestGroup, 0, 7) + 1);
}

bool SendsSection(const TZentorSection &section)
{
    return section.Present && section.CodeLength > 0;
}

} // namespace

int SectionsToWrite(const TZentorProgram &program)
{
    int count = 0;
    for (int s = 0; s < WriteLimit(program); ++s)
        count += SendsSection(program.Sections[s]) ? 1 : 0;
    return count;
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
    std::uint64_t since = 0;
    {
        auto line = Link.LineLock();
        since = Link.Exchanges;
    }
    Run();
    {
        auto line = Link.LineLock();
        Seen = Link.SeenSince(since);
    }
    if (Result == TTransferResult::Done && Seen.Exchange != 0)
        Seen.Answered = true;
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

    const int limit = WriteLimit(Program);
    // The bytes sent of the total: the bar and the line beside the action say the same.
    int total = Program.Header.BytesLength;
    for (int s = 0; s < limit; ++s)
        if (SendsSection(Program.Sections[s]))
            total += Program.Sections[s].CodeLength;
    ProgressMaximum = std::max(total, 1);
    ProgressPosition = 0;
    Action = WritingHeader;
    Progress.SetAction(Action);
    Progress.SetMaximum(ProgressMaximum);
    Progress.SetPosition(ProgressPosition);
    Progress.Show();
    const auto showSent = [&] {
        Progress.SetDetail(BytesSent.arg(ProgressPosition).arg(total));
        Progress.SetPosition(ProgressPosition);
    };
    showSent();
    // A write that failed every attempt: a controller that refused is not one that was silent.
    std::uint8_t status = LinkAccepted;
    const auto refused = [&status] { return status == LinkRejected; };

    // Each part and key is asked again by itself; the user is asked only when one of them
    // failed every attempt, and OK then writes the whole header again.
    const TAttempts attempts(RequestAttempts, &Terminated);
    const auto writeHeader = [&] {
        const TLinkResult written = Link.WriteHeader(Program.Header, attempts);
        LastLink = written;
        status = written.Status;
        return written.Ok;
    };
    while (!writeHeader()) {
        if (Terminated)
            break;
        if (!Ask(HeaderRetry, CaptionAttention))
            return EndWith(TTransferResult::Failed, refused() ? HeaderNotWritten : HeaderNoAnswer);
    }
    if (Terminated)
        return EndWith(TTransferResult::Cancelled, WriteCancelled);
    ProgressPosition += Program.Header.BytesLength;
    showSent();
    for (int s = 0; s < limit; ++s) {
        const TZentorSection &section = Program.Sections[s];
        if (!SendsSection(section))
            continue;
        Action = WritingSection + SectionNumberText(s);
        if (Terminated)
            return EndWith(TTransferResult::Cancelled, WriteCancelled);
        Progress.SetAction(Action);
        Progress.SetPosition(ProgressPosition);
        const auto writeSection = [&] {
            const TLinkResult written = Link.WriteSection(section, attempts);
            LastLink = written;
            status = written.Status;
            return written.Ok;
        };
        while (!writeSection()) {
            if (Terminated)
                return EndWith(TTransferResult::Cancelled, WriteCancelled);
            if (!Ask(SectionRetry, CaptionAttention))
                return EndWith(TTransferResult::Failed,
                               SectionNotWritten1 + SectionNumberText(s) +
                                   (refused() ? SectionNotWritten2 : SectionNoAnswer2));
        }
        ProgressPosition += section.CodeLength;
        showSent();
        std::this_thread::sleep_for(std::chrono::milliseconds(SectionPauseMs));
    }
    Result = TTransferResult::Done;
}

// ----------------------------------------------------------------------------- read

bool TPRPReadThread::ReadBlocks(std::uint8_t *image, int pass)
{
    BytesReceived = 0;
    const TAttempts attempts(RequestAttempts, &Terminated);
    const TLinkRead<int> count = Link.ReadPRPBlockCount(attempts);
    LastLink = count;
    BlockCount = count.Value;
    if (!count.Ok) {
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
        LastLink = Link.ReadPRPBlock(image, TZentorProgram::ImageSize, k, attempts);
        if (!LastLink.Ok) {
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
