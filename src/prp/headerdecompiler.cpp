// The header decompiler: the header fields back into header text that the header compiler
// reads to the same orders, ADC inputs, impulse outputs, timer-generators and technological
// keys. It runs whenever a program comes from an image instead of from text.
#include "prp/prpheader.h"

#include "core/textutils.h"
#include "prp/headerentries.h"
#include "prp/headerwords.h"
#include "prp/variableclass.h"

namespace {

constexpr int kAdcModules = 8;
constexpr int kKeysPerKeyboard = 16;

} // namespace

int TPRPHeader::Decompile(QStringList & /*messages*/)
{
    namespace W = HeadingWord;
    QStringList &out = Text;
    out.clear();

    out << W::HeadingLine({W::Order, W::Variables});
    for (const THeaderEntry &e : HeaderEntries(*this, THeaderPart::Orders))
        out << e.Text;
    out << QString();

    // Module m serves the ВА variables 16m..16m+15; the ADC order has eight modules only,
    // whatever ВА order a loaded image states.
    out << W::HeadingLine({W::Order, W::Inputs, W::Adc});
    const int lastModule = qMin(OrderVA / 2, kAdcModules - 1);
    const std::vector<THeaderEntry> adc = HeaderEntries(*this, THeaderPart::AdcInputs);
    for (int m = 0; m <= lastModule; ++m)
        out << adc[m].Text;
    out << QString();

    QStringList outputs;
    for (const THeaderEntry &e : HeaderEntries(*this, THeaderPart::ImpulseOutputs))
        if (e.InUse)
            outputs << e.Text;
    if (!outputs.isEmpty())
        out << W::HeadingLine({W::Order, ClassWord(ClassIV)}) << outputs << QString();

    // Every timer-generator in use (any word not 0): the part, once written, states all eight.
    QStringList timeGens;
    for (const THeaderEntry &e : HeaderEntries(*this, THeaderPart::TimerGenerators))
        if (e.InUse)
            timeGens << e.Text;
    if (!timeGens.isEmpty())
        out << W::HeadingLine({W::Order, W::TimeGen}) << timeGens << QString();

    int openKeyboard = -1;
    for (int q = 0; q < KeyCount; ++q) {
        const TTechKey &key = TechKeys[q];
        if (key.Class == 0)
            continue;
        if (q / kKeysPerKeyboard != openKeyboard) {
            openKeyboard = q / kKeysPerKeyboard;
            out << QString();
            out << W::HeadingLine({W::TechSingular, W::Keyboard}) + u' ' +
                       QString::number(openKeyboard + 1);
        }
        out << QString::number(q % kKeysPerKeyboard + 1) + QStringLiteral("  ") +
                   HeaderKeyVariableText(key) + QStringLiteral("  ") + key.Name;
    }

    out << QString();
    Valid = 1;
    CompiledText = Text; // the fields are what this text says
    TextCompiled = true;
    return 0;
}
