#pragma once
// The controller's fault words as Russian text for the console screen. A fault word is
// the pair (code, detail) of a status reply in mode "Неисправность": code + 256 * detail.

#include <QString>

#include <cstdint>

// The text of one fault; empty for details that have no text.
QString SarvetelFaultText(std::uint16_t word);
