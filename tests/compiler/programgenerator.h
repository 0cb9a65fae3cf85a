#pragma once
// A generator of valid section texts for round-trip tests: every statement, every condition
// primary, parenthesised and ИЛИ conditions, ТОГДА/ИНАЧЕ groups, ТС texts with fields and
// formats, and algorithm calls with every parameter kind of the given base, written in the
// shapes users write (abbreviations, lower case, parameters inline or on lines of their own).
// On request it notes every variable it writes outside a ТС text with the way the statement
// uses it, and writes some of them as technological names it makes up.

#include "compiler/algbase.h"
#include "core/textutils.h"

#include <QString>
#include <QStringList>

#include <random>
#include <utility>
#include <vector>

class TProgramGenerator
{
public:
    TProgramGenerator(unsigned seed, const TAlgBase &base) : Rng(seed), Base(base)
    {
        for (int n = 0; n < TAlgBase::AlgCount; ++n)
            if (const TAlgInfo *alg = base.Find(n); alg && Callable(*alg))
                Algorithms.push_back(n);
    }

    // One statement or conditional group, as lines.
    QStringList Piece()
    {
        if (Chance(35))
            return Group();
        return Statement();
    }

    int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(Rng); }
    bool Chance(int percent) { return Pick(100) < percent; }

    enum TUseKind { UseWritten, UseRead, UsePassed };
    struct TUse
    {
        QString Variable; // as written, or as the name's value
        QString Name;     // the technological name written instead, if any
        TUseKind Kind = UseRead;
        int Algorithm = -1; // a parameter: the algorithm and the parameter's number
        int Param = 0;
    };
    // When set, every variable written outside a ТС text is noted here.
    std::vector<TUse> *Uses = nullptr;
    // When set (with Uses), some variables are written as names made up for them: each name
    // and the variable it stands for is added here, for the header's names part.
    std::vector<std::pair<QString, QString>> *Names = nullptr;

