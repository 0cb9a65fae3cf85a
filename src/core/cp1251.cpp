#include "core/cp1251.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Unicode of the bytes 0x80..0xFF. Byte 0x98 has no character of its own; it maps to the
// control character U+0098 so that any byte string survives a decode and encode unchanged.
constexpr std::array<char16_t, 128> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

struct ReverseTable
{
    // Unicode -> byte for the high half, looked up by binary search.
    std::array<std::pair<char16_t, std::uint8_t>, 128> entries{};
    int size = 0;
    ReverseTable()
    {
        for (int i = 0; i < 128; ++i)
            entries[size++] = {kHighHalf[i], static_cast<std::uint8_t>(0x80 + i)};
        std::sort(entries.begin(), entries.begin() + size);
    }
    int find(char16_t u) const
    {
        auto end = entries.begin() + size;
        auto it = std::lower_bound(entries.begin(), end, std::pair<char16_t, std::uint8_t>{u, 0});
        if (it != end && it->first == u)
            return it->second;
        return -1;
    }
};

const ReverseTable &Reverse()
{
    static const ReverseTable table;
    return table;
}

int ByteOf(QChar ch)
{
    const char16_t u = ch.unicode();
    if (u < 0x80)
        return u;
    return Reverse().find(u);
}

} // namespace

QString DecodeCp1251(const std::uint8_t *bytes, int count)
{
    QString s;
    s.resize(count);
    QChar *out = s.data();
    for (int i = 0; i < count; ++i) {
        const std::uint8_t b = bytes[i];
        out[i] = QChar(b < 0x80 ? char16_t(b) : kHighHalf[b - 0x80]);
    }
    return s;
}

QString DecodeCp1251(const QByteArray &bytes)
{
    return DecodeCp1251(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                        static_cast<int>(bytes.size()));
}

bool IsCp1251Char(QChar ch)
{
    return ByteOf(ch) >= 0;
}

namespace {

// Every UTF-16 unit's controller capital (small letter): the unit's own capital when that one
// has a Windows-1251 byte, else the unit itself. Built once; the lexer reads every line
// through it.
struct TCaseTable
{
    char16_t Map[0x10000];
    explicit TCaseTable(QChar (QChar::*toCase)() const)
    {
        for (int u = 0; u < 0x10000; ++u) {
            const QChar c(static_cast<char16_t>(u));
            const QChar other = (c.*toCase)();
            Map[u] = other != c && IsCp1251Char(other) ? other.unicode() : c.unicode();
        }
    }
};

const TCaseTable &UpperTable()
{
    static const TCaseTable table(&QChar::toUpper);
    return table;
}

const TCaseTable &LowerTable()
{
    static const TCaseTable table(&QChar::toLower);
    return table;
}

// The text itself (shared, no copy) when no character changes.
QString ControllerCase(const QString &text, const TCaseTable &table)
{
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && table.Map[in[i]] == in[i])
        ++i;
    if (i == n)
        return text;
    QString s = text;
    char16_t *out = reinterpret_cast<char16_t *>(s.data());
    for (; i < n; ++i)
        out[i] = table.Map[out[i]];
    return s;
}

} // namespace

QChar ControllerUpper(QChar c)
{
    return QChar(UpperTable().Map[c.unicode()]);
}

QString ControllerUpper(const QString &text)
{
    return ControllerCase(text, UpperTable());
}

QString ControllerLower(const QString &text)
{
    return ControllerCase(text, LowerTable());
}

std::uint8_t Cp1251Byte(QChar ch)
{
    const int b = ByteOf(ch);
    return b < 0 ? static_cast<std::uint8_t>('?') : static_cast<std::uint8_t>(b);
}

bool EncodeCp1251(const QString &text, QByteArray &out, qsizetype *badIndex)
{
    out.resize(text.size());
    char *p = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = ByteOf(text[i]);
        if (b < 0) {
            if (badIndex)
                *badIndex = i;
            return false;
        }
        p[i] = static_cast<char>(b);
    }
    return true;
}
