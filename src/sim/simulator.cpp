#include "sim/simulator.h"

#include "compiler/algparamkind.h"
#include "core/textfile.h"
#include "core/textutils.h"
#include "protocol/frame.h"
#include "protocol/iosetup.h"
#include "protocol/wire.h"
#include "prp/prplayout.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

using namespace Sarvetel;
using Items = std::vector<std::uint8_t>;

constexpr std::uint8_t KnownModes[] = {ModeStop, ModeRun,  ModeSetup, ModeProgram,
                                       ModeCopy, ModeTest, ModeFault};

const QString PrpFileName = QStringLiteral("prp.bin");
const QString SetupFileName = QStringLiteral("iosetup.bin");

// Screen texts of the simulated controller.
const QString ScreenTitle = QStringLiteral(" САРВЕТЕЛ-СИМ");
const QString ScreenKey = QStringLiteral("КЛАВИША ");
const QString ScreenInput = QStringLiteral("ВВОД ");
const QString ScreenDone = QStringLiteral("ИСПОЛНЕНО ");
const QString ScreenPrp = QStringLiteral("ПРП ");
const QString ScreenBytes = QStringLiteral(" БАЙТ");
const QString ScreenSections = QStringLiteral("СЕКЦИЙ ");
const QString ScreenNoErrors = QStringLiteral("ОШИБОК НЕТ");
const QString ScreenErrors = QStringLiteral("ЕСТЬ ОШИБКИ");

QString ModeText(std::uint8_t mode)
{
    switch (mode) {
    case ModeStop:
        return QStringLiteral("ОСТАНОВ");
    case ModeRun:
        return QStringLiteral("ПУСК");
    case ModeSetup:
        return QStringLiteral("НАСТРОЙКА");
    case ModeProgram:
        return QStringLiteral("ПРОГРАММИРОВАНИЕ");
    case ModeCopy:
        return QStringLiteral("КОПИРОВАНИЕ");
    case ModeTest:
        return QStringLiteral("ТЕСТИРОВАНИЕ");
    default:
        return QStringLiteral("НЕИСПРАВНОСТЬ");
    }
}

QString Fit(const QString &text)
{
    return text.left(16).leftJustified(16, QLatin1Char(' '));
}

} // namespace

std::vector<std::uint8_t> SimReplyFrame(const std::vector<std::uint8_t> &items, std::uint8_t flags)
{
    const int n = std::min<int>(int(items.size()), FrameLayout::MaxPayload);
    std::vector<std::uint8_t> f(FrameLayout::PayloadAt);
    FrameLayout::WriteHeader(f.data(), n,
                             static_cast<std::uint8_t>(flags & (FrameLayout::FlagFrameFailure |
                                                                FrameLayout::FlagNoMemory)));
    f.insert(f.end(), items.begin(), items.begin() + n);
    f.push_back(ByteSum(f.data(), int(f.size())));
    return f;
}

bool TSimFaults::Parse(const QString &list, QString &error)
{
    *this = TSimFaults();
    for (const QString &raw : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = raw.trimmed().split(QLatin1Char(':'));
        const QString name = parts[0];
        auto number = [&](int i, int &out, int min) {
            bool ok = false;
            const int v = parts.size() > i ? parts[i].toInt(&ok) : 0;
            if (!ok || v < min)
                return false;
            out = v;
            return true;
        };
        bool ok = true;
        if (name == QLatin1String("drop"))
            ok = parts.size() == 2 && number(1, DropEvery, 1);
        else if (name == QLatin1String("corrupt"))
            ok = parts.size() == 2 && number(1, CorruptEvery, 1);
        else if (name == QLatin1String("refuse-mode"))
            ok = parts.size() == 1 && (RefuseMode = true);
        else if (name == QLatin1String("reject-section")) {
            RejectSections = true;
            ok = parts.size() == 1 ||
                 (parts.size() == 2 && number(1, RejectSection, 0) && RejectSection < 256);
        } else if (name == QLatin1String("garble-section")) {
            GarbleSections = true;
            ok = parts.size() == 1 ||
                 (parts.size() == 2 && number(1, GarbleSection, 0) && GarbleSection < 256);
        } else if (name == QLatin1String("flip-block"))
            ok = parts.size() == 2 && number(1, FlipBlock, 0) && FlipBlock < 256;
        else if (name == QLatin1String("slow"))
            ok = (parts.size() == 2 || parts.size() == 3) && number(1, SlowMs, 1) &&
                 (parts.size() == 2 || number(2, SlowEvery, 1));
        else if (name == QLatin1String("noise")) {
            const double percent = parts.size() > 1 ? parts[1].toDouble(&ok) : 0;
            int seed = 1;
            ok = ok && (parts.size() == 2 || (parts.size() == 3 && number(2, seed, 0))) &&
                 percent > 0 && percent <= 100;
            if (ok)
                SetNoise(percent, std::uint32_t(seed));
        } else
            ok = false;
        if (!ok) {
            error = QStringLiteral("Неизвестная неисправность в списке: ") + raw;
            return false;
        }
    }
    return true;
}

