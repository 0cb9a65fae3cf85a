#include "compiler/crossref.h"

#include "compiler/algbase.h"
#include "compiler/codegen.h"
#include "compiler/compilertexts.h"
#include "compiler/crossreftexts.h"
#include "compiler/lexer.h"
#include "compiler/zentorcompiler.h"
#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/headerdeclaration.h"
#include "prp/variableclass.h"
#include "prp/variableorder.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

// The variable classes in the order the cross-reference lists them.
constexpr TVariableClassCode kListOrder[] = {ClassVD, ClassDV, ClassVA, ClassAV,
                                             ClassTM, ClassKS, ClassKB, ClassIV};
constexpr int kClassCount = static_cast<int>(std::size(kListOrder));

// A listed class: its word and the characters its index is written with.
struct TListedClass
{
    QString Letters;
    int Width;
};

const std::vector<TListedClass> &Classes()
{
    static const std::vector<TListedClass> classes = [] {
        std::vector<TListedClass> list;
        for (TVariableClassCode code : kListOrder) {
            const TVariableClass *c = FindVariableClass(code);
            const int digits = c->Digits[static_cast<int>(TIndexUse::List)];
            // A section number (КС) is written with its three characters.
            list.push_back({QString::fromUtf16(c->Word), digits == 0 ? 3 : digits});
        }
        return list;
    }();
    return classes;
}

constexpr int kNameRank = kClassCount; // names that stand for no variable come last
constexpr qint64 kIndexCap = qint64(1) << 40;

int ClassRank(QStringView word)
{
    const TVariableClassCode code = ClassOfWord(word);
    for (int r = 0; r < kClassCount; ++r)
        if (kListOrder[r] == code)
            return r;
    return -1;
}

QString Padded(qint64 value, int width)
{
    return QString::number(value, 8).rightJustified(width, u'0');
}

// A variable word as the compiler reads it: the class, the index's octal digits without
// the zeros in front (the three characters of a section number for КС; the first three
// digits in a Б item, which carries no more), written with the class's width.
struct TVariable
{
    QString Name;
    int Rank = -1;
    qint64 Index = 0;
};

// The names of the variables read lately, by class and index: every use of a variable shares
// its name. Only names of at most ten digits are kept, whose index says which digits they
// have.
class TVariableNames
{
public:
    const QString *Find(int rank, qint64 index) const
    {
        const auto it = Made.constFind(Key(rank, index));
        return it == Made.constEnd() ? nullptr : &*it;
    }
    void Add(int rank, qint64 index, const QString &name) { Made.insert(Key(rank, index), name); }

private:
    static qint64 Key(int rank, qint64 index) { return (qint64(rank) << 40) | index; }
    QHash<qint64, QString> Made;
};

bool ReadVariable(QStringView word, bool bitItem, TVariable &v, TVariableNames *names = nullptr)
{
    v.Rank = ClassRank(word);
    if (v.Rank < 0 || word.size() < 3)
        return false;
    const QStringView rest = word.mid(2);
    for (QChar c : rest)
        if (c < u'0' || c > u'7')
            return false;
    const QString &letters = Classes()[v.Rank].Letters;
    if (kListOrder[v.Rank] == ClassKS) {
        if (word.size() < 5)
            return false;
        v.Index = 32 * (rest[0].unicode() - u'0') + 8 * (rest[1].unicode() - u'0') +
                  (rest[2].unicode() - u'0');
        v.Name = letters;
        v.Name += rest.left(3);
        return true;
    }
    QStringView digits = bitItem ? rest.left(3) : rest;
    while (digits.size() > 1 && digits[0] == u'0')
        digits = digits.mid(1);
    v.Index = digits.size() > 12 ? kIndexCap : OctalValue(digits);
    const bool kept = names && digits.size() <= 10;
    if (const QString *name = kept ? names->Find(v.Rank, v.Index) : nullptr) {
        v.Name = *name;
        return true;
    }
    const qsizetype zeros = std::max<qsizetype>(0, Classes()[v.Rank].Width - digits.size());
    QString name(letters.size() + zeros + digits.size(), Qt::Uninitialized);
    QChar *out = std::copy(letters.begin(), letters.end(), name.data());
    out = std::fill_n(out, zeros, QChar(u'0'));
    std::copy(digits.begin(), digits.end(), out);
    v.Name = std::move(name);
    if (kept)
        names->Add(v.Rank, v.Index, v.Name);
    return true;
}

