#include "model/prpcomparison.h"

#include "core/textutils.h"
#include "model/comparetexts.h"
#include "model/zentorprogram.h"
#include "prp/prplayout.h"

#include <algorithm>

namespace {

constexpr THeaderPart kParts[HeaderPartCount] = {
    THeaderPart::Orders, THeaderPart::AdcInputs, THeaderPart::TimerGenerators,
    THeaderPart::ImpulseOutputs, THeaderPart::TechKeys};

TBytesComparison CompareBytes(const std::uint8_t *program, int programLength,
                              const std::uint8_t *controller, int controllerLength)
{
    TBytesComparison c{programLength, controllerLength, {}};
    const int common = std::min(programLength, controllerLength);
    for (int i = 0; i < common; ++i)
        if (program[i] != controller[i])
            c.Bytes.push_back({i, program[i], controller[i]});
    return c;
}

// The header's length as the image states it, bounded by the bytes the image has.
int HeaderLength(const TZentorProgram &p)
{
    if (p.ImageLength < PrpLayout::LengthKnownFrom)
        return 0;
    return std::min(HeaderLengthOf(p.Image), p.ImageLength);
}

bool HoldsBlock(const TZentorSection &s)
{
    return s.Present && s.CodeLength > 0;
}

int BlockLength(const TZentorSection &s)
{
    return HoldsBlock(s) ? std::min(s.CodeLength, static_cast<int>(sizeof s.Code)) : 0;
}

TCompareRow HeaderPartRow(const TPRPHeader &program, const TPRPHeader &controller, THeaderPart part)
{
    TCompareRow row;
    row.Part = part;
    row.Title = HeaderPartTitle(part);
    const std::vector<THeaderEntry> p = HeaderEntries(program, part);
    const std::vector<THeaderEntry> c = HeaderEntries(controller, part);
    QStringList differing;
    // Entries unused on both sides are left out of the view; every other stands in line.
    for (size_t i = 0; i < p.size() && i < c.size(); ++i) {
        const bool differs = p[i].Value != c[i].Value;
        if (!differs && !p[i].InUse && !c[i].InUse)
            continue;
        if (differs) {
            row.View.ProgramMarked.append(static_cast<int>(row.View.ProgramLines.size()));
            row.View.ControllerMarked.append(static_cast<int>(row.View.ControllerLines.size()));
            differing.append(p[i].Name);
        }
        row.View.ProgramLines.append(p[i].Text);
        row.View.ControllerLines.append(c[i].Text);
    }
    row.State = differing.isEmpty() ? TCompareState::Same : TCompareState::Differs;
    row.Detail = differing.join(QStringLiteral(", "));
    return row;
}

TCompareRow SectionRow(const TZentorProgram &program, const TZentorProgram &controller, int n)
{
    const TZentorSection &p = program.Sections[n];
    const TZentorSection &c = controller.Sections[n];
    TCompareRow row;
    row.IsSection = true;
    row.Section = n;
    row.Title = SectionTitle(program, n);
    row.Bytes = CompareBytes(p.Code, BlockLength(p), c.Code, BlockLength(c));
    const TBytesComparison &b = row.Bytes;
    if (b.ControllerLength == 0) {
        row.State = TCompareState::OnlyProgram;
        row.Detail = CompareText::BlockBytes(b.ProgramLength);
    } else if (b.ProgramLength == 0) {
        row.State = TCompareState::OnlyController;
        row.Detail = CompareText::BlockBytes(b.ControllerLength);
    } else if (b.ProgramLength != b.ControllerLength) {
        row.State = TCompareState::Differs;
        row.Detail = CompareText::BlockLengths(b.ProgramLength, b.ControllerLength);
    } else if (!b.Bytes.empty()) {
        row.State = TCompareState::Differs;
        row.Detail = CompareText::BytesDiffer(static_cast<int>(b.Bytes.size()));
    }
    return row;
}

} // namespace

int TPrpComparison::Differences() const
{
    return static_cast<int>(std::count_if(Rows.begin(), Rows.end(), [](const TCompareRow &r) {
        return r.State != TCompareState::Same;
    }));
}

std::unique_ptr<TZentorProgram> ProgramAsSent(const TZentorProgram &program)
{
    auto sent = std::make_unique<TZentorProgram>();
    sent->CopyContentOf(program);
    sent->AssembleImage();
    return sent;
}

TPrpComparison ComparePrp(const TZentorProgram &program, const TZentorProgram &controller)
{
    TPrpComparison r;
    r.Header = CompareBytes(program.Image, HeaderLength(program), controller.Image,
                            HeaderLength(controller));
    for (THeaderPart part : kParts)
        r.Rows.append(HeaderPartRow(program.Header, controller.Header, part));
    for (int n = 0; n < TZentorProgram::SectionCount; ++n)
        if (HoldsBlock(program.Sections[n]) || HoldsBlock(controller.Sections[n]))
            r.Rows.append(SectionRow(program, controller, n));
    return r;
}

QString CompareStateText(TCompareState state)
{
    switch (state) {
    case TCompareState::Same:
        return CompareText::Same;
    case TCompareState::Differs:
        return CompareText::Differs;
    case TCompareState::OnlyController:
        return CompareText::OnlyController;
    case TCompareState::OnlyProgram:
        return CompareText::OnlyProgram;
    }
    return QString();
}

QString HeaderPartTitle(THeaderPart part)
{
    switch (part) {
    case THeaderPart::Orders:
        return CompareText::Orders;
    case THeaderPart::AdcInputs:
        return CompareText::AdcInputs;
    case THeaderPart::ImpulseOutputs:
        return CompareText::ImpulseOutputs;
    case THeaderPart::TimerGenerators:
        return CompareText::TimerGenerators;
    case THeaderPart::TechKeys:
        return CompareText::TechKeys;
    }
    return QString();
}

QString SectionTitle(const TZentorProgram &program, int section)
{
    QString title = CompareText::Section + SectionNumberText(section);
    const QString name = section >= 0 && section < TZentorProgram::SectionCount
                             ? program.Sections[section].Name.trimmed()
                             : QString();
    if (!name.isEmpty())
        title += QStringLiteral(" «") + name + QStringLiteral("»");
    return title;
}
