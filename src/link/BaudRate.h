#pragma once
// Baud rates on a terminal, including those without a Bxxx constant (14400): these go
// through the kernel's termios2 interface, which cannot share a file with <termios.h>.

namespace qavix::link {

// Sets input and output speed; false when the driver refuses.
bool setBaudRate(int fd, int baud);
// The output speed the terminal holds, 0 when it cannot be read.
int readBaudRate(int fd);

}  // namespace qavix::link
