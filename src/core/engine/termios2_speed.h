#pragma once
// Any integer line speed (76800, 537600, 806400, ...) through termios2/BOTHER.
// Kept apart because <asm/termbits.h> clashes with <termios.h>.

#include <cstdint>

namespace brantle {

// Sets input and output speed of the open line fd; false when the driver refuses.
bool SetAnyBaud(int fd, uint32_t baud);

}  // namespace brantle
