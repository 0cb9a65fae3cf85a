#pragma once
// The parts of the header that the program sends to the controller, entry by entry: the
// variable orders, the ADC inputs, the impulse outputs, the timer-generators and the
// technological keys. Each entry carries its text in the header language and the values
// the controller keeps for it, so two headers (the program's and the one a controller
// holds) can be set side by side entry by entry. The header decompiler writes its lines
// with the same texts.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class TPRPHeader;
struct TTechKey;

enum class THeaderPart {
    Orders,
    AdcInputs,
    ImpulseOutputs,
    TimerGenerators,
    TechKeys,
};
constexpr int HeaderPartCount = 5;

struct THeaderEntry
{
    QString Name; // what the entry is: "ДВ", "модуль 1", "ИВ05", "ТМГ 3", "клавиатура 2, клавиша 3"
    QString Text; // the entry as the header text writes it: "ДВ 000 - 077", "ИВ05 -АВ012 0,2"
    QByteArray Value;  // what the controller keeps for it; equal values are the same entry
    bool InUse = true; // an impulse output, timer-generator or key that is set at all
};

// Every entry of the part in its order: 6 orders, 8 ADC modules, 32 impulse outputs, 8
// timer-generators, 64 keys. An impulse output that is not in use keeps no tick (its tick
// bits mean nothing to the controller); a key's name is taken as the controller shows it,
// through its character code.
std::vector<THeaderEntry> HeaderEntries(const TPRPHeader &header, THeaderPart part);

// Texts the header decompiler shares.
// One interval word of a timer-generator: "ВА012", "АВ003" or a constant.
QString HeaderIntervalText(std::uint8_t low, std::uint8_t high);
// The interval word a word of the header text's timer-generator part stands for: "ВА" or
// "АВ" and an octal index up to 177 (one to three digits), a decimal constant c up to 32767
// (stored as 2c, but none whose high byte would read as "ВА" or "АВ"), or "-" for 0. False
// for anything else, the words left as they were.
[[nodiscard]] bool HeaderIntervalFromText(const QString &word, std::uint8_t &low,
                                          std::uint8_t &high);
// True when HeaderIntervalText of the word reads back to the same word: a timer-generator
// with such words comes through the header text unchanged.
bool HeaderIntervalWritable(std::uint8_t low, std::uint8_t high);
// The variable of a technological key by its class code: "ДВ012", "КС101"; "" for none.
QString HeaderKeyVariableText(const TTechKey &key);
