#include "prp/variableorder.h"

#include "core/textutils.h"
#include "prp/prpheader.h"

#include <iterator>

namespace {

const TVariableOrder kOrders[] = {
    {ClassKB, &TPRPHeader::OrderKB, 1, false}, {ClassVD, &TPRPHeader::OrderVD, 3, true},
    {ClassDV, &TPRPHeader::OrderDV, 0, true},  {ClassVA, &TPRPHeader::OrderVA, 4, true},
    {ClassAV, &TPRPHeader::OrderAV, 5, true},  {ClassTM, &TPRPHeader::OrderTM, 2, true},
};
static_assert(std::size(kOrders) == VariableOrderCount);

// The lowest highest index the text may order: one group of eight (КБ: the first one).
constexpr int kLowestLastByEights = 07;

// The width of the first index in an order's line: the widest index.
constexpr int kFirstIndexWidth = 3;

} // namespace

std::span<const TVariableOrder> VariableOrders()
{
    return kOrders;
}

const TVariableOrder *FindVariableOrder(int classCode)
{
    for (const TVariableOrder &o : kOrders)
        if (o.Class == classCode)
            return &o;
    return nullptr;
}

QString OrderWord(const TVariableOrder &order)
{
    return ClassWord(order.Class);
}

int OrderDigits(const TVariableOrder &order)
{
    return FindVariableClass(order.Class)->Digits[static_cast<int>(TIndexUse::List)];
}

int OrderHighestLast(const TVariableOrder &order)
{
    return FindVariableClass(order.Class)->Count - 1;
}

int OrderLowestLast(const TVariableOrder &order)
{
    return order.ByEights ? kLowestLastByEights : 0;
}

int OrderMaxByte(const TVariableOrder &order)
{
    return OrderByteOfLast(order, OrderHighestLast(order));
}

std::uint8_t OrderByteOfLast(const TVariableOrder &order, int last)
{
    return static_cast<std::uint8_t>(order.ByEights ? last / 8 : last);
}

int OrderLast(const TVariableOrder &order, int orderByte)
{
    return order.ByEights ? 8 * orderByte + 7 : orderByte;
}

int OrderLast(const TVariableOrder &order, const TPRPHeader &header)
{
    return OrderLast(order, header.*order.Field);
}

QString OrderLineStart(const TVariableOrder &order)
{
    return OrderWord(order) + u' ' +
           OctalText(0, OrderDigits(order)).rightJustified(kFirstIndexWidth, u' ') +
           QStringLiteral(" - ");
}
