#pragma once
// The port settings block handed to KRYL_Open, checked and given names.

#include <optional>

namespace qavix::link {

// Positions in the block of six integers.
enum PortBlockIndex : int {
    kBlockBaud = 0,
    kBlockByteSize = 1,
    kBlockParity = 2,
    kBlockStopBits = 3,
    kBlockReserved = 4,
    kBlockUnit = 5,
    kPortBlockSize = 6,
};

enum class Parity { None, Odd, Even };

struct PortSettings {
    int baud = 9600;
    int dataBits = 7;
    Parity parity = Parity::Even;
    int stopBits = 2;
    int unit = 0;

    // Start bit, data bits, parity bit and stop bits: what one character costs on the line.
    int bitsPerCharacter() const;
};

// Empty when a value is outside what a serial line can be set to (byte size 7 or 8;
// parity 0 none, 1 odd, 2 even; stop bits 0 one, 2 two; a positive baud rate; unit 0..99).
std::optional<PortSettings> portSettingsFromBlock(const int* block);

}  // namespace qavix::link
