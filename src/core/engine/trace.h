#pragma once
// Line trace: every byte sent and received, hex-dumped with millisecond times and
// direction, so that a technician's report from a real phone can be read back.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "engine/serial_port.h"

namespace brantle {

class Tracer {
 public:
  // Opens (truncates) the trace file; nullptr with error set when it cannot.
  static std::shared_ptr<Tracer> OpenFile(const std::string& path, std::string& error);
  ~Tracer();

  void Sent(const uint8_t* data, size_t len) { Dump("TX", data, len); }
  void Received(const uint8_t* data, size_t len) { Dump("RX", data, len); }
  void Note(const std::string& text);

 private:
  explicit Tracer(std::FILE* file);
  void Dump(const char* direction, const uint8_t* data, size_t len);
  std::string Stamp() const;

  std::FILE* file_;
  uint64_t startMs_;
  std::mutex mutex_;  // the receive worker and the window thread both trace
};

// Wraps a port and traces everything that passes through it.
std::unique_ptr<SerialPort> MakeTracingPort(std::unique_ptr<SerialPort> inner,
                                            std::shared_ptr<Tracer> tracer);

}  // namespace brantle
