#include "link/sarvetelerrors.h"

#include "core/textutils.h"
#include "protocol/wire.h"

namespace {

QString Dec(int v)
{
    return QString::number(v);
}
QString Oct2(int v)
{
    return OctalText(v, 2);
}
QString Hex2(int v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

// One text per detail value; details not listed give "".
QString ByDetail(int d, std::initializer_list<std::pair<int, const char *>> texts)
{
    for (const auto &t : texts)
        if (t.first == d)
            return QString::fromUtf8(t.second);
    return QString();
}

} // namespace

QString SarvetelFaultText(std::uint16_t word)
{
    const int c = word & 0xFF;
    const int d = word >> 8;
    static const QString ker7 = QStringLiteral("Неисправен модуль КЕР7.");
    if (c <= 7)
        return QStringLiteral("Сбой секции ") + Dec(d) + QStringLiteral(" в блоке ") + Dec(c);
    switch (c) {
    case Sarvetel::ProgrammedFault.Code:
        if (d == Sarvetel::ProgrammedFault.Detail)
            return QStringLiteral("Программируемый отказ");
        return QStringLiteral("Программируемая ошибка ") + Dec(d);
    case 17:
        if (d == 1)
            return ker7 + QStringLiteral("Невозможен вывод информации на индикаторы модуля КЕР7");
        if (d == 2)
            return ker7 + QStringLiteral("Нет прерывания от таймера модуля КЕР7");
        return ker7;
    case 18:
        return ByDetail(d, {{0, "Сбой информации в системной памяти."},
                            {1, "Неисправность основного модуля дублированной системной памяти"},
                            {2, "Неисправность резервного модуля дублированной системной памяти"}});
    case 19:
        return ByDetail(d, {{0, "Нет ответа при обращении к модулю КЛЕ7"},
                            {1, "Нет ответа при обращении к модулю КВА6"},
                            {2, "Нет ответа при обращении к модулю КВА7"}});
    case 20:
        if (d == 12)
            return QStringLiteral("Постоянный сбой или отсутствие связи при дублировании");
        // The controller's own text, with its Latin letter at the end of the word.
        return QStringLiteral("Неисправность в резервном комплектe аппаратуры");
    case 22:
        if (d <= 7)
            return QStringLiteral("Сбой блока ПрП ") + Dec(d);
        return ByDetail(d, {{8, "Полный сбой ПрП"}, {16, "Не отвечает память ПрП"}});
    case 32:
        return QStringLiteral("Дрейф нуля в модуле ВХА7 (группа входов ") + Oct2(2 * d) +
               QStringLiteral(" и ") + Oct2(2 * d + 1) + QStringLiteral(") превышает 2%");
    case 33:
        return QStringLiteral("Не отвечает модуль ВХА7 (группа входов ") + Oct2(2 * d) +
               QStringLiteral(" и ") + Oct2(2 * d + 1) + QStringLiteral(")");
    case 34:
        return QStringLiteral("Не отвечает модуль ВХД7 (группа входов ") + Oct2(d) + ")";
    case 35:
        return QStringLiteral("Не отвечает модуль ВЫА7 (группа входов ") + Oct2(d) + ")";
    case 36:
        return QStringLiteral("Не отвечает модуль ВЫД7 (группа входов ") + Oct2(d) + ")";
    case 37:
        return QStringLiteral("Не отвечает модуль ВХИ7 (группа входов ") + Oct2(d) + ")";
    case 38:
        return QStringLiteral("Не отвечает модуль ВЫИ7 (группа входов ") + Oct2(d) + ")";
    case 48:
        return QStringLiteral("Нет связи по КЛ") + Dec(d + 6) + QStringLiteral(" С-сеть");
    case 49:
        return QStringLiteral("В С-сети попытка в Сарветеле-абоненте изменить/запросить "
                              "переменные вне заказанного диапазона");
    default:
        return QStringLiteral("Неизвестная ощибка ") + Hex2(c) + QStringLiteral(":") +
               OctalText(c, 3);
    }
}
