#include "line_speed.h"

// The kernel's own termios2 gives the rate as a number, whether the client chose it by one of
// the B-constants or as an arbitrary rate; <termios.h> must stay out of this file for it.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace pumpsim {

int LineBaud(int fd) {
    termios2 settings{};
    if (ioctl(fd, TCGETS2, &settings) != 0) return 0;
    return static_cast<int>(settings.c_ospeed);
}

}  // namespace pumpsim
