#pragma once
// One connected phone for the command line, whatever protocol it speaks.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cli_options.h"
#include "console_progress.h"
#include "engine/ktze_internals.h"

namespace brantle::cli {

class PhoneSession {
 public:
  virtual ~PhoneSession() = default;  // ends the connection and closes the port
  virtual Link& link() = 0;
  // Opens the port, waits for the phone in boot mode and runs the connect steps. On
  // failure returns false with the message the window would show.
  virtual bool Connect(const std::string& port, std::string& error) = 0;
  // What identify prints: the flash type, one line or more.
  virtual std::string FlashText() const = 0;
  // Reads NOR bytes start..end (inclusive); a result code.
  virtual int ReadRegion(uint32_t start, uint32_t end, std::string& data) = 0;
  // Bytes that go over the line for that region (for the progress bar).
  virtual uint64_t RegionLineBytes(uint32_t start, uint32_t end) const = 0;
  // The message of a result code after a prefix text.
  virtual std::string ErrorText(const std::string& prefix, int code) const = 0;
};

// prefix, one space and the text of an engine result; a loader that could not be sent
// adds the reason.
std::string EngineMessage(const std::string& prefix, int code, const std::string& loaderError);

// The E-family or the OptiFlash session, as the options say.
std::unique_ptr<PhoneSession> MakePhoneSession(const Options& options, ConsoleProgress& progress);

// Waits for the boot signal with a clear prompt: poll() until it answers or the
// boot timeout passes.
bool WaitForPhone(Link& link, uint32_t timeoutS, const std::function<bool()>& poll);

}  // namespace brantle::cli
