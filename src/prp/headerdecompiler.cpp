// The header decompiler: the header fields back into header text that the header compiler
// reads to the same orders, ADC inputs, impulse outputs and technological keys. It runs
// whenever a program comes from an image instead of from text.
#include "prp/prpheader.h"

#include "core/textutils.h"
#include "prp/variableclass.h"

namespace {

namespace Line {
constexpr char16_t Variables[] = u"/ ЗАКАЗ ПЕРЕМЕННЫХ";
constexpr char16_t KB[] = u"КБ   0 - ";
constexpr char16_t VD[] = u"ВД 000 - ";
constexpr char16_t DV[] = u"ДВ 000 - ";
constexpr char16_t VA[] = u"ВА 000 - ";
constexpr char16_t AV[] = u"АВ 000 - ";
constexpr char16_t TM[] = u"ТМ  00 - ";
constexpr char16_t Adc[] = u"/ ЗАКАЗ ВХОДОВ АЦП";
constexpr char16_t Impulse[] = u"/ ЗАКАЗ ИВ";
constexpr char16_t TimeGen[] = u"/ ЗАКАЗ ТМГ";
constexpr char16_t Keyboard[] = u"/ ТЕХНОЛОГИЧЕСКАЯ КЛАВИАТУРА ";
} // namespace Line

constexpr int kAdcModules = 8;
constexpr int kImpulseOutputs = 32;
constexpr int kTimeGenerators = 8;
constexpr int kKeysPerKeyboard = 16;
constexpr std::uint8_t kSourceUnused = 0x20;

// Highest index of an order counted in groups of eight, as its octal text.
QString OrderText(std::uint8_t order, int width)
{
    return OctalText(8 * order + 7, width);
}

// An interval word of a timer-generator: an analog variable or a constant.
QString IntervalText(std::uint8_t low, std::uint8_t high)
{
    if (high == 0x40)
        return QStringLiteral("ВА") + OctalText(low / 2, 3);
    if (high == 0x41)
        return QStringLiteral("АВ") + OctalText(low / 2, 3);
    return QString::number((high * 256 + low) / 2);
}

} // namespace

int TPRPHeader::Decompile(QStringList & /*messages*/)
{
    QStringList &out = Text;
    out.clear();

    out << QString::fromUtf16(Line::Variables);
    out << QString::fromUtf16(Line::KB) + OctalText(OrderKB, 1);
    out << QString::fromUtf16(Line::VD) + OrderText(OrderVD, 3);
    out << QString::fromUtf16(Line::DV) + OrderText(OrderDV, 3);
    out << QString::fromUtf16(Line::VA) + OrderText(OrderVA, 3);
    out << QString::fromUtf16(Line::AV) + OrderText(OrderAV, 3);
    out << QString::fromUtf16(Line::TM) + OrderText(OrderTM, 2);
    out << QString();

    // Module m serves the ВА variables 16m..16m+15; the ADC order has eight modules only,
    // whatever ВА order a loaded image states.
    out << QString::fromUtf16(Line::Adc);
    const int lastModule = qMin(OrderVA / 2, kAdcModules - 1);
    for (int m = 0; m <= lastModule; ++m)
        out << QString::number(m) + u' ' + OctalText(16 * m, 3) + QStringLiteral(" - ") +
                   OctalText(16 * m + AdcOrder[m], 3);
    out << QString();

    bool anyOutput = false;
    for (int k = 0; k < kImpulseOutputs; ++k)
        anyOutput = anyOutput || ImpSource[k][1] != kSourceUnused;
    if (anyOutput) {
        out << QString::fromUtf16(Line::Impulse);
        for (int k = 0; k < kImpulseOutputs; ++k)
            if (ImpSource[k][1] != kSourceUnused)
                out << QStringLiteral("ИВ") + OctalText(k, 2) + u' ' + ImpulseSourceText(k) + u' ' +
                           ImpulseTickText(k);
        out << QString();
    }

    auto timeGenInUse = [this](int k) { return TimeGen[k][1] != 0 || TimeGen[k][3] != 0; };
    bool anyTimeGen = false;
    for (int k = 0; k < kTimeGenerators; ++k)
        anyTimeGen = anyTimeGen || timeGenInUse(k);
    if (anyTimeGen) {
        out << QString::fromUtf16(Line::TimeGen);
        for (int k = 0; k < kTimeGenerators; ++k)
            if (timeGenInUse(k))
                out << QString::number(k) + u' ' + IntervalText(TimeGen[k][0], TimeGen[k][1]) +
                           u' ' + IntervalText(TimeGen[k][2], TimeGen[k][3]);
        out << QString();
    }

    int openKeyboard = -1;
    for (int q = 0; q < KeyCount; ++q) {
        const TTechKey &key = TechKeys[q];
        if (key.Class == 0)
            continue;
        if (q / kKeysPerKeyboard != openKeyboard) {
            openKeyboard = q / kKeysPerKeyboard;
            out << QString();
            out << QString::fromUtf16(Line::Keyboard) + QString::number(openKeyboard + 1);
        }
        out << QString::number(q % kKeysPerKeyboard + 1) + QStringLiteral("  ") +
                   ClassVariableText(key.Class, key.Index, TIndexUse::Item) + QStringLiteral("  ") +
                   key.Name;
    }

    out << QString();
    Valid = 1;
    return 0;
}
