#include "gui/portsnapshot.h"

#include "gui/programform.h"
#include "gui/programparts.h"

TPortSnapshot TPortSnapshot::Take(const TProgramForm &form)
{
    TPortSnapshot s;
    const TCOMPort &port = *form.Link->Port;
    s.Entry = form.OpenPortEntry();
    s.InUse = form.PortInUse;
    s.BaudRate = port.BaudRate;
    s.StopBits = port.StopBits;
    s.Parity = port.Parity;
    s.ByteSize = port.ByteSize;
    s.Timeouts = port.Timeouts;
    s.Multi = form.Link->Sarvetel && form.Link->Sarvetel->MultiChannel;
    return s;
}

void TPortSnapshot::Restore(TProgramForm &form) const
{
    TCOMPort &port = *form.Link->Port;
    const TPortSnapshot &s = *this;
    const bool reopen = form.OpenPortEntry() != s.Entry;
    port.BaudRate = s.BaudRate;
    port.StopBits = s.StopBits;
    port.Parity = s.Parity;
    port.ByteSize = s.ByteSize;
    port.Timeouts = s.Timeouts;
    if (reopen) {
        port.Close();
        if (!s.Entry.isEmpty() && OpenEntry(form, s.Entry) != 0)
            port.Close();
    }
    // The settings that were in use before; a device that refuses them now keeps its own,
    // as it would have at the start.
    if (port.IsOpen())
        static_cast<void>(port.ApplySettings());
    if (form.Link->Sarvetel)
        form.Link->Sarvetel->MultiChannel = s.Multi ? 1 : 0;
}

int TPortSnapshot::OpenEntry(TProgramForm &form, const QString &name)
{
    TCOMPort &port = *form.Link->Port;
    const QString device = form.DeviceForEntry(name);
    if (device.isEmpty()) {
        port.Close();
        return PortErrorNotFound;
    }
    return port.OpenDevice(device);
}
