#pragma once
// --simulate: runs brantle-phonesim (found beside this program) as a child
// process and hands back the pseudo-terminal it serves.

#include <sys/types.h>

#include <cstdio>
#include <string>

namespace brantle {

class SimulatorProcess {
 public:
  ~SimulatorProcess();  // stops the child
  // model: an OptiFlash model name for the family "Opti", or empty.
  bool Start(const std::string& family, std::string& error, const std::string& model = "");
  const std::string& PortPath() const { return port_; }

 private:
  pid_t pid_ = -1;
  std::FILE* output_ = nullptr;
  std::string port_;
};

}  // namespace brantle
