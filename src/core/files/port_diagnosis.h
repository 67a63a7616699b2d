#pragma once
// Why a serial port could not be opened, as one line a technician can act on: the
// path does not exist (and which serial ports the system has), it is no serial
// device, the user may not open it (the group to join), or another program holds
// it. The facts are gathered from the system in one place and put into words in
// another, so that every cause can be tested, also those a test cannot set up.

#include <sys/types.h>

#include <string>
#include <vector>

#include "files/serial_ports.h"

namespace brantle {

struct PortFacts {
  std::string Path;
  int StatError = 0;         // errno of stat(); 0 when the path exists
  mode_t Mode = 0;           // its type and permission bits
  int OpenError = 0;         // errno of opening it for reading and writing; 0 when it opened
  bool Terminal = false;     // it opened and is a terminal line
  bool Locked = false;       // it opened, but another open holds its lock
  std::string Group;         // the group that owns it
  bool InGroup = false;      // this login is a member of that group
  bool GroupListed = false;  // the user is listed in that group (from a later login on)
  std::vector<std::string> Holders;   // who has it open: "minicom (process 1234)"
  std::vector<SerialPortInfo> Ports;  // the serial ports the system has
};

// Looks at path as an open of the serial line would: stat, a trial open, its lock;
// for a refused permission the owning group and the user's membership, for a line
// in use the processes that have it open (where /proc lets us see them), for a
// missing path the serial ports the system has.
PortFacts GatherPortFacts(const std::string& path);

// One line saying why the port cannot be used.
std::string ExplainPortFacts(const PortFacts& facts);

inline std::string DiagnosePort(const std::string& path) {
  return ExplainPortFacts(GatherPortFacts(path));
}

}  // namespace brantle