bool IsVariableLexeme(const TLexeme &lx)
{
    return lx.Code == LxDiscrete || lx.Code == LxTimer || lx.Code == LxAnalog;
}

QString SectionWhere(const TZentorProgram &program, int s)
{
    const QString name = program.Sections[s].Name.trimmed();
    QString where = CrossRefText::Section + SectionNumberText(s);
    if (!name.isEmpty())
        where += QStringLiteral(" «") + name + QStringLiteral("»");
    return where;
}

// The texts that many uses share, made once for the whole program: the detail of an
// algorithm's parameter ("АЛГ012, параметр 1 ВХОД") and the variables' names.
class TUseTexts
{
public:
    explicit TUseTexts(const TAlgBase *base) : Base(base) {}
    QString CallDetail(int algorithm, int param);
    TVariableNames Variables;

private:
    const TAlgBase *Base;
    QHash<qint64, QString> Made; // algorithm, parameter -> its text
};

QString TUseTexts::CallDetail(int n, int param)
{
    const qint64 key = (qint64(n) << 32) | static_cast<quint32>(param);
    auto it = Made.find(key);
    if (it != Made.end())
        return *it;
    QString detail = Keyword::Algorithm + OctalText(n, 3);
    if (param > 0) {
        detail += CrossRefText::Parameter + QString::number(param);
        const TAlgInfo *alg = Base ? Base->Find(n) : nullptr;
        if (!alg || param > alg->ParamCount || param > TAlgInfo::MaxParams)
            detail += CrossRefText::NotTaken;
        else
            detail += u' ' + alg->Params[param].Name.trimmed();
    }
    Made.insert(key, detail);
    return detail;
}

// The uses of one section, taken from each statement piece as the code generator gets it.
class TSectionUses : public TStatementObserver
{
public:
    // The uses go to the end of out.
    TSectionUses(int section, const QString &where, TUseTexts &texts, QVector<TCrossRefUse> &out)
        : Section(section), Where(where), Texts(texts), Uses(out), Start(out.size())
    {
    }

    void OnStatement(const TLexemeContainer &s) override;
    // The names that gave no variable follow the uses.
    void Finish();
    // The section failed: its uses are taken back.
    void Drop() { Uses.resize(Start); }

private:
    struct TNameOccurrence
    {
        int Line;
        int Column;
        QString Name;
        bool HasVariable;
        TCrossRefKind Kind;
        QString Detail;
    };

    TNameOccurrence &Occurrence(const TLexeme &lx, TCrossRefKind kind, const QString &detail);
    QString CallDetail(const TLexeme &call, int param) const;

    int Section;
    QString Where;
    TUseTexts &Texts;
    QVector<TCrossRefUse> &Uses;
    const qsizetype Start;
    QVector<TNameOccurrence> Names;
    QHash<QString, int> NameAt; // "line:column:name" -> its occurrence in Names
};

QString TSectionUses::CallDetail(const TLexeme &call, int param) const
{
    const int n = OctalValue(call.Text.mid(Keyword::Algorithm.size())) & 0x7F;
    return Texts.CallDetail(n, std::max(param, 0));
}

TSectionUses::TNameOccurrence &TSectionUses::Occurrence(const TLexeme &lx, TCrossRefKind kind,
                                                        const QString &detail)
{
    QString key = QString::number(lx.Line) + u':' + QString::number(lx.SourceColumn) + u':';
    key += lx.Name;
    const auto found = NameAt.constFind(key);
    if (found != NameAt.constEnd())
        return Names[*found];
    NameAt.insert(key, static_cast<int>(Names.size()));
    Names.append({lx.Line, lx.SourceColumn, lx.Name.toString(), false, kind, detail});
    return Names.back();
}