void TSimFaults::SetNoise(double percent, std::uint32_t seed)
{
    NoiseBasisPoints = std::clamp(int(percent * 100 + 0.5), 0, 10000);
    Noise.seed(seed);
}

void TSimFaults::AddNoise(std::vector<std::uint8_t> &reply)
{
    if (NoiseBasisPoints <= 0 || reply.empty())
        return;
    // The generator's raw numbers, not a distribution: the same on every standard library.
    const std::uint32_t draw = Noise();
    if (int(draw % 10000) >= NoiseBasisPoints)
        return;
    if ((draw / 10000) % 2 == 0) {
        reply.clear();
        return;
    }
    // Any change but 0x00 <-> 0xFF, which the end-around-carry sums cannot see: a damaged
    // reply is always a rejected one, never a wrong one taken for right.
    const std::size_t at = Noise() % reply.size();
    reply[at] ^= static_cast<std::uint8_t>(1 + Noise() % 254);
}

TSarvetelSimulator::TSarvetelSimulator()
{
    for (auto &pair : FaultPairs)
        pair[0] = pair[1] = 0xFF;
    Program.Clear();
    Program.Sections[0].Present = 0;
    ResetIOSetup();
    Reassemble();
}

void TSarvetelSimulator::ResetIOSetup()
{
    std::memset(IOSetup, 0, sizeof IOSetup);
    IOSetup[0] = 0xFF; // the first eight discrete input groups
    IOSetup[8] = 0x0F;
    IOSetup[12] = 0x03;
    IOSetup[13] = 0x01;
    using namespace IOSetupLayout;
    std::fill_n(IOSetup + ChannelsAt, LogicalChannels, NoChannel);
    IOSetup[ChannelsAt + 0] = 0; // the console on physical channel 0
    IOSetup[ChannelsAt + 1] = 1;
    std::fill_n(IOSetup + PortsAt, PortCount, 0xD4); // 4800 bit/s, odd parity, 2 stop bits
}

void TSarvetelSimulator::Reassemble()
{
    Program.AssembleImage();
    Program.Messages->clear();
}

void TSarvetelSimulator::Changed()
{
    Reassemble();
    StateError.clear();
    if (!StateDir.isEmpty())
        SaveState(StateError);
}

void TSarvetelSimulator::ProgramChanged()
{
    Run.Restart();
    Changed();
}

TSimReply TSarvetelSimulator::HandleRequest(const std::uint8_t *f, int length)
{
    ++RequestCount;
    TSimReply reply;
    Items items;
    std::uint8_t flags = 0;
    if (!FrameLayout::IsWhole(f, length))
        flags = FrameLayout::FlagFrameFailure; // the request frame did not come through
    else
        HandleItems(f, length, items, flags);
    if (Faults.DropEvery > 0 && RequestCount % Faults.DropEvery == 0)
        return reply; // done, but the answer is lost on the line
    reply.Bytes = SimReplyFrame(items, flags);
    if (Faults.CorruptEvery > 0 && RequestCount % Faults.CorruptEvery == 0)
        reply.Bytes[reply.Bytes.size() - 2] ^= 0x5A;
    Faults.AddNoise(reply.Bytes);
    if (Faults.SlowMs > 0 && RequestCount % Faults.SlowEvery == 0)
        reply.DelayMs = Faults.SlowMs;
    return reply;
}

void TSarvetelSimulator::Status(Items &out) const
{
    out.push_back(CodeStatus);
    out.push_back(Mode);
    if (Mode == ModeFault) {
        for (const auto &pair : FaultPairs) {
            out.push_back(pair[0]);
            out.push_back(pair[1]);
        }
    } else {
        out.push_back(ErrorsByte);
    }
}

