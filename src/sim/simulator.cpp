#include "sim/simulator.h"

#include "compiler/algparamkind.h"
#include "core/textfile.h"
#include "core/textutils.h"
#include "prp/prplayout.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

using Items = std::vector<std::uint8_t>;

constexpr std::uint8_t ModeStop = 0x01, ModeRun = 0x02, ModeProgram = 0x08, ModeFault = 0x80;
constexpr std::uint8_t KnownModes[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x80};

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
    case 0x01:
        return QStringLiteral("ОСТАНОВ");
    case 0x02:
        return QStringLiteral("ПУСК");
    case 0x04:
        return QStringLiteral("НАСТРОЙКА");
    case 0x08:
        return QStringLiteral("ПРОГРАММИРОВАНИЕ");
    case 0x10:
        return QStringLiteral("КОПИРОВАНИЕ");
    case 0x20:
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
    const int n = std::min<int>(int(items.size()), 515);
    std::vector<std::uint8_t> f(4);
    f[0] = 0x01;
    f[1] = static_cast<std::uint8_t>(n & 0xFF);
    f[2] = static_cast<std::uint8_t>((flags & 0x60) | (n >= 256 ? 1 : 0));
    f[3] = ByteSum(f.data(), 3);
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
        } else if (name == QLatin1String("slow"))
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
    for (int l = 0; l < 8; ++l)
        IOSetup[15 + l] = 7;
    IOSetup[15 + 0] = 0; // the console on physical channel 0
    IOSetup[15 + 1] = 1;
    for (int c = 0; c < 7; ++c)
        IOSetup[23 + c] = 0xD4; // 4800 bit/s, odd parity, 2 stop bits
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

TSimReply TSarvetelSimulator::HandleRequest(const std::uint8_t *f, int length)
{
    ++RequestCount;
    TSimReply reply;
    const bool whole = length >= 5 && ByteSum(f, 3) == f[3] &&
                       (f[1] | ((f[2] & 1) << 8)) + 5 == length &&
                       ByteSum(f, length - 1) == f[length - 1];
    Items items;
    std::uint8_t flags = 0;
    if (!whole)
        flags = 0x40; // the request frame did not come through
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
    out.push_back(0x19);
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
        FaultPairs[0][0] = 16; // "Программируемый отказ"
        FaultPairs[0][1] = 8;
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
    if (key >= 0x30 && key <= 0x39) {
        if (Input.size() < 11)
            Input += QChar(u'0' + (key - 0x30));
    } else if (key == 0x10) {
        Input.clear();
    } else if (key == 0x11) {
        Input = ScreenDone.trimmed() + (Input.isEmpty() ? QString() : QStringLiteral(" ") + Input);
    } else if (key == 0x08 && Mode == ModeRun) {
        Mode = ModeStop; // the fault key: the controller stops with a programmed fault
        ChangeMode(ModeFault);
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
    if (Mode != ModeProgram || length < 6)
        return false;
    const int l = data[0];
    if (l < 5 || l + 1 > length || data[1] != l || data[2] != data[3] || data[l] != 0)
        return false;
    if (data[PrpLayout::BlockSumOffset] != BlockChecksumByte(data, l))
        return false;
    const int s = data[2];
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
    Changed();
    return true;
}

void TSarvetelSimulator::StoreHeaderPart(const std::uint8_t *b)
{
    if (b[1] > 3)
        return;
    Program.Header.DecodePart(b);
    Changed();
}

void TSarvetelSimulator::HeaderPartBlock(int part, Items &out) const
{
    std::uint8_t b[69] = {};
    Program.Header.EncodePart(part, b);
    out.insert(out.end(), b, b + 69);
}

void TSarvetelSimulator::IOSetupItem(Items &out) const
{
    std::uint8_t c[54] = {};
    c[0] = 0x24;
    c[2] = 4;
    c[3] = MemoryType;
    c[4] = 1;
    std::memcpy(c + 5, IOSetup, 15);
    int sum = 0;
    for (int l = 0; l < 8; ++l)
        if (IOSetup[15 + l] < 7) {
            c[20 + 2 * l] = static_cast<std::uint8_t>(1 << IOSetup[15 + l]);
            c[21 + 2 * l] = static_cast<std::uint8_t>(l);
            sum += 1 << IOSetup[15 + l];
        }
    c[36] = static_cast<std::uint8_t>(sum & 0xFF);
    std::memcpy(c + 37, IOSetup + 23, 7);
    c[44] = 2;
    c[45] = 1;
    out.insert(out.end(), c, c + 54);
}

bool TSarvetelSimulator::StoreIOSetup(const std::uint8_t *f, int length)
{
    if (length < 61 || f[5] != 0x36)
        return false;
    std::uint8_t copy[55];
    std::memcpy(copy, f + 5, 55);
    copy[1] = 0;
    if (ByteSum(copy, 55) != f[6])
        return false;
    MemoryType = f[9];
    std::memcpy(IOSetup, f + 11, 15);
    for (int l = 0; l < 8; ++l)
        IOSetup[15 + l] = 7;
    for (int s = 0; s < 8; ++s) {
        const int mask = f[26 + 2 * s];
        const int logical = f[27 + 2 * s];
        if (mask == 0 || logical > 7)
            continue;
        for (int bit = 0; bit < 7; ++bit)
            if (mask == (1 << bit))
                IOSetup[15 + logical] = static_cast<std::uint8_t>(bit);
    }
    std::memcpy(IOSetup + 23, f + 43, 7);
    Changed();
    return true;
}

void TSarvetelSimulator::AlgorithmItem(int n, Items &out) const
{
    out.push_back(0x1C);
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
        const QString name = a.Names[i].left(5).leftJustified(5, QLatin1Char(' '));
        for (QChar ch : name)
            out.push_back(TextToController(ch));
    }
}

