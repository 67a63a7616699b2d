#pragma once
// Brings an OptiFlash phone from its boot prompt to a configured loader for the
// command line, and ends the connection.

#include <string>

#include "engine/ktze_flasher_opti.h"
#include "phone_session.h"

namespace brantle::cli {

class OptiConnection final : public PhoneSession {
 public:
  OptiConnection(const Options& options, ConsoleProgress& progress);
  ~OptiConnection() override;

  Link& link() override { return link_; }
  bool Connect(const std::string& port, std::string& error) override;
  std::string FlashText() const override;
  int ReadRegion(uint32_t start, uint32_t end, std::string& data) override;
  uint64_t RegionLineBytes(uint32_t start, uint32_t end) const override;
  std::string ErrorText(const std::string& prefix, int code) const override;

 private:
  const Options& options_;
  ConsoleProgress& progress_;
  Link link_;
  OptiEngine engine_;
  EFlashInfo flash_;
  std::string hint_;
  bool connected_ = false;
};

}  // namespace brantle::cli
