#include "compiler/algparamkind.h"

namespace {

const TAlgParamKindInfo kKinds[AlgParamKindCount + 1] = {
    {0, 0, 12, nullptr},
    {2, 2, 0, u"Дискретный вход: ВКЛ, ОТКЛ"},
    {2, 2, 1, u"Дискретный вход: ВКЛ, ОТКЛ, ВД, ДВ, КБ, КС, ТМ"},
    {2, 2, 2, u"Дискретный вход: ВД, ДВ, КБ, КС, ТМ"},
    {6, 6, 3, u"Дискретный выход: ДВ, КБ, КС, ТМ"},
    {2, 2, 6, u"Аналоговый вход: +ВА, -ВА, +АВ, -АВ, константа от -1000 до +1000"},
    {2, 2, 5, u"Аналоговый выход: АВ"},
    {2, 2, 4, u"Задание времени: ТМ"},
    {1, 1, 7, u"Константа от 1 до 128"},
    {1, 1, 8, u"Константа от 0 до 7"},
    {2, 2, 9, u"Постоянная времен от 00.00.01 до 72.14.56"},
    {2, 2, 10, u"Коэффициент пропорциональности от 0.0 до 100.0"},
    // The controller's record counts two bytes for a scale, the call holds one.
    {1, 2, 11, u"Масштабный коэффициент от 0.00 до 1.99"},
};

} // namespace

const TAlgParamKindInfo &AlgParamKindInfo(int kind)
{
    return kKinds[kind >= 0 && kind <= AlgParamKindCount ? kind : KindNone];
}

QString AlgParamKindText(int kind)
{
    const char16_t *text = AlgParamKindInfo(kind).Text;
    return text ? QString::fromUtf16(text) : QString();
}

std::uint8_t AlgParamKindOfWireType(int wireType)
{
    for (int kind = 1; kind <= AlgParamKindCount; ++kind)
        if (kKinds[kind].WireType == wireType)
            return static_cast<std::uint8_t>(kind);
    return KindNone;
}