void TSarvetelSimulator::HandleItems(const std::uint8_t *f, int length, Items &out,
                                     std::uint8_t &flags)
{
    const int end = length - 1; // the packet checksum
    int p = 4;
    auto has = [&](int n) { return p + n <= end; };
    while (p < end) {
        const std::uint8_t code = f[p];
        switch (code) {
        case 0x19:
            // The console's opening frame has room only for a short status.
            if (!(p + 1 < end && f[p + 1] == 0x60 && Mode == ModeFault))
                Status(out);
            p += 1;
            break;
        case 0x5A:
            if (!has(2))
                return;
            out.push_back(0x5A);
            out.push_back(ChangeMode(f[p + 1]) ? 0 : 1);
            p += 2;
            break;
        case 0x1A: {
            if (!has(2))
                return;
            const int first = std::min<int>(f[p + 1], 9);
            const int lines = first < 9 ? 2 : 1;
            out.push_back(0x1A);
            out.push_back(static_cast<std::uint8_t>(lines * 17));
            for (int i = first; i < first + lines; ++i) {
                out.push_back(static_cast<std::uint8_t>(i));
                for (QChar ch : ScreenLine(i))
                    out.push_back(TextToController(ch));
            }
            p += 2;
            break;
        }
        case 0x59:
            if (!has(2))
                return;
            PressKey(f[p + 1]);
            out.push_back(0x59);
            out.push_back(0);
            p += 2;
            break;
        case 0x03: {
            const int blocks = (Program.ImageLength + 63) / 64;
            out.push_back(0x03);
            out.push_back(static_cast<std::uint8_t>(blocks & 0xFF));
            p += 1;
            break;
        }
        case 0x04: {
            if (!has(2))
                return;
            const int k = f[p + 1];
            out.push_back(0x04);
            out.push_back(static_cast<std::uint8_t>(k));
            for (int i = 0; i < 64; ++i) {
                const int at = 64 * k + i;
                out.push_back(at < Program.ImageLength ? Program.Image[at] : 0);
            }
            p += 2;
            break;
        }
        case 0x5E:
            if (!has(2))
                return;
            out.push_back(0x5E);
            HeaderPartBlock(f[p + 1] & 3, out);
            p += 2;
            break;
        case 0x5C:
        case 0x60:
        case 0x81:
            if (code == 0x5C) {
                out.push_back(0x5C);
                out.push_back(0);
            }
            p += 1;
            break;
        case 0x1D:
            if (!has(2))
                return;
            out.push_back(0x1D);
            out.push_back(0);
            p += 2;
            break;
        case 0x5D: {
            // The block runs from the byte after its length to the end of the frame.
            const bool ok = Mode == ModeProgram && has(1 + 68) && f[p + 1] == 69;
            if (ok)
                StoreHeaderPart(f + p + 2);
            out.push_back(0x5D);
            out.push_back(ok ? 0 : 1);
            p = end;
            break;
        }
        case 0x63: {
            if (!has(12))
                return;
            const int t = f[p + 1];
            const bool ok = Mode == ModeProgram && t < TPRPHeader::KeyCount;
            if (ok) {
                TTechKey &key = Program.Header.TechKeys[t];
                key.Class = f[p + 2];
                key.Index = f[p + 3];
                key.Name.clear();
                for (int i = 0; i < 8; ++i)
                    key.Name += ControllerToText(f[p + 4 + i]);
                Changed();
            }
            out.push_back(0x63);
            out.push_back(ok ? 0 : 1);
            p += 12;
            break;
        }
        case 0x62: {
            if (!has(2))
                return;
            const int t = f[p + 1];
            const bool ok = Mode == ModeProgram && t < TPRPHeader::KeyCount;
            if (ok) {
                Program.Header.TechKeys[t].Class = 0;
                Changed();
            }
            out.push_back(0x62);
            out.push_back(ok ? 0 : 1);
            p += 2;
            break;
        }
        case 0x1B: {
            if (!has(2))
                return;
            const TZentorSection &s = Program.Sections[f[p + 1]];
            out.push_back(0x1B);
            if (s.Present && s.CodeLength > 0) {
                out.insert(out.end(), s.Code, s.Code + s.CodeLength);
                out.push_back(0);
            } else {
                out.push_back(0);
                out.push_back(0);
                out.push_back(0);
            }
            p += 2;
            break;
        }
        case 0x22: {
            if (!has(3))
                return;
            const TZentorSection &s = Program.Sections[f[p + 1]];
            const int size = s.Present ? s.CodeLength : 0;
            out.push_back(0x22);
            out.push_back(static_cast<std::uint8_t>(size & 0xFF));
            out.push_back(static_cast<std::uint8_t>(size >> 8));
            p += 3;
            break;
        }
        case 0x5B: {
            bool noMemory = false;
            const bool ok = StoreSection(f + p + 1, end - p - 1, noMemory);
            if (noMemory)
                flags |= 0x20;
            out.push_back(0x5B);
            if (ok) {
                out.push_back(0);
            } else {
                out.push_back(1);
                out.push_back(0);
                out.push_back(0);
            }
            p = end;
            break;
        }
        case 0x5F: {
            if (!has(3))
                return;
            const int s = f[p + 1];
            const bool ok = Mode == ModeProgram && f[p + 2] == s;
            if (ok && Program.Sections[s].Present) {
                Program.Sections[s].Present = 0;
                Changed();
            }
            out.push_back(0x5F);
            out.push_back(ok ? 0 : 1);
            p += 3;
            break;
        }
        case 0x24:
            IOSetupItem(out);
            p += 1;
            break;
        case 0x65: {
            const bool ok = p == 4 && StoreIOSetup(f, length);
            out.push_back(0x65);
            out.push_back(ok ? 0 : 1);
            p = end;
            break;
        }
        case 0x66: {
            if (!has(3))
                return;
            for (int l = 0; l < 8; ++l)
                if (IOSetup[15 + l] < 7 && (1 << IOSetup[15 + l]) == f[p + 1])
                    IOSetup[15 + l] = 7;
            Changed();
            out.push_back(0x66);
            out.push_back(0);
            p += 3;
            break;
        }
        case 0x67:
            ResetIOSetup();
            Changed();
            out.push_back(0x67);
            out.push_back(0);
            p += 1;
            break;
        case 0x68:
            out.push_back(0x68);
            out.push_back(0);
            out.push_back(0);
            p += 1;
            break;
        case 0x69:
        case 0x6A:
        case 0x6B:
            if (code == 0x6B) {
                ErrorsByte = 0xFF;
                Input.clear();
            }
            out.push_back(code);
            out.push_back(0);
            p += 1;
            break;
        case 0x6C:
            MemoryType ^= 0x01;
            Changed();
            out.push_back(0x6C);
            out.push_back(0);
            p += 1;
            break;
        case 0x1C:
            if (!has(2))
                return;
            AlgorithmItem(f[p + 1], out);
            p += 2;
            break;
        default:
            p += 1; // nothing this controller knows: no answer
            break;
        }
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
