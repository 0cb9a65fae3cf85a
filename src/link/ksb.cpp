#include "link/ksb.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ZENTOR_HAS_PORT_IO 1
#endif

TDirectPortIO::TDirectPortIO()
{
#ifdef ZENTOR_HAS_PORT_IO
    Granted = ::ioperm(TKSB::ControlAddress, 4, 1) == 0;
#endif
}

std::uint8_t TDirectPortIO::InByte(std::uint16_t address)
{
#ifdef ZENTOR_HAS_PORT_IO
    if (Granted)
        return ::inb(address);
#endif
    (void)address;
    return 0xFF;
}

std::uint16_t TDirectPortIO::InWord(std::uint16_t address)
{
#ifdef ZENTOR_HAS_PORT_IO
    if (Granted)
        return ::inw(address);
#endif
    (void)address;
    return 0xFFFF;
}

void TDirectPortIO::OutByte(std::uint16_t address, std::uint8_t value)
{
#ifdef ZENTOR_HAS_PORT_IO
    if (Granted)
        ::outb(value, address);
#endif
    (void)address;
    (void)value;
}

TKSB::TKSB(TPortIO *io) : IO(io)
{
    if (!IO)
        return;
    IO->OutByte(ControlAddress, 0x15);
    if (IO->InByte(ControlAddress) != 0x15)
        return;
    IO->OutByte(ControlAddress, 0x07);
    Present = IO->InByte(ControlAddress) == 0x07 ? 1 : 0;
}

int TKSB::Scan()
{
    if (!IO)
        return 0;
    StatusWord = IO->InWord(StatusAddress);
    for (int i = 0; i < ChannelCount; ++i)
        ChannelBusy[i] = (StatusWord >> i) & 1;
    return 1;
}

void TKSB::SelectChannel(int channel)
{
    if (!IO || channel < 0 || channel >= ChannelCount)
        return;
    IO->OutByte(ControlAddress, static_cast<std::uint8_t>(channel | 0x10));
    CurrentChannel = channel;
}

QStringList TKSB::FreeChannelNames() const
{
    QStringList names;
    for (int i = 0; i < ChannelCount; ++i)
        if (ChannelBusy[i] == 0)
            names << QStringLiteral("Канал %1").arg(i + 1);
    return names;
}
