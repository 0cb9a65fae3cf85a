#include "cli/imagedump.h"

#include "core/textutils.h"
#include "model/zentorprogram.h"
#include "prp/headerentries.h"
#include "prp/imagecheck.h"
#include "prp/prpheader.h"
#include "prp/prplayout.h"
#include "prp/variableclass.h"
#include "prp/variableorder.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Texts of the image description.
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
    TImageDump Run(int loadErrors);

private:
    void Line(const QString &text) { Out.Lines.append(text); }
    void HeaderFields(const TPRPHeader &h);
    void Blocks(const TImageCheck &c);
    void Checksums(const TImageCheck &c);

    const std::uint8_t *Image;
    int Length;
    TImageDump Out;
};

QString Verdict(int problems, int loadErrors)
{
    if (problems > 0)
        return QStringLiteral("Образ повреждён, ошибок: %1").arg(problems);
    if (loadErrors > 0)
        return QStringLiteral("Ошибок в образе нет, но при чтении найдено ошибок: %1")
            .arg(loadErrors);
    return QStringLiteral("Образ исправен");
}

TImageDump TDumper::Run(int loadErrors)
{
    const TImageCheck check = CheckPrpImage(Image, Length);
    Out.Problems = static_cast<int>(check.Problems.size());
    Line(QStringLiteral("Образ ПрП: %1 байт").arg(Length));
    const int headerLength = check.HeaderLength;
    if (headerLength > 0) {
        const int records = (headerLength - TPRPHeader::FixedLength) / TPRPHeader::KeyRecordLength;
        Line(QStringLiteral("Заголовок: %1 байт, записей технологических клавиш: %2")
                 .arg(headerLength)
                 .arg(std::max(records, 0)));
    }
    if (headerLength >= TPRPHeader::FixedLength && Length >= TPRPHeader::FixedLength) {
        auto header = std::make_unique<TPRPHeader>();
        header->BytesLength = std::min({headerLength, Length, int(TPRPHeader::BufferSize)});
        std::copy(Image, Image + header->BytesLength, header->Bytes);
        // What is wrong with the key records the check names.
        static_cast<void>(header->DecodeHeader());
        HeaderFields(*header);
        QStringList words;
        for (int g = 0; g < 8; ++g)
            words.append(QString::number(ImageWord(Image, PrpLayout::GroupWord(g))));
        Line(QStringLiteral("Слова групп 0–7: ") + words.join(u' '));
        Blocks(check);
        Checksums(check);
    }
    Out.Lines.append(check.Problems);
    Line(Verdict(Out.Problems, loadErrors));
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

void TDumper::Blocks(const TImageCheck &c)
{
    if (c.HeaderLength > Length)
        return;
    Line(QStringLiteral("Блоки секций:"));
    for (const TImageBlock &b : c.Blocks)
        Line(QStringLiteral("  секция %1: смещение %2, длина %3 байт, контрольная сумма %4")
                 .arg(SectionNumberText(b.Section))
                 .arg(b.Offset)
                 .arg(b.Length)
                 .arg(b.SumHolds ? kHolds : kBroken));
    if (c.BlocksWalked && c.End < Length)
        Line(QStringLiteral("После блоков ещё %1 байт, не входящих в образ").arg(Length - c.End));
}

void TDumper::Checksums(const TImageCheck &c)
{
    auto state = [](TSumState s) {
        switch (s) {
        case TSumState::Holds:
            return kHolds;
        case TSumState::Broken:
            return kBroken;
        case TSumState::NotChecked:
            break;
        }
        return kNotChecked;
    };
    Line(QStringLiteral("Контрольная сумма образа: ") + state(c.ImageSum));
    Line(QStringLiteral("Контрольная сумма заголовка: ") + state(c.HeaderSum));
}

} // namespace

TImageDump DescribeImage(const std::uint8_t *image, int length, int loadErrors)
{
    return TDumper(image, std::max(length, 0)).Run(loadErrors);
}
