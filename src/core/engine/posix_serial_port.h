#pragma once
// Serial line through termios: real adapters (/dev/ttyUSB0, /dev/ttyS0, ...) and
// the pseudo-terminal of the virtual phone.

#include <memory>

#include "engine/serial_port.h"

namespace brantle {

std::unique_ptr<SerialPort> MakePosixSerialPort();

}  // namespace brantle
