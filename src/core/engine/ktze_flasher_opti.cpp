#include "engine/ktze_flasher_opti.h"

#include <algorithm>

#include "engine/opti_frames.h"
#include "engine/result_codes.h"

namespace brantle {
namespace {

constexpr uint32_t kReplyTimeoutMs = 3000;
constexpr uint32_t kLoaderPiece = 2048;
constexpr int kStartStars = 99;
// More than any loader's start chatter: a line that only babbles is given up on.
constexpr int kMaxStartBytes = 65536;

}  // namespace

OptiEngine::OptiEngine(Link& link)
    : LoadersFolder(DefaultLoadersFolder()), link_(link), model_(&OptiModelByType(0)) {}

int OptiEngine::OptiOpenPort(const std::string& port, int optiType) {
  ResetOptiFlash(Flash);
  BlockOpen = false;
  link_.PortName = port;
  if (link_.OpenPort(115200, 0) < 0) return kErrOpen;
  link_.ClearRts();
  link_.ClearDtr();
  OptiType = optiType;
  model_ = &OptiModelByType(optiType);
  return kOk;
}

// The boot code answers "?" with "!".
int OptiEngine::WaitBootPrompt(uint32_t readTimeoutMs, uint32_t totalTimeMs) {
  Clock& clock = link_.clock();
  const uint64_t start = clock.NowMs();
  uint8_t b = 0;
  while (b != '!' && clock.NowMs() - start <= totalTimeMs) {
    link_.WriteString("?");
    clock.SleepMs(1);
    if (!link_.ReadByte(b, link_.Texts.TurnOnThePhone, readTimeoutMs)) break;
  }
  return b == '!' ? kOk : kErrTimeout;
}

int OptiEngine::QueryBootInfo() {
  SendBootFrame(link_, "#info", std::string(), kDefaultText);
  std::string payload;
  return ReceiveBootResponse(link_, "#info", payload, kDefaultText);
}

uint32_t OptiEngine::LoaderUploadBytes() const {
  const uint32_t pieces = (LoaderSize() + kLoaderPiece - 1) / kLoaderPiece;
  return LoaderSize() + 8 * pieces;
}

bool OptiEngine::LoaderAvailable() {
  std::string image;
  loaderError_.clear();
  return LoadLoaderToSend(LoadersFolder, model_->loader, link_.IsPseudoTerminal(), image,
                          loaderError_);
}

int OptiEngine::UploadLoader() {
  std::string image;
  loaderError_.clear();
  if (!LoadLoaderToSend(LoadersFolder, model_->loader, link_.IsPseudoTerminal(), image,
                        loaderError_))
    return kErrLoader;
  BlockOpen = false;
  link_.Progress(0);
  std::string payload;
  for (uint32_t offset = 0; offset < image.size(); offset += kLoaderPiece) {
    const uint32_t n = std::min<uint32_t>(kLoaderPiece, image.size() - offset);
    SendBootFrame(link_, "data", LE32(offset) + LE32(n) + image.substr(offset, n),
                  link_.Texts.SendingLoader);
    if (const int r = ReceiveBootResponse(link_, "data", payload, kDefaultText); r != kOk) return r;
  }
  SendBootFrame(link_, "done", std::string(), kDefaultText);
  if (const int r = ReceiveBootResponse(link_, "done", payload, kDefaultText); r != kOk) return r;

  // The loader starts after a run of "*"; each "b" it sends wants one more.
  for (int i = 0; i < kStartStars; ++i) link_.WriteString("*");
  uint8_t b = 0;
  bool hash = false;
  for (int bytes = 0; !hash && bytes < kMaxStartBytes; ++bytes) {
    if (!link_.ReadByte(b, link_.Texts.Waiting, kReplyTimeoutMs)) break;
    if (b == 'b') link_.WriteString("*");
    hash = b == '#';
  }
  if (!hash) return kErrTimeout;
  if (!link_.ReadByte(b, link_.Texts.Waiting, kReplyTimeoutMs)) return kErrTimeout;
  if (b != 'B') return kErrUnexpected;
  // Drop what the start left on the line; a line that keeps talking is cut short.
  const uint64_t drainUntil = link_.clock().NowMs() + kReplyTimeoutMs;
  while (link_.ReadByte(b, link_.Texts.Waiting, 1) && link_.clock().NowMs() < drainUntil) {
  }

  if (const int r = SyncLoader(); r != kOk) return r;
  SendLoaderFrame(link_, "INFO", LoaderParams(*model_));
  std::string info;
  if (const int r = ReceiveLoaderReply(link_, "INFO", info, kDefaultText, false); r != kOk)
    return r;
  ParseOptiInfo(Flash, info);
  return kOk;
}

int OptiEngine::SyncLoader() {
  link_.WriteString("SYNC");
  const std::string want = "syn!";
  // Noise is skipped, but only for as long as a silent line would be waited for.
  const uint64_t deadline = link_.clock().NowMs() + kReplyTimeoutMs;
  uint8_t b = 0;
  for (;;) {
    if (link_.clock().NowMs() >= deadline) return kErrTimeout;
    if (!link_.ReadByte(b, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
    if (b != 's') {
      link_.clock().SleepMs(1);
      continue;
    }
    std::string rest;
    if (!link_.ReadString(rest, 3, kReplyTimeoutMs, kDefaultText)) return kErrTimeout;
    if ("s" + rest == want) return kOk;
  }
}

int OptiEngine::SetLoaderSpeed(uint32_t baud) {
  const auto& list = Flash.BaudList;
  if (std::find(list.begin(), list.end(), baud) == list.end()) {
    FinishConnection();
    return kErrSpeed;
  }
  if (const int r = SyncLoader(); r != kOk) return r;
  SendLoaderFrame(link_, "BAUD", LE32(1) + LE32(baud));
  std::string payload;
  if (const int r = ReceiveLoaderReply(link_, "BAUD", payload, kDefaultText, false); r != kOk)
    return r;
  link_.ClosePort();
  if (link_.OpenPort(baud, 0) < 0) return kErrOpen;
  link_.ClearRts();
  link_.ClearDtr();
  link_.clock().SleepMs(500);
  link_.PurgeInput();
  return SyncLoader();
}

int OptiEngine::SetFlashParameters() {
  std::string payload = LE32(1);
  for (const OptiChip& chip : Flash.chips) {
    payload += LE32(chip.DeviceID);
    payload += std::string{'\0', static_cast<char>(chip.IntelCommands),
                           static_cast<char>(chip.WriteMethod), static_cast<char>(chip.MakerID)};
  }
  SendLoaderFrame(link_, "SETP", payload);
  std::string reply;
  return ReceiveLoaderReply(link_, "SETP", reply, kDefaultText, false);
}

int OptiEngine::FinishConnection() {
  if (BlockOpen) {
    if (const int r = CloseBlock(); r != kOk) return r;
  }
  if (const int r = SyncLoader(); r != kOk) return r;
  SendLoaderFrame(link_, "DONE", std::string());
  std::string reply;
  if (const int r = ReceiveLoaderReply(link_, "DONE", reply, kDefaultText, false); r != kOk)
    return r;
  link_.WriteString("o");
  return kOk;
}

void OptiEngine::Close() {
  ResetOptiFlash(Flash);
  BlockOpen = false;
  link_.ClosePort();
}

}  // namespace brantle
