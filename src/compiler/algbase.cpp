#include "compiler/algbase.h"

#include "core/textfile.h"
#include "core/textutils.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

const QString kAlgorithmWord = QStringLiteral("АЛГОРИТМ");
const QString kMemoryWord = QStringLiteral("ПАМЯТЬ");
const QString kAlgorithmLineBegin = QStringLiteral("/ Алгоритм ");
const QString kMemoryLineBegin = QStringLiteral("память ");
const QString kNameSeparator = QStringLiteral(" ! ");

constexpr int kParamNameWidth = 5;
constexpr int kParamLineNameEnd = 15;

bool IsBlank(const QString &s, int i)
{
    return i < s.size() && s[i] == u' ';
}

void SkipBlanks(const QString &s, int &i)
{
    while (IsBlank(s, i))
        ++i;
}

// Decimal number in text (digits only); false for anything else or a value above limit.
bool DecimalValue(const QString &text, int limit, int &value)
{
    if (!IsDecimalText(text) || text.size() > 9)
        return false;
    value = text.toInt();
    return value <= limit;
}

// The text after the first "!" of the line; "" (and false) when there is none.
bool TextAfterMark(const QString &line, QString &text)
{
    const qsizetype mark = line.indexOf(u'!');
    if (mark < 0)
        return false;
    text = line.mid(mark + 1);
    return true;
}

// One or two decimal digits at i (two when the character after the first is no blank);
// i moves two characters on from the first digit.
bool ReadSmallNumber(const QString &line, int &i, int &value)
{
    if (i >= line.size())
        return false;
    const int width = (i + 1 < line.size() && line[i + 1] != u' ') ? 2 : 1;
    const bool ok = DecimalValue(line.mid(i, width), 99, value);
    i += 2;
    return ok;
}

// The number from i up to the next blank (or the end of the line).
QString WordAt(const QString &line, int i)
{
    qsizetype end = line.indexOf(u' ', i);
    if (end < 0)
        end = line.size();
    return line.mid(i, end - i);
}

} // namespace

QString AlgBaseSaveFileName(const QString &chosen)
{
    const qsizetype dot = chosen.lastIndexOf(u'.');
    if (dot >= 0 && chosen.mid(dot + 1, 3).toUpper() == QStringLiteral("ALG"))
        return chosen;
    return chosen + QStringLiteral(".alg");
}

void TAlgBase::Clear()
{
    for (TAlgInfo &a : Algs)
        a = TAlgInfo();
    Count = 0;
    SkippedLines = 0;
}

int AlgRecordCallLength(const TAlgInfo &a)
{
    int length = 3 + (a.OwnMemory != 0 ? 2 : 0);
    for (int i = 1; i <= a.ParamCount && i <= TAlgInfo::MaxParams; ++i)
        length += AlgParamKindInfo(a.Params[i].Kind).RecordBytes;
    return length;
}

const TAlgInfo *TAlgBase::Find(int n) const
{
    if (n < 0 || n >= AlgCount || !Algs[n].Present)
        return nullptr;
    return &Algs[n];
}

bool TAlgBase::LoadFromFile(const QString &fileName, QString *error)
{
    if (!QFileInfo::exists(fileName))
        return true;
    QStringList lines;
    QString readError;
    if (!ReadTextFile(fileName, lines, readError)) {
        if (error)
            *error = readError;
        return false;
    }
    LoadFromLines(lines);
    return true;
}

void TAlgBase::LoadFromLines(const QStringList &lines)
{
    // -1: before the first algorithm line; -2: inside an algorithm that was skipped.
    int current = -1;
    for (const QString &line : lines) {
        if (TrimSpaces(line).isEmpty())
            continue;
        const QString upper = line.toUpper();
        if (line.startsWith(u'/')) {
            if (upper.contains(kAlgorithmWord))
                current = ReadAlgorithmLine(line, upper);
            continue;
        }
        if (current == -1)
            continue;
        const bool stored = current != -2 && (upper.left(kMemoryWord.size()) == kMemoryWord
                                                  ? ReadMemoryLine(Algs[current], line)
                                                  : ReadParamLine(Algs[current], line));
        if (!stored)
            ++SkippedLines;
    }
}

