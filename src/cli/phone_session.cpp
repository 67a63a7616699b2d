#include "phone_session.h"

#include <cstdio>

#include "e_connection.h"
#include "engine/result_codes.h"
#include "opti_connection.h"

namespace brantle::cli {

std::string EngineMessage(const std::string& prefix, int code, const std::string& loaderError) {
  std::string text = prefix + " " + EngineErrorText(code);
  if (code == kErrLoader) text += ": " + loaderError;
  return text;
}

bool WaitForPhone(Link& link, uint32_t timeoutS, const std::function<bool()>& poll) {
  std::fprintf(stderr, "Turn on the phone in boot mode (waiting up to %u s)...\n", timeoutS);
  const uint64_t deadline = link.clock().NowMs() + timeoutS * 1000ull;
  while (link.clock().NowMs() < deadline) {
    if (poll()) return true;
  }
  return false;
}

std::unique_ptr<PhoneSession> MakePhoneSession(const Options& options, ConsoleProgress& progress) {
  if (options.family == "Opti") return std::make_unique<OptiConnection>(options, progress);
  return std::make_unique<EConnection>(options, progress);
}

}  // namespace brantle::cli
