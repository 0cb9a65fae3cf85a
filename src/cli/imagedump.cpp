#include "cli/imagedump.h"

#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/headerentries.h"
#include "prp/prpheader.h"
#include "prp/prplayout.h"
#include "prp/variableclass.h"
#include "prp/variableorder.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Texts of the image description.
const QString kError = QStringLiteral("Ошибка: ");
const QString kHolds = QStringLiteral("верна");
const QString kBroken = QStringLiteral("неверна");
const QString kNotChecked = QStringLiteral("не проверена: образ неполон");

QString Octal3(int n)
{
    return OctalText(n, 3);
}

QString SourceText(std::uint8_t low, std::uint8_t high)
{
    if (high == HeaderWord::SourceUnused)
        return QString();
    if (const QString word = HeaderWord::AnalogClassWord(high); !word.isEmpty())
        return (HeaderWord::IsMinus(high) ? u'-' : u'+') + word + Octal3(low / 2);
    const int w = low | (high << 8);
    return QStringLiteral("константа ") + QString::number(w > 2000 ? -(65536 - w) / 2 : w / 2);
}

QString KeyVariableText(const TTechKey &k)
{
    if (k.Class > ClassIV)
        return QStringLiteral("класс %1, индекс %2").arg(k.Class).arg(k.Index);
    return ClassVariableText(k.Class, k.Index, TIndexUse::Dump);
}

class TDumper
{
public:
    TDumper(const std::uint8_t *image, int length) : Image(image), Length(length) {}
    TImageDump Run();

private:
    void Line(const QString &text) { Out.Lines.append(text); }
    void Problem(const QString &text)
    {
        Out.Lines.append(kError + text);
        ++Out.Problems;
    }
    void HeaderFields(const TPRPHeader &h);
    int Blocks(int headerLength, int end);
    void Checksums(int headerLength, int end);

    const std::uint8_t *Image;
    int Length;
    TImageDump Out;
};

TImageDump TDumper::Run()
{
    Line(QStringLiteral("Образ ПрП: %1 байт").arg(Length));
    if (Length < PrpLayout::LengthKnownFrom) {
        Problem(QStringLiteral("образ короче заголовка (%1 байт)").arg(Length));
        return Out;
    }
    const int headerLength = HeaderLengthOf(Image);
    const int records = (headerLength - TPRPHeader::FixedLength) / TPRPHeader::KeyRecordLength;
    Line(QStringLiteral("Заголовок: %1 байт, записей технологических клавиш: %2")
             .arg(headerLength)
             .arg(std::max(records, 0)));
    if (headerLength > Length)
        Problem(
            QStringLiteral("заголовок длиной %1 байт выходит за пределы образа").arg(headerLength));
    if (Length < TPRPHeader::FixedLength || headerLength < TPRPHeader::FixedLength) {
        if (headerLength < TPRPHeader::FixedLength)
            Problem(QStringLiteral("заголовок короче %1 байт").arg(TPRPHeader::FixedLength));
        return Out;
    }

    auto header = std::make_unique<TPRPHeader>();
    header->BytesLength = std::min({headerLength, Length, int(TPRPHeader::BufferSize)});
    std::copy(Image, Image + header->BytesLength, header->Bytes);
    QStringList decodeProblems;
    header->DecodeHeader(&decodeProblems);
    HeaderFields(*header);
    for (const QString &p : decodeProblems)
        Problem(p);

    QStringList words;
    int end = headerLength;
    for (int g = 0; g < 8; ++g) {
        const int w = ImageWord(Image, PrpLayout::GroupWord(g));
        words.append(QString::number(w));
        end += w;
    }
    Line(QStringLiteral("Слова групп 0–7: ") + words.join(u' '));
    if (headerLength <= Length)
        Blocks(headerLength, end);
    Checksums(headerLength, end);
    Line(Out.Problems == 0 ? QStringLiteral("Образ исправен")
                           : QStringLiteral("Образ повреждён, ошибок: %1").arg(Out.Problems));
    return Out;
}

