// Closing the port on a pseudo-terminal (the virtual phone's line): everything
// written before the close reaches the other side, however busy the machine is and
// however little of it the other side has read yet.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "engine/ktze_internals.h"
#include "sim/pty.h"

namespace brantle {
namespace {

// A generous bound on a gap between bytes that are already written: only reached
// when bytes were lost.
constexpr int kLostAfterMs = 10000;

class PtyCloseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(phone.Open(error)) << error;
    link.PortName = phone.Path();
  }
  // One connection: open, send, close; as the Opti engine ends with its "o".
  void SendAndClose(const std::string& bytes) {
    ASSERT_EQ(link.OpenPort(115200, 0), 0);
    link.WriteString(bytes);
    link.ClosePort();
  }

  sim::PtyLine phone;
  Link link;
};

TEST_F(PtyCloseTest, ABlockThePartnerHasNotReadYetSurvivesTheClose) {
  // More than the partner's side of the terminal takes in before it reads (4 KiB),
  // and less than the terminal holds for it meanwhile: the rest is still in transit
  // when the port closes, and must not be dropped there.
  std::string block(6000, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 251);
  SendAndClose(block);
  std::string got(block.size(), '\0');
  ASSERT_EQ(phone.Read(reinterpret_cast<uint8_t*>(&got[0]), got.size(), kLostAfterMs),
            sim::PtyLine::Io::kOk)
      << "bytes lost at the close";
  EXPECT_TRUE(got == block) << "bytes changed or out of order";
}

TEST_F(PtyCloseTest, EveryByteOfManyShortConnectionsArrivesInOrder) {
  constexpr int kRounds = 2000;
  std::string received;
  sim::PtyLine::Io io = sim::PtyLine::Io::kOk;
  std::thread partner([&] {
    for (int i = 0; i < kRounds && io == sim::PtyLine::Io::kOk; ++i) {
      uint8_t b = 0;
      io = phone.ReadByte(b, kLostAfterMs);
      if (io == sim::PtyLine::Io::kOk) received += static_cast<char>(b);
    }
  });
  std::string sent;
  for (int i = 0; i < kRounds; ++i) {
    const std::string one(1, static_cast<char>(i % 251));
    SendAndClose(one);
    sent += one;
  }
  partner.join();
  EXPECT_EQ(io, sim::PtyLine::Io::kOk);
  EXPECT_EQ(received.size(), sent.size()) << "bytes lost at a close";
  EXPECT_TRUE(received == sent) << "bytes changed or out of order";
}

}  // namespace
}  // namespace brantle
