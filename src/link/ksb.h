#pragma once
// The КСБ card: an interface card in the PC that switches the serial line between up to
// 16 controller channels. It is reached by port I/O at 0x300 (channel select, detection)
// and 0x302 (status word of busy channels). The I/O itself goes through TPortIO, so the
// card logic runs the same over the real ports and over a card model in the tests.

#include <QStringList>

#include <cstdint>

class TPortIO
{
public:
    virtual ~TPortIO() = default;
    virtual std::uint8_t InByte(std::uint16_t address) = 0;
    virtual std::uint16_t InWord(std::uint16_t address) = 0;
    virtual void OutByte(std::uint16_t address, std::uint8_t value) = 0;
};

// Direct processor port I/O, available to a process that was granted the ports
// (ioperm; root or CAP_SYS_RAWIO). Access() is false where that was refused.
class TDirectPortIO : public TPortIO
{
public:
    TDirectPortIO();
    bool Access() const { return Granted; }
    std::uint8_t InByte(std::uint16_t address) override;
    std::uint16_t InWord(std::uint16_t address) override;
    void OutByte(std::uint16_t address, std::uint8_t value) override;

private:
    bool Granted = false;
};

class TKSB
{
public:
    static constexpr std::uint16_t ControlAddress = 0x300;
    static constexpr std::uint16_t StatusAddress = 0x302;
    static constexpr int ChannelCount = 16;

    // Without port access (io null) the card is absent and every call does nothing.
    explicit TKSB(TPortIO *io);

    std::uint16_t StatusWord = 0;
    int ChannelBusy[ChannelCount] = {};
    int CurrentChannel = -1;
    int Present = 0;

    // Reads the busy channels. 0 without port access.
    [[nodiscard]] int Scan();
    void SelectChannel(int channel);
    // "Канал " + (i + 1) for every channel whose busy flag is clear, as the port dialog
    // lists them after a Scan.
    QStringList FreeChannelNames() const;

private:
    TPortIO *IO;
};
