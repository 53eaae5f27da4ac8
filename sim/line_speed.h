#pragma once

namespace pumpsim {

// The baud rate the line of a terminal is set to, in bits a second; 0 when it cannot be read.
// On a pseudo-terminal's master this is what the client set on the slave side.
int LineBaud(int fd);

}  // namespace pumpsim
