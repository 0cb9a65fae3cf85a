#pragma once
// The port and its settings as the port dialog found them, for its "Отмена".

#include "link/comport.h"

#include <QString>

#include <cstdint>

class TProgramForm;

struct TPortSnapshot
{
    QString Entry;
    bool InUse = false;
    std::uint32_t BaudRate = 0;
    std::uint8_t StopBits = 0, Parity = 0, ByteSize = 0;
    TCommTimeouts Timeouts;
    bool Multi = false;

    static TPortSnapshot Take(const TProgramForm &form);
    // The port as it was: reopened when another was chosen meanwhile.
    void Restore(TProgramForm &form) const;
    // Opens a port list entry ("COMn", a device path, the simulator's). 0 or errno.
    static int OpenEntry(TProgramForm &form, const QString &name);
};
