// Temporary: only what the header text routines need to be built and tested
// (construction and the defaults of Reset). Replaced by the real header object.
#include "prp/prpheader.h"

#include <cstring>

TPRPHeader::TPRPHeader()
{
    std::memset(Bytes, 0, sizeof Bytes);
    Reset();
}

void TPRPHeader::Reset()
{
    Valid = 0;
    OrderDV = 1;
    OrderKB = 0;
    OrderTM = 1;
    OrderVD = 1;
    OrderVA = 1;
    OrderAV = 1;
    for (auto &s : ImpSource) {
        s[0] = 0;
        s[1] = 0x20;
    }
    std::memset(ImpTicks, 0, sizeof ImpTicks);
    std::memset(AdcOrder, 0, sizeof AdcOrder);
    std::memset(TimeGen, 0, sizeof TimeGen);
    std::memset(Reserved, 0, sizeof Reserved);
    for (TTechKey &k : TechKeys)
        k = TTechKey();
    Text.clear();
}
