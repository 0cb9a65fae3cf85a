#include "core/textutils.h"

#include "core/cp1251.h"

#include <array>

namespace {

// Codes 0x60..0x7E carry the Cyrillic capitals in the order of the 7-bit KOI-7 set.
constexpr char16_t kCyrillicRow[] = u"ЮАБЦДЕФГХИЙКЛМНОПЯРСТУЖВЬЫЗШЭЩЧ";

constexpr std::array<char16_t, 128> BuildControllerTable()
{
    std::array<char16_t, 128> t{};
    for (int i = 0; i < 128; ++i)
        t[i] = static_cast<char16_t>(i);
    t[0x22] = u'!';
    t[0x23] = u'\'';
    t[0x24] = u'#';
    t[0x5C] = u']';
    t[0x5D] = u'^';
    t[0x5E] = u'_';
    t[0x5F] = u' ';
    for (int i = 0; i < 31; ++i)
        t[0x60 + i] = kCyrillicRow[i];
    t[0x7F] = u'|';
    return t;
}

const std::array<char16_t, 128> &ControllerTable()
{
    static const std::array<char16_t, 128> table = BuildControllerTable();
    return table;
}

} // namespace

QChar ControllerToText(std::uint8_t c)
{
    return QChar(ControllerTable()[c & 0x7F]);
}

namespace {

// Every character of the controller's table lies below this; the first code of each.
constexpr char16_t kReverseLimit = 0x500;

constexpr bool AllBelowReverseLimit()
{
    for (char16_t c : BuildControllerTable())
        if (c >= kReverseLimit)
            return false;
    return true;
}
static_assert(AllBelowReverseLimit());

struct TReverseControllerTable
{
    std::array<std::int16_t, kReverseLimit> Code;
    TReverseControllerTable()
    {
        Code.fill(-1);
        const auto &t = ControllerTable();
        for (int i = 127; i >= 0; --i)
            if (t[i] < kReverseLimit)
                Code[t[i]] = static_cast<std::int16_t>(i);
    }
};

} // namespace

std::uint8_t TextToController(QChar ch)
{
    static const TReverseControllerTable reverse;
    const char16_t u = ch.unicode();
    if (u < kReverseLimit && reverse.Code[u] >= 0)
        return static_cast<std::uint8_t>(reverse.Code[u]);
    return Cp1251Byte(ch);
}

QString OctalText(int n, int w)
{
    if (w <= 0)
        return QString();
    QString s(w, QLatin1Char('0'));
    unsigned v = static_cast<unsigned>(n);
    for (int i = w - 1; i >= 0; --i) {
        s[i] = QLatin1Char(static_cast<char>('0' + (v & 7u)));
        v >>= 3;
    }
    return s;
}

int ParseOctal(const QString &text)
{
    std::uint32_t r = 0;
    for (QChar ch : text)
        r = 8u * r + static_cast<std::uint32_t>(ch.unicode() - u'0');
    return static_cast<int>(r);
}

QString SectionNumberText(int n)
{
    return OctalText(n / 32, 1) + OctalText(n % 32, 2);
}

int ParseSectionNumber(const QString &text)
{
    if (text.size() < 3)
        return -1;
    auto d = [&](int i) { return static_cast<int>(text[i].unicode()) - '0'; };
    return 32 * d(0) + 8 * d(1) + d(2);
}

bool IsOctalText(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar ch : text)
        if (ch < u'0' || ch > u'7')
            return false;
    return true;
}

bool IsDecimalText(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar ch : text)
        if (ch < u'0' || ch > u'9')
            return false;
    return true;
}

QString TrimSpaces(const QString &text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

QString NextWord(const QString &text, int &pos)
{
    const int len = static_cast<int>(text.size());
    if (pos > len)
        return QString();
    int p = pos < 1 ? 1 : pos;
    while (p <= len && text[p - 1] == u' ')
        ++p;
    if (p > len) {
        pos = p;
        return QString();
    }
    const int space = static_cast<int>(text.indexOf(u' ', p - 1)); // 0-based or -1
    if (space >= 0) {
        pos = space + 2;
        return text.mid(p - 1, space - (p - 1));
    }
    pos = len + 1;
    return text.mid(p - 1);
}

QString StripComment(const QString &text)
{
    QString s = text;
    qsizetype i = s.indexOf(u'!');
    if (i >= 0)
        s.truncate(i);
    i = s.indexOf(u';');
    if (i >= 0)
        s.truncate(i);
    return s;
}

std::uint8_t ByteSum(const std::uint8_t *bytes, int count)
{
    unsigned s = 0;
    for (int i = 0; i < count; ++i) {
        s += bytes[i];
        if (s > 255)
            s -= 255;
    }
    return static_cast<std::uint8_t>(s);
}

QString HexDump(const std::uint8_t *bytes, int count)
{
    if (count <= 0)
        return QStringLiteral("Принято 0 байт");
    static const char digits[] = "0123456789ABCDEF";
    QString s;
    s.reserve(count * 3);
    for (int i = 0; i < count; ++i) {
        s += QLatin1Char(digits[bytes[i] >> 4]);
        s += QLatin1Char(digits[bytes[i] & 15]);
        s += QLatin1Char(' ');
    }
    return s;
}

#include "core/progress.h"

TProgress &NoProgress()
{
    static TProgress silent;
    return silent;
}
