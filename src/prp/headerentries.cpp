#include "prp/headerentries.h"

#include "core/textutils.h"
#include "prp/prpheader.h"
#include "prp/variableclass.h"
#include "prp/variableorder.h"

namespace {

constexpr int kAdcModules = 8;
constexpr int kImpulseOutputs = 32;
constexpr int kTimeGenerators = 8;
constexpr int kKeysPerKeyboard = 16;
constexpr int kHighestAnalogIndex = 0177;
constexpr int kHighestIntervalConstant = 32767; // twice it fills the word

QByteArray Bytes(std::initializer_list<std::uint8_t> values)
{
    QByteArray b;
    for (std::uint8_t v : values)
        b.append(static_cast<char>(v));
    return b;
}

std::vector<THeaderEntry> Orders(const TPRPHeader &h)
{
    // The lines of the header text's variable order, in its order.
    std::vector<THeaderEntry> entries;
    for (const TVariableOrder &o : VariableOrders())
        entries.push_back({OrderWord(o),
                           OrderLineStart(o) + OctalText(OrderLast(o, h), OrderDigits(o)),
                           Bytes({h.*o.Field})});
    return entries;
}

std::vector<THeaderEntry> AdcInputs(const TPRPHeader &h)
{
    std::vector<THeaderEntry> entries;
    for (int m = 0; m < kAdcModules; ++m)
        entries.push_back({QStringLiteral("модуль ") + QString::number(m),
                           QString::number(m) + u' ' + OctalText(16 * m, 3) +
                               QStringLiteral(" - ") + OctalText(16 * m + h.AdcOrder[m], 3),
                           Bytes({h.AdcOrder[m]})});
    return entries;
}

std::vector<THeaderEntry> ImpulseOutputs(const TPRPHeader &h)
{
    std::vector<THeaderEntry> entries;
    for (int k = 0; k < kImpulseOutputs; ++k) {
        const QString name = ClassVariableText(ClassIV, k, TIndexUse::Field);
        const std::uint8_t low = h.ImpSource[k][0];
        const std::uint8_t high = h.ImpSource[k][1];
        if (high == HeaderWord::SourceUnused)
            entries.push_back(
                {name, name + QStringLiteral(" не используется"), Bytes({low, high}), false});
        else
            entries.push_back(
                {name, name + u' ' + h.ImpulseSourceText(k) + u' ' + h.ImpulseTickText(k),
                 Bytes({low, high, static_cast<std::uint8_t>(h.ImpulseTickCode(k))})});
    }
    return entries;
}

std::vector<THeaderEntry> TimerGenerators(const TPRPHeader &h)
{
    std::vector<THeaderEntry> entries;
    for (int k = 0; k < kTimeGenerators; ++k) {
        const std::uint8_t *t = h.TimeGen[k];
        entries.push_back({QStringLiteral("ТМГ ") + QString::number(k),
                           QString::number(k) + u' ' + HeaderIntervalText(t[0], t[1]) + u' ' +
                               HeaderIntervalText(t[2], t[3]),
                           Bytes({t[0], t[1], t[2], t[3]}), (t[0] | t[1] | t[2] | t[3]) != 0});
    }
    return entries;
}

std::vector<THeaderEntry> TechKeys(const TPRPHeader &h)
{
    std::vector<THeaderEntry> entries;
    for (int q = 0; q < TPRPHeader::KeyCount; ++q) {
        const TTechKey &key = h.TechKeys[q];
        const QString name = QStringLiteral("клавиатура %1, клавиша %2")
                                 .arg(q / kKeysPerKeyboard + 1)
                                 .arg(q % kKeysPerKeyboard + 1);
        if (key.Class == 0) {
            entries.push_back({name, name + QStringLiteral(": нет"), QByteArray(), false});
            continue;
        }
        // The name as the controller keeps it: eight characters of its code, shown back.
        QString shown;
        for (int i = 0; i < 8; ++i)
            shown += ControllerToText(TextToController(i < key.Name.size() ? key.Name[i] : u' '));
        entries.push_back({name,
                           name + QStringLiteral(": ") + HeaderKeyVariableText(key) +
                               QStringLiteral(" «") + shown + QStringLiteral("»"),
                           Bytes({key.Class, key.Index}) + shown.toUtf8()});
    }
    return entries;
}

} // namespace

std::vector<THeaderEntry> HeaderEntries(const TPRPHeader &header, THeaderPart part)
{
    switch (part) {
    case THeaderPart::Orders:
        return Orders(header);
    case THeaderPart::AdcInputs:
        return AdcInputs(header);
    case THeaderPart::ImpulseOutputs:
        return ImpulseOutputs(header);
    case THeaderPart::TimerGenerators:
        return TimerGenerators(header);
    case THeaderPart::TechKeys:
        return TechKeys(header);
    }
    return {};
}

QString HeaderIntervalText(std::uint8_t low, std::uint8_t high)
{
    if (high == HeaderWord::PlusVA || high == HeaderWord::PlusAV)
        return HeaderWord::AnalogClassWord(high) + OctalText(low / 2, 3);
    return QString::number((high * 256 + low) / 2);
}

bool HeaderIntervalFromText(const QString &word, std::uint8_t &low, std::uint8_t &high)
{
    if (word == u"-") {
        low = high = 0;
        return true;
    }
    for (std::uint8_t analog : {HeaderWord::PlusVA, HeaderWord::PlusAV}) {
        if (!word.startsWith(HeaderWord::AnalogClassWord(analog)))
            continue;
        const QString digits = word.mid(2);
        if (digits.size() > 3 || !IsOctalText(digits) || ParseOctal(digits) > kHighestAnalogIndex)
            return false;
        low = static_cast<std::uint8_t>(2 * ParseOctal(digits));
        high = analog;
        return true;
    }
    if (!IsDecimalText(word))
        return false;
    int c = 0;
    for (QChar digit : word) {
        c = 10 * c + (digit.unicode() - u'0');
        if (c > kHighestIntervalConstant)
            return false;
    }
    const int w = 2 * c;
    if (w >> 8 == HeaderWord::PlusVA || w >> 8 == HeaderWord::PlusAV)
        return false; // would read back as a variable
    low = static_cast<std::uint8_t>(w & 0xFF);
    high = static_cast<std::uint8_t>(w >> 8);
    return true;
}

bool HeaderIntervalWritable(std::uint8_t low, std::uint8_t high)
{
    std::uint8_t l = 0, h = 0;
    return HeaderIntervalFromText(HeaderIntervalText(low, high), l, h) && l == low && h == high;
}

QString HeaderKeyVariableText(const TTechKey &key)
{
    return ClassVariableText(key.Class, key.Index, TIndexUse::Item);
}
