#pragma once
// The six variable orders of the header, written down once: which class each orders, the
// header field and order byte that keep it, and how the byte counts (groups of eight
// variables, or for КБ the highest index itself). The header compiler and decompiler, the
// header bytes, the console's order page, the image description, the old text format and
// the cross-reference all take the orders from here.

#include "prp/variableclass.h"

#include <QString>

#include <cstdint>
#include <span>

class TPRPHeader;

struct TVariableOrder
{
    TVariableClassCode Class;
    std::uint8_t TPRPHeader::*Field;
    int BytePlace; // among the six order bytes (header bytes 2..7, link header part bytes 2..7)
    bool ByEights; // the byte counts groups of eight variables (every class but КБ)
};

// In the order the header text lists them: КБ, ВД, ДВ, ВА, АВ, ТМ.
std::span<const TVariableOrder> VariableOrders();
constexpr int VariableOrderCount = 6;
// The order of a class (its first code); nullptr for a class without one.
const TVariableOrder *FindVariableOrder(int classCode);

// The class word ("ВД").
QString OrderWord(const TVariableOrder &order);
// Octal digits of an index in the order's text (КБ 1, ТМ 2, the others 3).
int OrderDigits(const TVariableOrder &order);
// The highest index the header text may order (octal 777 for ВД) and the lowest (7; КБ 0).
int OrderHighestLast(const TVariableOrder &order);
int OrderLowestLast(const TVariableOrder &order);
// The largest order byte: the highest index counted as the byte counts (ВД 63, КБ 7).
int OrderMaxByte(const TVariableOrder &order);
// The order byte for a highest index, and the highest index a byte orders (8v + 7; КБ v).
std::uint8_t OrderByteOfLast(const TVariableOrder &order, int last);
int OrderLast(const TVariableOrder &order, int orderByte);
// The highest index the header orders for the class.
int OrderLast(const TVariableOrder &order, const TPRPHeader &header);
// The start of the order's line in the header text, up to its highest index: "ВД 000 - ",
// "ТМ  00 - ", "КБ   0 - ".
QString OrderLineStart(const TVariableOrder &order);