int TAlgBase::ReadAlgorithmLine(const QString &line, const QString &upper)
{
    int p = static_cast<int>(upper.indexOf(kAlgorithmWord) + kAlgorithmWord.size());
    SkipBlanks(line, p);
    const QString number = line.mid(p, 3);
    const int n = ParseOctal(number);
    if (!IsOctalText(number) || n >= AlgCount) {
        ++SkippedLines;
        return -2;
    }
    TAlgInfo &a = Algs[n];
    a.Present = 1;
    a.ParamCount = 0;
    QString name;
    if (TextAfterMark(line, name))
        a.Name = name;
    ++Count;
    return n;
}

bool TAlgBase::ReadMemoryLine(TAlgInfo &a, const QString &line)
{
    int p = static_cast<int>(kMemoryWord.size());
    SkipBlanks(line, p);
    const QString own = WordAt(line, p);
    // The second number starts two characters after the first one's start, or after the
    // first one if that is longer (the writer puts one blank between).
    p = std::max(p + 2, p + static_cast<int>(own.size()));
    SkipBlanks(line, p);
    int ownValue = 0;
    int length = 0;
    if (!DecimalValue(own, 255, ownValue) || !DecimalValue(WordAt(line, p), 258, length) ||
        length < 3)
        return false;
    a.OwnMemory = static_cast<std::uint8_t>(ownValue);
    a.PrpMemory = static_cast<std::uint8_t>(length - 3);
    return true;
}

bool TAlgBase::ReadParamLine(TAlgInfo &a, const QString &line)
{
    int p = 0;
    SkipBlanks(line, p);
    int number = 0;
    int kind = 0;
    if (!ReadSmallNumber(line, p, number))
        return false;
    SkipBlanks(line, p);
    if (!ReadSmallNumber(line, p, kind) || number > TAlgInfo::MaxParams ||
        a.ParamCount >= TAlgInfo::MaxParams)
        return false;
    SkipBlanks(line, p);
    TAlgParam &param = a.Params[number];
    param.Kind = static_cast<std::uint8_t>(kind);
    param.Name = TrimSpaces(line.mid(p, kParamNameWidth));
    QString comment;
    if (TextAfterMark(line, comment))
        param.Comment = comment;
    ++a.ParamCount;
    return true;
}

QStringList TAlgBase::ToLines() const
{
    QStringList lines;
    for (int n = 0; n < AlgCount; ++n) {
        const TAlgInfo &a = Algs[n];
        if (!a.Present)
            continue;
        lines.append(kAlgorithmLineBegin + OctalText(n, 3) + kNameSeparator + a.Name);
        lines.append(kMemoryLineBegin + QString::number(a.OwnMemory) + u' ' +
                     QString::number(a.PrpMemory + 3));
        const int count = std::min<int>(a.ParamCount, TAlgInfo::MaxParams);
        for (int i = 1; i <= count; ++i) {
            const TAlgParam &param = a.Params[i];
            QString s = QString::number(i) + QStringLiteral("  ");
            if (i < 10)
                s += u' ';
            s += QString::number(param.Kind) + u' ';
            if (param.Kind < 10)
                s += u' ';
            s += param.Name;
            while (s.size() < kParamLineNameEnd)
                s += u' ';
            lines.append(s + kNameSeparator + param.Comment);
        }
    }
    return lines;
}

bool TAlgBase::SaveToFile(const QString &fileName, QString *error) const
{
    QString writeError;
    if (!WriteTextFile(fileName, ToLines(), writeError)) {
        if (error)
            *error = writeError;
        return false;
    }
    return true;
}