void TDumper::HeaderFields(const TPRPHeader &h)
{
    // In the order of the header bytes: each byte and the highest index it orders.
    QStringList orders(VariableOrderCount);
    for (const TVariableOrder &o : VariableOrders()) {
        const int v = h.*o.Field;
        const QString last = o.ByEights ? Octal3(OrderLast(o, v)) : QString::number(v);
        orders[o.BytePlace] = QStringLiteral("%1 %2 (до %1%3)").arg(OrderWord(o)).arg(v).arg(last);
    }
    Line(QStringLiteral("Порядки: ") + orders.join(QStringLiteral(", ")));
    QStringList adc;
    for (std::uint8_t v : h.AdcOrder)
        adc.append(QString::number(v));
    Line(QStringLiteral("Порядок АЦП (модули 0–7): ") + adc.join(u' '));

    QStringList outputs;
    for (int k = 0; k < 32; ++k) {
        const QString source = SourceText(h.ImpSource[k][0], h.ImpSource[k][1]);
        if (source.isEmpty())
            continue;
        outputs.append(QStringLiteral("  ИВ%1: %2, такт %3")
                           .arg(OctalText(k, 2), source, h.ImpulseTickText(k)));
    }
    Line(outputs.isEmpty() ? QStringLiteral("Импульсные выходы: не используются")
                           : QStringLiteral("Импульсные выходы:"));
    Out.Lines.append(outputs);

    QStringList generators;
    for (int k = 0; k < 8; ++k) {
        const std::uint8_t *t = h.TimeGen[k];
        if (!(t[0] | t[1] | t[2] | t[3]))
            continue;
        generators.append(QStringLiteral("  ТГ%1: включение %2, отключение %3")
                              .arg(k)
                              .arg(HeaderIntervalText(t[0], t[1]), HeaderIntervalText(t[2], t[3])));
    }
    Line(generators.isEmpty() ? QStringLiteral("Таймеры-генераторы: не используются")
                              : QStringLiteral("Таймеры-генераторы:"));
    Out.Lines.append(generators);

    QStringList keys;
    for (int n = 0; n < TPRPHeader::KeyCount; ++n) {
        const TTechKey &k = h.TechKeys[n];
        if (k.Class == 0)
            continue;
        keys.append(QStringLiteral("  клавиша %1 (пульт %2, кнопка %3): %4, имя «%5»")
                        .arg(n)
                        .arg(n / 16 + 1)
                        .arg(n % 16 + 1)
                        .arg(KeyVariableText(k), k.Name));
    }
    Line(keys.isEmpty() ? QStringLiteral("Технологические клавиши: нет")
                        : QStringLiteral("Технологические клавиши:"));
    Out.Lines.append(keys);
}

int TDumper::Blocks(int headerLength, int end)
{
    Line(QStringLiteral("Блоки секций:"));
    int groupSums[8] = {};
    int p = headerLength;
    bool complete = true;
    while (p < end) {
        if (p >= Length) {
            Problem(QStringLiteral("блок по смещению %1 выходит за пределы образа").arg(p));
            complete = false;
            break;
        }
        const int n = Image[p] + 1;
        if (p + n > Length) {
            Problem(QStringLiteral("блок по смещению %1 длиной %2 байт выходит за пределы образа")
                        .arg(p)
                        .arg(n));
            complete = false;
            break;
        }
        if (n < 6) {
            Problem(QStringLiteral("блок по смещению %1 короче 6 байт").arg(p));
        } else {
            const int s = Image[p + 2];
            const bool holds = BlockChecksumHolds(Image + p, n);
            Line(QStringLiteral("  секция %1: смещение %2, длина %3 байт, контрольная сумма %4")
                     .arg(SectionNumberText(s))
                     .arg(p)
                     .arg(n)
                     .arg(holds ? kHolds : kBroken));
            if (!holds)
                ++Out.Problems;
            groupSums[s / 32] += n;
        }
        p += n;
    }
    if (complete) {
        for (int g = 0; g < 8; ++g) {
            const int w = ImageWord(Image, PrpLayout::GroupWord(g));
            if (w != groupSums[g])
                Problem(QStringLiteral("слово группы %1 равно %2, а блоки группы занимают %3 байт")
                            .arg(g)
                            .arg(w)
                            .arg(groupSums[g]));
        }
        if (p < Length)
            Line(QStringLiteral("После блоков ещё %1 байт, не входящих в образ").arg(Length - p));
    }
    return p;
}

void TDumper::Checksums(int headerLength, int end)
{
    const QString imageTitle = QStringLiteral("Контрольная сумма образа: ");
    const QString headerTitle = QStringLiteral("Контрольная сумма заголовка: ");
    auto report = [this](const QString &title, bool holds) {
        Line(title + (holds ? kHolds : kBroken));
        if (!holds)
            ++Out.Problems;
    };
    if (end <= Length) {
        report(imageTitle, ImageSumHolds(Image, end));
    } else {
        Line(imageTitle + kNotChecked);
    }
    if (headerLength <= Length)
        report(headerTitle, HeaderSumHolds(Image, headerLength));
    else
        Line(headerTitle + kNotChecked);
}

} // namespace

TImageDump DescribeImage(const std::uint8_t *image, int length)
{
    return TDumper(image, std::max(length, 0)).Run();
}
