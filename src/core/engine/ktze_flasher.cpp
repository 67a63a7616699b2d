#include "engine/ktze_flasher.h"

#include "engine/e_packets.h"
#include "engine/ktze_loaders.h"
#include "engine/result_codes.h"

namespace brantle {
namespace {

constexpr uint8_t kBootByte = 0xBE;
constexpr uint32_t kReplyTimeoutMs = 3000;

}  // namespace

EEngine::EEngine(Link& link) : LoadersFolder(DefaultLoadersFolder()), link_(link) {}

int EEngine::EInitPort(const std::string& port, const std::string& family) {
  ResetEFlash(FlashInfo);
  link_.PortName = port;
  if (link_.OpenPort(38400, 2) < 0) return kErrOpen;
  link_.ClearRts();
  link_.ClearDtr();
  EngineFamily = (family == "E800" || family == "E330") ? family : "E700";
  const ELoaderSet& set = ELoaders(EngineFamily);
  Loader1Size = set.first.size;
  Loader2Size = set.second.size;
  loader1_.clear();
  loader2_.clear();
  return kOk;
}

// The boot code announces itself by sending BE over and over; anything else on
// the line (noise, a phone in another mode) is skipped, each byte waited for
// with the shorter timeout.
int EEngine::EWaitBoot(uint32_t firstTimeoutMs, uint32_t nextTimeoutMs) {
  const std::string& text = link_.Texts.TurnOnThePhone;
  uint8_t b = 0;
  if (!link_.ReadByte(b, text, firstTimeoutMs)) return kErrTimeout;
  while (b != kBootByte) {
    if (!link_.ReadByte(b, text, nextTimeoutMs)) break;
  }
  return b == kBootByte ? kOk : kErrTimeout;
}

int EEngine::EBootCommand(uint8_t w0, uint8_t w1, uint8_t w2, uint8_t w3) {
  link_.WriteString("D");
  link_.WriteString(EBootPacket(EngineFamily, w0, w1, w2, w3));
  // Boot bytes still in flight are skipped, but a phone that ignored the packet
  // keeps sending them forever: after the reply timeout that is a timeout too.
  const uint64_t deadline = link_.clock().NowMs() + kReplyTimeoutMs;
  uint8_t b = kBootByte;
  while (b == kBootByte) {
    if (link_.clock().NowMs() >= deadline) return kErrTimeout;
    if (!link_.ReadByte(b, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
  }
  return b == 'D' ? kOk : kErrUnexpected;
}

bool EEngine::LoadImages() {
  const ELoaderSet& set = ELoaders(EngineFamily);
  loaderError_.clear();
  const bool pty = link_.IsPseudoTerminal();
  if (!LoadLoaderToSend(LoadersFolder, set.first, pty, loader1_, loaderError_) ||
      !LoadLoaderToSend(LoadersFolder, set.second, pty, loader2_, loaderError_)) {
    loader1_.clear();
    loader2_.clear();
    return false;
  }
  // The first loader learns from this field how many bytes of the second to expect.
  PutBigEndian32(loader1_, set.patchOffset, Loader2Size);
  return true;
}

int EEngine::ESendLoader1() {
  if (!LoadImages()) return kErrLoader;
  link_.Progress(0);
  link_.WriteBlock(reinterpret_cast<const uint8_t*>(loader1_.data()), loader1_.size(),
                   link_.Texts.SendingLoader + " #1");
  std::string reply;
  if (!link_.ReadString(reply, 6, kReplyTimeoutMs, link_.Texts.WaitingForFlashID))
    return kErrTimeout;
  IdentifyEFlash(FlashInfo, static_cast<uint8_t>(reply[4]), static_cast<uint8_t>(reply[5]));
  return kOk;
}

int EEngine::ESwitchSpeed(uint32_t baud) {
  ESpeedSwitch sw;
  if (!ESpeedPacket(baud, sw)) return kErrSpeed;
  link_.WriteString(sw.packet);
  std::string reply;
  if (!link_.ReadString(reply, 3, kReplyTimeoutMs, kDefaultText)) return kErrTimeout;
  if (reply != std::string("\xC0\xC3\x00", 3)) return kErrUnexpected;
  // From here on the line runs at the new speed without parity.
  link_.ClosePort();
  if (link_.OpenPort(sw.pcSpeed, 0) < 0) return kErrOpen;
  link_.ClearRts();
  link_.ClearDtr();
  link_.clock().SleepMs(100);
  link_.PurgeInput();
  link_.WriteString("\xEE");
  if (!link_.ReadString(reply, 5, kReplyTimeoutMs, kDefaultText)) return kErrTimeout;
  return kOk;
}

int EEngine::ESendLoader2() {
  if (loader2_.empty() && !LoadImages()) return kErrLoader;
  link_.Progress(0);
  link_.WriteBlock(reinterpret_cast<const uint8_t*>(loader2_.data()), loader2_.size(),
                   link_.Texts.SendingLoader + " #2");
  if (EngineFamily == "E700") link_.WriteString("\xFF");
  uint8_t b = 0;
  if (!link_.ReadByte(b, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
  if (b != 'c') return kErrUnexpected;
  link_.clock().SleepMs(250);
  return kOk;
}

int EEngine::ETerminate() {
  link_.WriteString("\xE8");
  uint8_t b = 0;
  if (!link_.ReadByte(b, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
  return b == 0xC0 ? kOk : kErrUnexpected;
}

int EEngine::EClose() {
  ResetEFlash(FlashInfo);
  link_.ClosePort();
  return kOk;
}

}  // namespace brantle
