#include "BaudRate.h"

// termios2 and BOTHER live only in the kernel's headers, which clash with <termios.h>;
// this file therefore talks to the driver directly and includes nothing else.
#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace qavix::link {

bool setBaudRate(int fd, int baud) {
    if (baud <= 0) {
        return false;
    }
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        return false;
    }
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = static_cast<speed_t>(baud);
    tio.c_ospeed = static_cast<speed_t>(baud);
    if (ioctl(fd, TCSETS2, &tio) != 0) {
        return false;
    }
    return readBaudRate(fd) == baud;
}

int readBaudRate(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) {
        return 0;
    }
    return static_cast<int>(tio.c_ospeed);
}

}  // namespace qavix::link