bool TSarvetelSimulator::ChangeMode(std::uint8_t mode)
{
    if (std::find(std::begin(KnownModes), std::end(KnownModes), mode) == std::end(KnownModes))
        return false;
    if (Faults.RefuseMode)
        return false;
    if (mode == Mode)
        return true;
    // Every mode is left through "Останов".
    if (mode != ModeStop && Mode != ModeStop)
        return false;
    if (mode == ModeFault) {
        for (auto &pair : FaultPairs)
            pair[0] = pair[1] = 0xFF;
        FaultPairs[0][0] = ProgrammedFault.Code;
        FaultPairs[0][1] = ProgrammedFault.Detail;
        ErrorsByte = 0;
    } else if (Mode == ModeFault) {
        for (auto &pair : FaultPairs)
            pair[0] = pair[1] = 0xFF;
        ErrorsByte = 0xFF;
    }
    Mode = mode;
    return true;
}

void TSarvetelSimulator::PressKey(std::uint8_t key)
{
    LastKey = key;
    if (key >= PanelKey::Digit0 && key <= PanelKey::Digit0 + 9) {
        if (Input.size() < 11)
            Input += QChar(u'0' + (key - PanelKey::Digit0));
    } else if (key == PanelKey::Reset) {
        Input.clear();
    } else if (key == PanelKey::Execute) {
        Input = ScreenDone.trimmed() + (Input.isEmpty() ? QString() : QStringLiteral(" ") + Input);
    } else if (key == PanelKey::Fault && Mode == ModeRun) {
        Mode = ModeStop; // the fault key: the controller stops with a programmed fault
        // A simulator told to refuse every mode change stays in "Останов".
        if (!ChangeMode(ModeFault))
            return;
    }
}

QString TSarvetelSimulator::ScreenLine(int i) const
{
    switch (i) {
    case 0:
        return Fit(ScreenTitle);
    case 1:
        return Fit(ModeText(Mode));
    case 2:
        return Fit(ScreenKey +
                   QStringLiteral("%1").arg(LastKey, 2, 16, QLatin1Char('0')).toUpper());
    case 3:
        return Fit(Input.startsWith(ScreenDone.trimmed()) ? Input : ScreenInput + Input);
    case 4:
        return Fit(ScreenPrp + QString::number(Program.ImageLength) + ScreenBytes);
    case 5: {
        int n = 0;
        for (const TZentorSection &s : Program.Sections)
            n += s.Present && s.CodeLength > 0;
        return Fit(ScreenSections + QString::number(n));
    }
    case 6:
        return Fit(ErrorsByte == 0xFF ? ScreenNoErrors : ScreenErrors);
    default:
        return Fit(QString());
    }
}

bool TSarvetelSimulator::StoreSection(const std::uint8_t *data, int length, bool &noMemory)
{
    noMemory = false;
    if (Mode != ModeProgram || !BlockAcceptable(data, length))
        return false;
    const int l = data[0];
    const int s = data[PrpLayout::BlockSection];
    if (Faults.RejectSections && (Faults.RejectSection < 0 || Faults.RejectSection == s))
        return false;
    const TZentorSection &old = Program.Sections[s];
    const int oldLength = old.Present ? old.CodeLength : 0;
    if (Program.ImageLength - oldLength + l + 1 > MemorySize) {
        noMemory = true;
        return false;
    }
    TZentorSection &sec = Program.Sections[s];
    std::memcpy(sec.Code, data, size_t(l + 1));
    sec.CodeLength = l + 1;
    if (Faults.GarbleSections && (Faults.GarbleSection < 0 || Faults.GarbleSection == s) && l > 5) {
        // A controller that keeps something else than it was given, and hides it well.
        sec.Code[l - 1] ^= 0x01;
        sec.Code[PrpLayout::BlockSumOffset] = BlockChecksumByte(sec.Code, l);
    }
    Program.MarkPresent(s);
    ProgramChanged();
    return true;
}

void TSarvetelSimulator::StoreHeaderPart(const std::uint8_t *b)
{
    if (b[1] > 3)
        return;
    Program.Header.DecodePart(b);
    ProgramChanged();
}

void TSarvetelSimulator::HeaderPartBlock(int part, Items &out) const
{
    std::uint8_t b[HeaderPartBlockLength] = {};
    Program.Header.EncodePart(part, b);
    out.insert(out.end(), b, b + HeaderPartBlockLength);
}