void TSectionUses::OnStatement(const TLexemeContainer &s)
{
    int first = 0;
    while (first < s.Count() && s.At(first).Code >= LxColumnOne)
        ++first; // parameter numbers and names that fell into the piece
    const bool condition = first < s.Count() && s.At(first).Code == LxIf;
    int call = -1;
    bool bitItem = false;
    QString switched;
    for (int i = 0; i < s.Count(); ++i) {
        const TLexeme &lx = s.At(i);
        if (lx.Code == LxAlgorithm && call < 0)
            call = i;
        bitItem = bitItem || lx.Code == LxBit;
        if (lx.Code == LxOnOff && switched.isEmpty())
            switched = lx.SubCode == SubOn ? CrossRefText::On : CrossRefText::Off;
    }
    int param = 0;
    bool target = false;
    for (int i = 0; i < s.Count(); ++i) {
        const TLexeme &lx = s.At(i);
        if (call >= 0 && i > call && lx.Code == LxEquals)
            ++param; // every parameter value is brought in by its "="
        const bool variable = IsVariableLexeme(lx);
        if (lx.Code >= LxColumnOne || (!variable && lx.Name.isEmpty()))
            continue;
        TCrossRefKind kind = TCrossRefKind::Read;
        QString detail = CrossRefText::RightSide;
        if (call >= 0) {
            kind = TCrossRefKind::Passed;
            detail = CallDetail(s.At(call), i > call ? param : 0);
        } else if (condition) {
            detail = CrossRefText::Condition;
        } else if (variable && !target) {
            kind = TCrossRefKind::Written;
            detail = switched.isEmpty() ? CrossRefText::Assigned : switched;
            target = true;
        }
        TNameOccurrence *named = lx.Name.isEmpty() ? nullptr : &Occurrence(lx, kind, detail);
        TVariable v;
        if (!variable || !ReadVariable(lx.Text, bitItem, v, &Texts.Variables))
            continue;
        if (named)
            named->HasVariable = true;
        TCrossRefUse use;
        use.Variable = std::move(v.Name);
        use.Name = named ? named->Name : QString();
        use.Section = Section;
        use.Where = Where;
        use.Line = lx.Line;
        use.Column = lx.SourceColumn;
        use.Kind = kind;
        use.Detail = detail;
        use.ClassRank = v.Rank;
        use.Index = v.Index;
        Uses.append(std::move(use));
    }
}

void TSectionUses::Finish()
{
    for (const TNameOccurrence &o : Names) {
        if (o.HasVariable)
            continue;
        TCrossRefUse use;
        use.Name = o.Name;
        use.Section = Section;
        use.Where = Where;
        use.Line = o.Line;
        use.Column = o.Column;
        use.Kind = o.Kind;
        use.Detail = o.Detail;
        use.ClassRank = kNameRank;
        Uses.append(std::move(use));
    }
}

// The variable a technological name stands for, read by the lexer as a section would read
// it; empty when its value is not exactly one variable.
TVariable NamedVariable(const QString &value, const TMacrosTable &macros)
{
    TLexemeContainer lexemes;
    QStringList messages;
    TIndexMaxima maxima;
    TVariable found;
    if (!ScanSection({value}, 0, macros, lexemes, messages, maxima))
        return found;
    int count = 0;
    for (int i = 0; i < lexemes.Count(); ++i) {
        if (IsVariableLexeme(lexemes.At(i)) && ++count == 1)
            ReadVariable(lexemes.At(i).Text, false, found);
    }
    return count == 1 ? found : TVariable();
}

QString RangeText(int rank, qint64 first, qint64 last)
{
    const int width = Classes()[rank].Width;
    return Classes()[rank].Letters + Padded(first, width) + u'-' + Padded(last, width);
}

TCrossRefUse DeclarationUse(const THeaderDeclaration &d, const TMacrosTable &macros)
{
    TCrossRefUse use;
    use.Where = CrossRefText::Header;
    use.Line = d.Line;
    use.Column = d.Column;
    use.Kind = TCrossRefKind::Declared;
    use.Index = -1;
    TVariable v;
    switch (d.Kind) {
    case THeaderDeclKind::Order:
        use.ClassRank = ClassRank(d.Word);
        use.Variable = RangeText(use.ClassRank, d.First, d.Last);
        use.Detail = CrossRefText::OrderPart;
        return use;
    case THeaderDeclKind::AdcInputs:
        use.ClassRank = ClassRank(ClassWord(ClassVA));
        use.Variable = RangeText(use.ClassRank, d.First, d.Last);
        use.Detail = CrossRefText::AdcPart + QString::number(d.Number);
        return use;
    case THeaderDeclKind::ImpulseOutput:
        ReadVariable(d.Word, false, v);
        use.Detail = CrossRefText::ImpulseOutput + d.Value;
        break;
    case THeaderDeclKind::ImpulseSource:
        ReadVariable(d.Word, false, v);
        use.Detail = CrossRefText::ImpulseSource + ClassWord(ClassIV) + Padded(d.Number, 2);
        break;
    case THeaderDeclKind::Key:
        ReadVariable(d.Word, false, v);
        use.Detail = CrossRefText::KeyBoard + QString::number(d.Number / 16 + 1) +
                     CrossRefText::Key + QString::number(d.Number % 16 + 1);
        if (!d.Value.isEmpty())
            use.Detail += QStringLiteral(" «") + d.Value + QStringLiteral("»");
        break;
    case THeaderDeclKind::Name:
        v = NamedVariable(d.Value, macros);
        use.Name = d.Word;
        use.Detail = CrossRefText::TechName + d.Value;
        break;
    }
    use.Variable = v.Name;
    use.ClassRank = v.Rank >= 0 ? v.Rank : kNameRank;
    use.Index = v.Index;
    return use;
}

