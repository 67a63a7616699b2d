#pragma once
// The window's command line: a virtual phone for this run, ports enumeration does
// not find, and a wire trace.

#include <string>
#include <vector>

namespace brantle::gui {

struct WindowOptions {
  std::string Simulate;  // "E700", "E800", "E330", "S500" or "Opti"
  std::string Model;     // with Opti: the model, e.g. "X480"
  std::vector<std::string> Ports;
  std::string Trace;
  // The family selector entry of the simulated phone; -1 without one.
  int FamilyIndex() const;
};

// The command line without Qt's own options (-platform offscreen, -style NAME, ...),
// which QApplication takes.
std::vector<std::string> OwnArguments(int argc, char** argv);

// False with error set for an unknown option, a missing value, an unknown family or
// model, or a trace file that exists already.
bool ParseWindowOptions(const std::vector<std::string>& args, WindowOptions& options,
                        std::string& error);
const char* WindowUsageText();

}  // namespace brantle::gui