void TSarvetelSimulator::IOSetupItem(Items &out) const
{
    std::uint8_t c[IOSetupLayout::BlockLength] = {};
    c[0] = CodeIOSetup;
    IOSetupLayout::EncodeBlock(IOSetup, MemoryType, c);
    out.insert(out.end(), c, c + IOSetupLayout::BlockLength);
}

bool TSarvetelSimulator::StoreIOSetup(const std::uint8_t *f, int length)
{
    using namespace IOSetupLayout;
    if (length < WriteFrameLength || f[5] != BlockLength)
        return false;
    std::uint8_t copy[WriteSummedBytes];
    std::memcpy(copy, f + 5, WriteSummedBytes);
    copy[1] = 0;
    const std::uint8_t *block = f + WriteBlockAt;
    if (ByteSum(copy, WriteSummedBytes) != block[0])
        return false;
    DecodeBlock(block, IOSetup, MemoryType, TUnnamedMask::Ignored);
    Changed();
    return true;
}

void TSarvetelSimulator::AlgorithmItem(int n, Items &out) const
{
    out.push_back(CodeAlgorithm);
    if (n < 1 || n > 127 || !Algorithms[n].Present) {
        // No such algorithm: a zero length, and one filler byte after it.
        out.push_back(0);
        out.push_back(0);
        return;
    }
    const TSimAlgorithm &a = Algorithms[n];
    const int count = std::clamp(a.ParamCount, 0, 19);
    out.push_back(static_cast<std::uint8_t>(4 + 6 * count));
    out.push_back(a.OwnMemory);
    out.push_back(static_cast<std::uint8_t>(count));
    for (int i = 0; i < count; ++i)
        out.push_back(AlgParamKindInfo(a.Kinds[i]).WireType);
    for (int i = 0; i < count; ++i) {
        const QString name =
            a.Names[i].left(AlgNameLength).leftJustified(AlgNameLength, QLatin1Char(' '));
        for (QChar ch : name)
            out.push_back(TextToController(ch));
    }
}

bool TSarvetelSimulator::SaveState(QString &error) const
{
    if (StateDir.isEmpty())
        return true;
    if (!QDir().mkpath(StateDir)) {
        error = QStringLiteral("Не удалось создать папку ") + StateDir;
        return false;
    }
    const QByteArray image(reinterpret_cast<const char *>(Program.Image), Program.ImageLength);
    QByteArray setup;
    setup.append(char(MemoryType));
    setup.append(reinterpret_cast<const char *>(IOSetup), sizeof IOSetup);
    // Both or neither: a stored PRP never meets another run's I/O setup.
    return WriteFilesTogether({{QDir(StateDir).filePath(PrpFileName), image},
                               {QDir(StateDir).filePath(SetupFileName), setup}},
                              error);
}

bool TSarvetelSimulator::LoadState(QString &error)
{
    if (StateDir.isEmpty())
        return true;
    const QString prp = QDir(StateDir).filePath(PrpFileName);
    const QString setup = QDir(StateDir).filePath(SetupFileName);
    if (QFileInfo::exists(prp)) {
        QByteArray image;
        if (!ReadBinaryFile(prp, image, error))
            return false;
        if (image.size() > MemorySize) {
            error = prp + QStringLiteral(": ПрП длиннее памяти контроллера");
            return false;
        }
        Program.Clear();
        Program.Sections[0].Present = 0;
        std::memcpy(Program.Image, image.constData(), size_t(image.size()));
        Program.ImageLength = int(image.size());
        if (!Program.SplitImage()) {
            error = prp + QStringLiteral(": ") + Program.Messages->join(QStringLiteral("; "));
            Program.Clear();
            Program.Sections[0].Present = 0;
            Reassemble();
            return false;
        }
        Reassemble();
        Run.Restart();
    }
    if (QFileInfo::exists(setup)) {
        QByteArray bytes;
        if (!ReadBinaryFile(setup, bytes, error))
            return false;
        if (bytes.size() != 1 + int(sizeof IOSetup)) {
            error = setup + QStringLiteral(": неверный размер");
            return false;
        }
        MemoryType = std::uint8_t(bytes[0]);
        std::memcpy(IOSetup, bytes.constData() + 1, sizeof IOSetup);
    }
    return true;
}
