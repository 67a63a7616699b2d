#pragma once
// The serial ports a technician can pick: the devices of the tty class that have
// hardware behind them. USB adapters (ttyUSB*, ttyACM*) always do; on-board ports
// (ttyS*, ttyAMA*) are listed only when the serial driver found a UART there, since
// most machines register ttyS0..ttyS31 whether or not one exists.

#include <string>
#include <vector>

namespace brantle {

struct SerialPortInfo {
  std::string Path;         // /dev/ttyUSB0
  std::string Description;  // "FTDI FT232R USB UART" where the system knows it
};

// Sorted by path as text. sysClassTty and devFolder are parameters so that a test
// can lay out a tree of its own.
std::vector<SerialPortInfo> ListSerialPorts(const std::string& sysClassTty = "/sys/class/tty",
                                            const std::string& devFolder = "/dev");

}  // namespace brantle
