#include "runtime/runscript.h"

#include "core/cp1251.h"
#include "core/textutils.h"
#include "runtime/runprogram.h"
#include "runtime/runtimetexts.h"
#include "runtime/scanengine.h"

#include <QStringDecoder>

namespace R = RuntimeText;

namespace {

struct TRelationWord
{
    const char16_t *Word;
    TCompare Relation;
};

constexpr TRelationWord kRelations[] = {
    {u"=", TCompare::Equal}, {u"<>", TCompare::NotEqual},     {u">", TCompare::Greater},
    {u"<", TCompare::Less},  {u">=", TCompare::GreaterEqual}, {u"<=", TCompare::LessEqual},
};

QString RelationWord(TCompare r)
{
    for (const TRelationWord &w : kRelations)
        if (w.Relation == r)
            return QString::fromUtf16(w.Word);
    return QString();
}

bool Holds(int got, TCompare r, int want)
{
    switch (r) {
    case TCompare::Equal:
        return got == want;
    case TCompare::NotEqual:
        return got != want;
    case TCompare::Greater:
        return got > want;
    case TCompare::Less:
        return got < want;
    case TCompare::GreaterEqual:
        return got >= want;
    case TCompare::LessEqual:
        return got <= want;
    }
    return false;
}

// Reads one line's command; false with error (without the place) when it is none.
class TLineReader
{
public:
    TLineReader(const QStringList &words, const TRunProgram &program)
        : Words(words), Program(program)
    {
    }

    bool Read(TScriptCommand &c, QString &error)
    {
        const QString command = ControllerUpper(Words[0]);
        if (command == R::CommandCycles) {
            c.Kind = TScriptCommand::Cycles;
            if (Words.size() != 2)
                return Form(R::FormCycles, error);
            c.Count = ParseCycles(Words[1]);
            if (c.Count == 0) {
                error = R::BadCycles(Words[1], MaxScriptCycles);
                return false;
            }
            return true;
        }
        struct TForm
        {
            const QString &Word;
            TScriptCommand::TKind Kind;
            const QString &Form;
        };
        const TForm forms[] = {{R::CommandSet, TScriptCommand::Set, R::FormSet},
                               {R::CommandLock, TScriptCommand::Lock, R::FormLock},
                               {R::CommandUnlock, TScriptCommand::Unlock, R::FormUnlock},
                               {R::CommandExpect, TScriptCommand::Expect, R::FormExpect}};
        for (const TForm &f : forms) {
            if (command != f.Word)
                continue;
            c.Kind = f.Kind;
            Pos = 1;
            if (!Variable(c, error))
                return error.isEmpty() ? Form(f.Form, error) : false;
            const bool locking = c.Kind == TScriptCommand::Lock || c.Kind == TScriptCommand::Unlock;
            if (locking && c.Var.Part == TVarPart::Bad) {
                error = R::UnlockBad(c.VarWord);
                return false;
            }
            if (c.Kind == TScriptCommand::Unlock)
                return Pos == Words.size() || Form(f.Form, error);
            if (c.Kind == TScriptCommand::Expect && Words.size() - Pos == 2 && !Relation(c))
                return Form(f.Form, error);
            if (Words.size() - Pos != 1)
                return Form(f.Form, error);
            return ParseValue(Words[Pos], c.Var, c.Value, error, c.VarWord);
        }
        error = R::UnknownCommand(Words[0]);
        return false;
    }

private:
    const QStringList &Words;
    const TRunProgram &Program;
    qsizetype Pos = 1;

    static bool Form(const QString &form, QString &error)
    {
        error = R::WrongWordCount(form.section(u' ', 0, 0), form);
        return false;
    }

    // "VAR" or "Б VAR"; false with error empty when the words are missing.
    bool Variable(TScriptCommand &c, QString &error)
    {
        const bool bad =
            Pos < Words.size() && ControllerUpper(Words[Pos]) == R::BadPrefix.trimmed();
        if (bad)
            ++Pos;
        if (Pos >= Words.size())
            return false;
        c.VarWord = (bad ? R::BadPrefix : QString()) + Words[Pos];
        if (!Program.ParseVariable(Words[Pos], c.Var, error))
            return false;
        if (bad)
            c.Var.Part = TVarPart::Bad;
        ++Pos;
        return true;
    }

    bool Relation(TScriptCommand &c)
    {
        for (const TRelationWord &w : kRelations)
            if (Words[Pos] == QString::fromUtf16(w.Word)) {
                c.Relation = w.Relation;
                ++Pos;
                return true;
            }
        return false;
    }
};

} // namespace

long long TScript::Scans() const
{
    long long scans = 0;
    for (const TScriptCommand &c : Commands)
        if (c.Kind == TScriptCommand::Cycles)
            scans += c.Count;
    return scans;
}

bool ScriptText(const QByteArray &bytes, const QString &fileName, QStringList &lines,
                QString &error)
{
    if (bytes.contains('\0')) {
        error = R::ScriptNotText(fileName);
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = DecodeCp1251(bytes);
    lines = text.split(u'\n');
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return true;
}

long long ParseCycles(const QString &text)
{
    if (!IsDecimalText(text) || text.size() > 12)
        return 0;
    const long long n = text.toLongLong();
    return n >= 1 && n <= MaxScriptCycles ? n : 0;
}

bool ParseScript(const QStringList &lines, const QString &fileName, const TRunProgram &program,
                 TScript &script, QString &error)
{
    script = TScript();
    script.FileName = fileName;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString text = lines[i].section(u'!', 0, 0).simplified();
        if (text.isEmpty())
            continue;
        TScriptCommand c;
        c.Line = static_cast<int>(i) + 1;
        c.Text = text;
        const QStringList words = text.split(u' ');
        TLineReader reader(words, program);
        QString why;
        if (!reader.Read(c, why)) {
            error = R::ScriptPlace(fileName, c.Line) + why;
            return false;
        }
        script.Commands.push_back(c);
    }
    return true;
}

std::vector<TExpectationResult> RunScript(const TScript &script, TScanEngine &engine,
                                          const std::function<void()> &afterScan)
{
    std::vector<TExpectationResult> results;
    for (const TScriptCommand &c : script.Commands) {
        switch (c.Kind) {
        case TScriptCommand::Set:
            engine.State.Set(c.Var, c.Value);
            break;
        case TScriptCommand::Lock:
            engine.State.Lock(c.Var, c.Value);
            break;
        case TScriptCommand::Unlock:
            engine.State.Unlock(c.Var);
            break;
        case TScriptCommand::Cycles:
            for (long long n = 0; n < c.Count; ++n) {
                engine.Scan();
                if (afterScan)
                    afterScan();
            }
            break;
        case TScriptCommand::Expect: {
            TExpectationResult r;
            r.Line = c.Line;
            r.Text = c.Text;
            r.Scan = engine.Scans();
            const int got = engine.State.Get(c.Var);
            r.Passed = Holds(got, c.Relation, c.Value);
            if (!r.Passed)
                r.Message = R::ScriptPlace(script.FileName, c.Line) +
                            R::Expected(c.VarWord, RelationWord(c.Relation),
                                        ValueText(c.Var, c.Value), ValueText(c.Var, got));
            results.push_back(r);
            break;
        }
        }
    }
    return results;
}