// The range the header orders for a class; false for the classes without an order.
bool OrderedRange(const TPRPHeader &h, int rank, qint64 &last, QString &text)
{
    const TVariableOrder *o =
        rank >= 0 && rank < kClassCount ? FindVariableOrder(kListOrder[rank]) : nullptr;
    if (!o)
        return false;
    last = OrderLast(*o, h);
    text = CrossRefText::OrderedRange + OrderLineStart(*o) + Padded(last, Classes()[rank].Width);
    return true;
}

// A ВА input is sampled only when its ADC module orders it; *text (when given) gets the
// module's range.
bool AdcOrders(const TPRPHeader &h, qint64 index, QString *text)
{
    const qint64 module = index / 16;
    if (module >= 8) {
        if (text)
            *text = CrossRefText::AdcNone;
        return false;
    }
    const int last = 16 * static_cast<int>(module) + h.AdcOrder[module];
    if (text)
        *text = CrossRefText::AdcRange + QString::number(module) + QStringLiteral(": ") +
                Padded(16 * module, 3) + QStringLiteral(" - ") + Padded(last, 3);
    return index <= last;
}

void CheckOrders(const TPRPHeader &h, TCrossReference &x)
{
    // The range the header orders for each class, once.
    struct TRange
    {
        bool Ordered = false;
        qint64 Last = 0;
        QString Text;
    };
    TRange ranges[kClassCount];
    for (int r = 0; r < kClassCount; ++r)
        ranges[r].Ordered = OrderedRange(h, r, ranges[r].Last, ranges[r].Text);
    for (TCrossRefUse &use : x.Uses) {
        if (use.Section < 0 || use.Variable.isEmpty())
            continue;
        const TRange &range = ranges[use.ClassRank];
        QString text;
        bool outside = range.Ordered && use.Index > range.Last;
        if (outside)
            text = range.Text;
        else if (kListOrder[use.ClassRank] == ClassVA && !AdcOrders(h, use.Index, nullptr))
            outside = !AdcOrders(h, use.Index, &text);
        if (outside) {
            use.Check = TCrossRefCheck::OutsideOrder;
            use.CheckText = text;
            ++x.OutsideOrder;
        }
    }
}

void CheckNamed(const THeaderDeclarations &decls, TCrossReference &x)
{
    // The variables and names the header's declarations ask about (their uses stand first,
    // in the order of decls), each false until a section's use is found.
    QHash<QString, bool> variables;
    QHash<QString, bool> names;
    std::vector<qsizetype> asking;
    const QString impulse = ClassWord(ClassIV);
    for (qsizetype i = 0; i < static_cast<qsizetype>(decls.size()); ++i) {
        const THeaderDeclKind kind = decls[static_cast<std::size_t>(i)].Kind;
        const TCrossRefUse &use = x.Uses[i];
        bool named = kind == THeaderDeclKind::Name || kind == THeaderDeclKind::ImpulseSource ||
                     kind == THeaderDeclKind::Key;
        // Sections cannot use impulse outputs: a key showing one is no finding.
        named = named && !use.Variable.startsWith(impulse);
        if (!named)
            continue;
        asking.push_back(i);
        if (use.Variable.isEmpty())
            names.insert(use.Name, false);
        else
            variables.insert(use.Variable, false);
    }
    for (const TCrossRefUse &use : std::as_const(x.Uses)) {
        if (use.Section < 0)
            continue;
        if (const auto v = variables.find(use.Variable); v != variables.end())
            *v = true;
        if (const auto n = names.find(use.Name); n != names.end())
            *n = true;
    }
    for (qsizetype i : asking) {
        TCrossRefUse &use = x.Uses[i];
        const bool used =
            use.Variable.isEmpty() ? names.value(use.Name) : variables.value(use.Variable);
        if (used)
            continue;
        use.Check = TCrossRefCheck::Unused;
        ++x.Unused;
    }
}

