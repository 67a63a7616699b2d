#pragma once
// Brings an E-family phone from boot mode to a running second loader for the
// command line, and ends the connection. The window's connect driver does the
// same steps on its timer.

#include <string>

#include "engine/ktze_flasher.h"
#include "phone_session.h"

namespace brantle::cli {

class EConnection final : public PhoneSession {
 public:
  EConnection(const Options& options, ConsoleProgress& progress);
  ~EConnection() override;

  Link& link() override { return link_; }
  bool Connect(const std::string& port, std::string& error) override;
  std::string FlashText() const override;
  int ReadRegion(uint32_t start, uint32_t end, std::string& data) override;
  uint64_t RegionLineBytes(uint32_t start, uint32_t end) const override;
  std::string ErrorText(const std::string& prefix, int code) const override;

 private:
  void Disconnect();

  const Options& options_;
  ConsoleProgress& progress_;
  Link link_;
  EEngine engine_;
  bool connected_ = false;
};

}  // namespace brantle::cli
