#pragma once
// brantle-cli run against one virtual phone in this process that keeps its memory
// between the program's runs, so that a test can read back what a command wrote.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cli_helpers.h"
#include "sim/virtual_e_phone.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle::test {

class CliOnPhone : public ::testing::Test {
 protected:
  void SetUp() override { StartPhone(PhoneOf("E800")); }

  static sim::EPhoneConfig PhoneOf(const std::string& family) {
    sim::EPhoneConfig config;
    config.family = family;
    return config;
  }

  // Replaces the phone by one made as config says.
  void StartPhone(const sim::EPhoneConfig& config) {
    family = config.family;
    phone.reset();
    phone = std::make_unique<sim::VirtualEPhone>(config);
    ASSERT_TRUE(phone->Start()) << phone->error();
  }

  ProgramResult Run(std::vector<std::string> args, const ProgramWatch& watch = {}) {
    std::vector<std::string> all = {"--port", phone->PortPath(), "--family",
                                    family,   "--boot-timeout",  "20"};
    all.insert(all.end(), args.begin(), args.end());
    return RunProgram(kCli, all, watch);
  }

  std::string Nor(uint32_t start, uint32_t size) const {
    const std::vector<uint8_t> nor = phone->Nor();
    return std::string(nor.begin() + start, nor.begin() + start + size);
  }
  std::string Nor() const {
    const std::vector<uint8_t> nor = phone->Nor();
    return std::string(nor.begin(), nor.end());
  }

  // Where the phone's whole memory first differs from expected, as text for a
  // failure message; empty when it holds exactly that.
  std::string NorDifference(const std::string& expected) const {
    const std::string nor = Nor();
    if (nor.size() != expected.size())
      return "the NOR holds " + std::to_string(nor.size()) + " bytes";
    for (size_t i = 0; i < nor.size(); ++i) {
      if (nor[i] == expected[i]) continue;
      char text[64];
      std::snprintf(text, sizeof text, "at %06zX: %02X instead of %02X", i,
                    static_cast<uint8_t>(nor[i]), static_cast<uint8_t>(expected[i]));
      return text;
    }
    return {};
  }

  TempDir dir;
  std::string family;
  std::unique_ptr<sim::VirtualEPhone> phone;
};

}  // namespace brantle::test