// The uses in the list's order: by class, the name (for names of no variable), index and
// place; uses alike keep their order. The keys are sorted, then each use moved once.
void SortUses(QVector<TCrossRefUse> &uses)
{
    struct TKey
    {
        int Rank;
        int Section;
        qint64 Index;
        int Line;
        int Column;
        const QString *Name;
    };
    std::vector<TKey> keys;
    keys.reserve(static_cast<std::size_t>(uses.size()));
    for (const TCrossRefUse &u : std::as_const(uses))
        keys.push_back({u.ClassRank, u.Section, u.Index, u.Line, u.Column, &u.Name});
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&keys](int i, int j) {
        const TKey &a = keys[static_cast<std::size_t>(i)];
        const TKey &b = keys[static_cast<std::size_t>(j)];
        if (a.Rank != b.Rank)
            return a.Rank < b.Rank;
        if (a.Rank == kNameRank && *a.Name != *b.Name)
            return *a.Name < *b.Name;
        if (a.Index != b.Index)
            return a.Index < b.Index;
        if (a.Section != b.Section)
            return a.Section < b.Section;
        if (a.Line != b.Line)
            return a.Line < b.Line;
        return a.Column < b.Column;
    });
    QVector<TCrossRefUse> sorted;
    sorted.reserve(uses.size());
    for (int i : order)
        sorted.append(std::move(uses[i]));
    uses = std::move(sorted);
}

} // namespace

TCrossReference BuildCrossReference(const TZentorProgram &program, const TAlgBase *base)
{
    TCrossReference x;
    TZentorCompiler compiler;
    compiler.AlgBase = base;
    TPRPHeader header = program.Header;
    QStringList headerMessages;
    THeaderDeclarations decls;
    header.Compile(headerMessages, compiler.Macros, &decls);
    if (!headerMessages.isEmpty())
        x.Failures.append({-1, CrossRefText::Header, headerMessages});
    for (const THeaderDeclaration &d : decls)
        x.Uses.append(DeclarationUse(d, compiler.Macros));

    const int limit = std::min(program.SectionLimit(), int(TZentorProgram::SectionCount));
    TUseTexts texts(base);
    for (int s = 0; s < limit; ++s) {
        if (!program.Sections[s].Present)
            continue;
        TZentorSection copy = program.Sections[s];
        QStringList messages;
        TSectionUses uses(s, SectionWhere(program, s), texts, x.Uses);
        compiler.Messages = &messages;
        compiler.Observer = &uses;
        if (compiler.CompileSection(copy, s) != 0) {
            uses.Drop();
            x.Failures.append({s, SectionWhere(program, s), messages});
        } else {
            uses.Finish();
        }
    }
    CheckNamed(decls, x);
    CheckOrders(header, x);
    SortUses(x.Uses);
    return x;
}

QString CrossRefKindText(TCrossRefKind kind)
{
    switch (kind) {
    case TCrossRefKind::Written:
        return CrossRefText::Written;
    case TCrossRefKind::Read:
        return CrossRefText::Read;
    case TCrossRefKind::Passed:
        return CrossRefText::Passed;
    case TCrossRefKind::Declared:
        break;
    }
    return CrossRefText::Declared;
}

QString CrossRefCheckText(TCrossRefCheck check)
{
    switch (check) {
    case TCrossRefCheck::OutsideOrder:
        return CrossRefText::OutsideOrder;
    case TCrossRefCheck::Unused:
        return CrossRefText::Unused;
    case TCrossRefCheck::None:
        break;
    }
    return QString();
}

QString CrossRefCheckColumn(const TCrossRefUse &use)
{
    QString text = CrossRefCheckText(use.Check);
    if (!use.CheckText.isEmpty())
        text += QStringLiteral(": ") + use.CheckText;
    return text;
}

QStringList CrossRefCells(const TCrossRefUse &use)
{
    return {use.Variable,
            use.Name,
            use.Where,
            QString::number(use.Line),
            QString::number(use.Column),
            CrossRefKindText(use.Kind),
            use.Detail,
            CrossRefCheckColumn(use)};
}

bool CrossRefMatches(const TCrossRefUse &use, const QString &prefix)
{
    const QString p = ControllerUpper(prefix.trimmed());
    if (p.isEmpty() || use.Variable.startsWith(p) || use.Name.startsWith(p))
        return true;
    // A whole variable matches however many zeros its index is written with.
    TVariable v;
    return ReadVariable(p, false, v) && v.Name == use.Variable;
}
