#pragma once
// The algorithm base refreshed from the controller: every algorithm number 1..127 is asked
// for its description, and each description becomes an entry that the code generator can
// use. The base itself lives in the compiler layer; filling it from a controller is the
// link's business, so the compiler never depends on the link.

#include "core/progress.h"
#include "link/sarvetel.h"

#include <QList>

class TAlgBase;
struct TAlgInfo;

struct TAlgBaseReadResult
{
    bool Ok = false;     // every description arrived; the base was refreshed
    int NoAnswer = -1;   // the algorithm whose description never arrived
    int Described = 0;   // algorithms the controller reported present
    QList<int> Unusable; // reported present, but larger than a base entry can hold
    TLinkResult Failure; // what the read of NoAnswer's description met
};

// Descriptions asked for each algorithm before the controller counts as not answering.
constexpr int AlgDescriptionAttempts = 4;

// One description as the entry of algorithm n: name "Алг" + three octal digits, own memory
// from the controller's own-memory byte, PrpMemory so that a compiled call is exactly as
// long as the description's record size, parameter kinds and names (padding blanks
// dropped, as the base file reader drops them), comments empty. False, with the entry left
// reset, when the description does not fit an entry (more than 19 parameters, or a call
// longer than 258 bytes).
[[nodiscard]] bool AlgInfoFromDescription(const TAlgDescription &description, int n,
                                          TAlgInfo &info);

// Asks for algorithms 1..127 and, when every description arrived, resets entries 1..127
// and fills the present ones; entry 0 is left untouched and Count becomes the number of
// present entries. When the controller stops answering, the base stays exactly as it was.
TAlgBaseReadResult ReadFromController(TAlgBase &base, TSarvetel &link,
                                      TProgress &progress = NoProgress());
