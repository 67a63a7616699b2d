#pragma once
// The one small interface through which the engine touches a serial line.
// Implementations: PosixSerialPort (termios) for real lines and pseudo-terminals,
// a scripted in-memory port in the tests, and TracingPort, which wraps either.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace brantle {

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens an existing device for reading and writing, exclusively.
  virtual bool Open(const std::string& path) = 0;
  // 8 data bits, 1 stop bit, no flow control; parity 0 = none, 2 = even.
  // Any integer speed is accepted.
  virtual bool Configure(uint32_t baud, uint8_t parity) = 0;
  // Returns at once with the bytes already queued (up to max), or waits at most
  // 100 ms for a first byte. 0 means nothing came; a dead line also reads as 0.
  virtual size_t Read(uint8_t* buf, size_t max) = 0;
  virtual void Write(const uint8_t* buf, size_t len) = 0;
  virtual void Flush() = 0;  // waits until the driver has sent what was written
  virtual void PurgeInput() = 0;
  virtual void PurgeOutput() = 0;
  virtual void ClearBreak() = 0;
  virtual void ClearRts() = 0;
  virtual void ClearDtr() = 0;
  // True for the slave side of a pseudo-terminal (the virtual phone).
  virtual bool IsPseudoTerminal() const = 0;
  virtual void Close() = 0;
};

using PortFactory = std::function<std::unique_ptr<SerialPort>()>;

}  // namespace brantle
