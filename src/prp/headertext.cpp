// Text forms of one impulse output: its source word and its minimum tick. The header
// compiler, the header decompiler and the impulse-output dialog all go through these.
#include "prp/prpheader.h"

#include "core/cp1251.h"
#include "core/textutils.h"
#include "prp/variableclass.h"

namespace {

constexpr int kImpulseOutputs = 32;

// A source constant must come back unchanged through its text, and a variable index
// must fit the low byte as twice its value.
constexpr int kMaxSourceConstant = 1000;
constexpr int kMaxSourceIndex = 0177;
// Words above this read back as negative constants.
constexpr int kLargestPositiveWord = 2000;

const char16_t *const kTickTexts[4] = {u"0,1", u"0,2", u"0,4", u"0,8"};

bool ValidOutput(int k)
{
    return k >= 0 && k < kImpulseOutputs;
}

// Value of a text of decimal digits, or -1 when it exceeds limit (no overflow).
int BoundedDecimal(const QString &digits, int limit)
{
    int v = 0;
    for (QChar ch : digits) {
        v = v * 10 + (ch.unicode() - u'0');
        if (v > limit)
            return -1;
    }
    return v;
}

int BoundedOctal(const QString &digits, int limit)
{
    int v = 0;
    for (QChar ch : digits) {
        v = v * 8 + (ch.unicode() - u'0');
        if (v > limit)
            return -1;
    }
    return v;
}

} // namespace

QString HeaderWord::AnalogClassWord(std::uint8_t high)
{
    switch (high) {
    case PlusVA:
    case MinusVA:
        return ClassWord(ClassVA);
    case PlusAV:
    case MinusAV:
        return ClassWord(ClassAV);
    default:
        return QString();
    }
}

QString TPRPHeader::ImpulseSourceText(int k) const
{
    if (!ValidOutput(k))
        return QString();
    const std::uint8_t low = ImpSource[k][0];
    const std::uint8_t high = ImpSource[k][1];
    if (high == HeaderWord::SourceUnused)
        return QString();
    if (const QString word = HeaderWord::AnalogClassWord(high); !word.isEmpty())
        return QChar(HeaderWord::IsMinus(high) ? u'-' : u'+') + word + OctalText(low / 2, 3);
    const int w = high * 256 + low;
    if (w > kLargestPositiveWord)
        return u'-' + QString::number((65536 - w) / 2);
    return u'+' + QString::number(w / 2);
}

int TPRPHeader::SetImpulseSource(int k, const QString &text)
{
    if (!ValidOutput(k))
        return 1;
    QString t = ControllerUpper(text);
    if (!t.startsWith(u'+') && !t.startsWith(u'-'))
        t.prepend(u'+');
    const bool minus = t.startsWith(u'-');

    const QString va = ClassWord(ClassVA);
    const QString av = ClassWord(ClassAV);
    if (t.contains(va) || t.contains(av)) {
        const QString cls = t.mid(1, 2);
        if (cls != va && cls != av)
            return 1;
        const QString digits = t.mid(3);
        if (!IsOctalText(digits))
            return 1;
        const int i = BoundedOctal(digits, kMaxSourceIndex);
        if (i < 0)
            return 1;
        const bool isAV = cls == av;
        const std::uint8_t high = minus ? (isAV ? HeaderWord::MinusAV : HeaderWord::MinusVA)
                                        : (isAV ? HeaderWord::PlusAV : HeaderWord::PlusVA);
        ImpSource[k][0] = static_cast<std::uint8_t>(2 * i);
        ImpSource[k][1] = high;
        return 0;
    }

    const QString digits = t.mid(1);
    if (!IsDecimalText(digits))
        return 1;
    const int c = BoundedDecimal(digits, kMaxSourceConstant);
    if (c < 0)
        return 1;
    int w = 2 * c;
    if (minus)
        w = 65536 - w;
    ImpSource[k][0] = static_cast<std::uint8_t>(w & 0xFF);
    ImpSource[k][1] = static_cast<std::uint8_t>((w >> 8) & 0xFF);
    return 0;
}

int TPRPHeader::ImpulseTickCode(int k) const
{
    if (!ValidOutput(k))
        return 0;
    return (ImpTicks[k / 4] >> (2 * (k % 4))) & 3;
}

QString TPRPHeader::ImpulseTickText(int k) const
{
    return QString::fromUtf16(kTickTexts[ImpulseTickCode(k)]);
}

void TPRPHeader::SetImpulseTickCode(int k, int code)
{
    if (!ValidOutput(k))
        return;
    const int shift = 2 * (k % 4);
    const int bits = (code & 3) << shift;
    ImpTicks[k / 4] = static_cast<std::uint8_t>((ImpTicks[k / 4] & ~(3 << shift)) | bits);
}