private:
    std::mt19937 Rng;
    const TAlgBase &Base;
    std::vector<int> Algorithms;
    TUseKind Role = UseRead; // how the variables written next are used
    bool Noting = true;      // false inside ТС texts
    int CallAlgorithm = -1;
    int CallParam = 0;

    // Notes the variable (the generator's stream of numbers is the same as without noting
    // unless names are asked for).
    QString Note(const QString &word) { return Note(word, Role); }
    QString Note(const QString &word, TUseKind kind)
    {
        if (!Uses || !Noting)
            return word;
        TUse use{word, QString(), kind, -1, 0};
        if (kind == UsePassed) {
            use.Algorithm = CallAlgorithm;
            use.Param = CallParam;
        }
        QString written = word;
        if (Names && Chance(20)) {
            use.Name = QStringLiteral("ИМЯ%1").arg(Names->size());
            Names->push_back({use.Name, word});
            written = Chance(50) ? use.Name : use.Name.toLower();
        }
        Uses->push_back(use);
        return written;
    }

    // Calls that compile and keep all their parameters: every kind known, and the call long
    // enough for what its parameters encode to.
    static bool Callable(const TAlgInfo &alg)
    {
        static constexpr int kBytes[] = {0, 2, 2, 2, 6, 2, 2, 2, 1, 1, 2, 2, 1};
        int bytes = alg.OwnMemory != 0 ? 2 : 0;
        for (int p = 1; p <= alg.ParamCount; ++p) {
            const int kind = alg.Params[p].Kind;
            if (kind < 1 || kind > 12)
                return false; // such a call fails without a message
            bytes += kBytes[kind];
        }
        return bytes <= alg.PrpMemory;
    }

    template <typename T> const T &OneOf(const std::vector<T> &v) { return v[Pick(int(v.size()))]; }

    QString Oct(int x, int width)
    {
        // Mostly the padded form; sometimes as few digits as the number needs.
        return Chance(80) ? OctalText(x, width) : QString::number(x, 8);
    }
    QString DV() { return Note(QStringLiteral("ДВ") + Oct(Pick(512), 3)); }
    QString VD(int count = 512) { return Note(QStringLiteral("ВД") + Oct(Pick(count), 3)); }
    QString KB() { return Note(QStringLiteral("КБ") + QString::number(Pick(8))); }
    QString KS() { return Note(QStringLiteral("КС") + SectionNumberText(Pick(256))); }
    QString TM() { return Note(QStringLiteral("ТМ") + Oct(Pick(64), 2)); }
    QString Analog()
    {
        return Note((Chance(50) ? QStringLiteral("ВА") : QStringLiteral("АВ")) + Oct(Pick(128), 3));
    }
    // An algorithm's discrete reference reaches only ВД000..ВД377.
    QString Discrete(int vdCount = 512)
    {
        switch (Pick(5)) {
        case 0:
            return DV();
        case 1:
            return VD(vdCount);
        case 2:
            return KB();
        case 3:
            return KS();
        default:
            return TM();
        }
    }
    QString OnOff()
    {
        static const std::vector<QString> words = {"ВКЛ", "В", "ОТКЛ", "О", "вкл", "о"};
        return OneOf(words);
    }

    // A constant whose word does not read back as a variable.
    QString Constant()
    {
        for (;;) {
            const int c = Chance(80) ? Pick(1001) : Pick(16384);
            const bool minus = Chance(40);
            const int word = ((minus ? -2 : 2) * c) & 0xFFFF;
            const int high = word >> 8;
            if (high == 0x40 || high == 0x41 || high == 0x80 || high == 0x81)
                continue;
            return (minus ? QStringLiteral("-") : QStringLiteral("+")) + QString::number(c);
        }
    }
    QString Term()
    {
        if (Chance(50))
            return Constant();
        return (Chance(50) ? QStringLiteral("+") : QStringLiteral("-")) + Analog();
    }
    QString Terms(int most)
    {
        QStringList t;
        const int n = 1 + Pick(most);
        for (int i = 0; i < n; ++i)
            t.append(Term());
        return t.join(Chance(50) ? QStringLiteral(" ") : QString());
    }
    QString Time(bool pointed)
    {
        auto field = [this]() { return QString::number(Pick(100)).rightJustified(2, u'0'); };
        return (pointed ? QStringLiteral(".") : QString()) + field() + u'.' + field() + u'.' +
               field();
    }
    QString TimerOperand(int timer)
    {
        if (Chance(30))
            return TM();
        return Time(timer > 31);
    }

    QStringList Statement()
    {
        switch (Pick(7)) {
        case 0:
            Role = UseWritten;
            return {OnOff() + u' ' + Discrete()};
        case 1:
            Role = UseRead;
            return {Note(QStringLiteral("АВ") + Oct(Pick(128), 3), UseWritten) +
                    QStringLiteral(" = ") + Terms(5)};
        case 2: {
            Role = UseRead;
            const int t = Pick(64);
            return {Note(QStringLiteral("ТМ") + OctalText(t, 2), UseWritten) +
                    QStringLiteral(" = ") + TimerOperand(t)};
        }
        case 3:
            return {QStringLiteral("ВСК")};
        case 4:
            return Text();
        default:
            return Call();
        }
    }

    QString TextBody()
    {
        static const QString plain = QStringLiteral(
            "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЫЬЭЮЯЪЁ0123456789 -+=:,()<>%ABCXYZ!?[]@'*$\"абвz;");
        QString s;
        int bytes = 0;
        const int parts = 1 + Pick(4);
        for (int k = 0; k < parts && bytes < 40; ++k) {
            if (Chance(40)) {
                QStringList items;
                const int n = 1 + Pick(3);
                for (int i = 0; i < n; ++i) {
                    if (Chance(25)) {
                        items.append(u'/' + OctalText(Pick(256), 3));
                        bytes += 2;
                    } else {
                        items.append(FieldVariable());
                        bytes += 3;
                    }
                }
                s += u'#' + items.join(u'.') +
                     (Chance(30) ? QStringLiteral(".#") : QStringLiteral("#"));
                bytes += 2;
            } else {
                const int n = 1 + Pick(8);
                for (int i = 0; i < n; ++i)
                    s += plain[Pick(int(plain.size()))];
                bytes += n;
            }
        }
        return s;
    }
    QString FieldVariable()
    {
        switch (Pick(8)) {
        case 0:
            return DV();
        case 1:
            return VD();
        case 2:
            return KB();
        case 3:
            return KS();
        case 4:
            return TM();
        case 5:
            return QStringLiteral("ИВ") + OctalText(Pick(32), 2);
        default:
            return Analog();
        }
    }
    QStringList Text()
    {
        const QString word = QStringLiteral("ТС%1.%2.%3").arg(Pick(2)).arg(Pick(2)).arg(Pick(2));
        Noting = false; // the fields of a text are no uses
        const QString body = TextBody();
        Noting = true;
        if (Chance(40))
            return {word, u'\'' + body + u'\''};
        return {word + QStringLiteral(" '") + body + u'\''};
    }

    QString ParamValue(int kind)
    {
        switch (kind) {
        case 1:
            return OnOff();
        case 2:
            return Chance(30) ? OnOff() : Discrete(256);
        case 3:
            return Discrete(256);
        case 4:
            switch (Pick(4)) {
            case 0:
                return DV();
            case 1:
                return KS();
            case 2:
                return TM();
            default:
                return KB();
            }
        case 5:
            return Term();
        case 6:
            return Note(QStringLiteral("АВ") + Oct(Pick(128), 3));
        case 7:
            return TM();
        case 8:
            return QString::number(Pick(200));
        case 9:
            return QString::number(Pick(256));
        case 10: {
            const int s = Chance(5) ? 0 : 1 + Pick(72 * 3600 + 14 * 60 + 56);
            return QStringLiteral("%1.%2.%3")
                .arg(s / 3600, 2, 10, QChar(u'0'))
                .arg(s / 60 % 60, 2, 10, QChar(u'0'))
                .arg(s % 60, 2, 10, QChar(u'0'));
        }
        case 11:
            return Real(101);
        default:
            return Real(2);
        }
    }
    QString Real(int wholeBelow)
    {
        const int digits = 1 + Pick(3);
        QString fraction;
        for (int i = 0; i < digits; ++i)
            fraction += QChar(u'0' + Pick(10));
        const QString whole = QString::number(Pick(wholeBelow));
        if (whole == u"0" && Chance(30))
            return u'.' + fraction;
        return whole + (Chance(20) ? u',' : u'.') + fraction;
    }
    QStringList Call()
    {
        if (Algorithms.empty())
            return {QStringLiteral("ВСК")};
        const int n = OneOf(Algorithms);
        const TAlgInfo &alg = *Base.Find(n);
        QStringList lines = {QStringLiteral("АЛГ") + OctalText(n, 3)};
        const bool inline_ = Chance(25);
        Role = UsePassed;
        CallAlgorithm = n;
        for (int p = 1; p <= alg.ParamCount; ++p) {
            CallParam = p;
            const QString value = ParamValue(alg.Params[p].Kind);
            if (inline_)
                lines[0] += QStringLiteral(" = ") + value;
            else
                lines.append(QStringLiteral("   ") + QString::number(p) + QStringLiteral("  ") +
                             alg.Params[p].Name + u'=' + value);
        }
        return lines;
    }

    QString Primary()
    {
        switch (Pick(4)) {
        case 0:
            return OnOff() + u' ' + Discrete();
        case 1: {
            static const std::vector<QString> kinds = {"ДВ", "ВД", "КБ", "КС", "ТМ", "ВА", "АВ"};
            const QString k = OneOf(kinds);
            QString v;
            if (k == u"КБ")
                v = KB();
            else if (k == u"КС")
                v = KS();
            else if (k == u"ТМ")
                v = Note(QStringLiteral("ТМ") + OctalText(Pick(64), 2));
            else if (k == u"ВА" || k == u"АВ")
                v = Note(k + OctalText(Pick(128), 3));
            else
                v = Note(k + OctalText(Pick(512), 3));
            return QStringLiteral("Б ") + v;
        }
        case 2: {
            static const std::vector<QString> relations = {"=", "<", ">"};
            return Analog() + u' ' + OneOf(relations) + u' ' + Terms(15);
        }
        default: {
            const int t = Pick(64);
            return Note(QStringLiteral("ТМ") + OctalText(t, 2)) +
                   (Chance(50) ? QStringLiteral(" < ") : QStringLiteral(" > ")) + TimerOperand(t);
        }
        }
    }
    QString Condition(int depth)
    {
        QStringList parts;
        const int n = 1 + Pick(3);
        for (int i = 0; i < n; ++i) {
            if (i > 0 && Chance(50))
                parts.append(QStringLiteral("ИЛИ"));
            if (depth < 2 && Chance(20))
                parts.append(QStringLiteral("( ") + Condition(depth + 1) + QStringLiteral(" )"));
            else
                parts.append((Chance(80) ? QStringLiteral("ЕСЛИ ") : QStringLiteral("Е ")) +
                             Primary());
        }
        return parts.join(u' ');
    }
    QStringList Group()
    {
        Role = UseRead;
        QStringList lines = {Condition(0)};
        const int n = 1 + Pick(3);
        for (int i = 0; i < n; ++i) {
            // A ВД switch writes no code: after ТОГДА it would leave the condition without
            // its statement in the block, which no text can give back.
            const std::size_t noted = Uses ? Uses->size() : 0;
            QStringList s = Statement();
            while (s[0].contains(QStringLiteral("ВД")) && !s[0].contains(u'=')) {
                if (Uses)
                    Uses->resize(noted);
                s = Statement();
            }
            const QString word =
                i == 0 || Chance(50) ? QStringLiteral("ТОГДА ") : QStringLiteral("ИНАЧЕ ");
            s[0] = word + s[0];
            lines.append(s);
        }
        return lines;
    }
};
