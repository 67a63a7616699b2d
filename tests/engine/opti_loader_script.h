#pragma once
// A scripted OptiFlash phone for byte-exact engine tests: it takes what the engine
// writes, cuts it into boot frames and the start handshake (in the boot stage), then
// SYNC and loader frames (and the raw data after TXDT), records every frame and
// answers each with a good reply, unless a test says otherwise.

#include <functional>
#include <string>
#include <vector>

#include "engine/opti_crc.h"
#include "engine/opti_frames.h"
#include "support/scripted_line.h"

namespace brantle::test {

struct SeenFrame {
  std::string command;
  std::string payload;
  std::string data;  // the raw bytes after a TXDT frame
};

class OptiLoaderScript {
 public:
  // bootStage: start with the boot code (boot frames, then the "*" handshake).
  explicit OptiLoaderScript(ScriptedLine& line, bool bootStage = false)
      : line_(line), boot_(bootStage) {
    line.onWrite = [this](ScriptedLine&, const std::string& chunk) {
      pending_ += chunk;
      Consume();
    };
  }
  // The reply payload for a command (default: empty); may look at the request.
  std::function<std::string(const SeenFrame&)> replyPayload;
  // Bad reply checksums still to send for SUCK.
  int badSuckChecksums = 0;

  std::vector<SeenFrame> frames;
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    for (const auto& f : frames) out.push_back(f.command);
    return out;
  }

  static std::string Reply(const std::string& command, const std::string& payload,
                           bool badCrc = false) {
    std::string r =
        "rply" + command + "+ok!" + LE32(static_cast<uint32_t>(payload.size())) + payload;
    if (!payload.empty()) r += LE32(FrameCRC(payload) ^ (badCrc ? 1u : 0u));
    return r + "eom.";
  }

 private:
  void Consume() {
    while (boot_ && ConsumeBoot()) {
    }
    for (;;) {
      if (txdtWaiting_ > 0) {
        if (pending_.size() < txdtWaiting_) return;
        frames.back().data = pending_.substr(0, txdtWaiting_);
        pending_.erase(0, txdtWaiting_);
        txdtWaiting_ = 0;
        Answer(frames.back());
        continue;
      }
      if (pending_.compare(0, 4, "SYNC") == 0) {
        pending_.erase(0, 4);
        frames.push_back({"SYNC", "", ""});
        line_.Queue("syn!");
        continue;
      }
      if (pending_.size() < 8) return;
      const uint32_t length = ReadLE32(pending_, 4);
      const size_t total = 8 + length + (length ? 4 : 0) + 4;
      if (pending_.size() < total) return;
      SeenFrame f{pending_.substr(0, 4), pending_.substr(8, length), ""};
      pending_.erase(0, total);
      frames.push_back(f);
      if (f.command == "TXDT") {
        txdtWaiting_ = ReadLE32(f.payload, 4);
        if (txdtWaiting_ == 0) Answer(f);
        continue;
      }
      Answer(f);
    }
  }

  // Boot frames ("#info", "data", "done") and the start: 99 stars get a "b", the
  // star that answers it gets "#B", and the loader runs.
  bool ConsumeBoot() {
    if (!pending_.empty() && pending_[0] == '*') {
      pending_.erase(0, 1);
      if (++stars_ == 99) line_.Queue("b");
      if (stars_ < 100) return true;
      line_.Queue("#B\x05");
      boot_ = false;
      return false;
    }
    const size_t nameLength = pending_.compare(0, 1, "#") == 0 ? 5 : 4;
    if (pending_.size() < nameLength + 4) return false;
    const uint32_t length = ReadLE32(pending_, nameLength);
    const size_t total = nameLength + 4 + length + (length ? 4 : 0) + 4;
    if (pending_.size() < total) return false;
    SeenFrame f{pending_.substr(0, nameLength), pending_.substr(nameLength + 4, length), ""};
    pending_.erase(0, total);
    frames.push_back(f);
    const std::string bare = f.command[0] == '#' ? f.command.substr(1) : f.command;
    line_.Queue("resp" + bare + "+ok+" + LE32(0) + "(hw)");
    return true;
  }

  void Answer(const SeenFrame& f) {
    std::string payload = replyPayload ? replyPayload(f) : std::string();
    bool bad = false;
    if (f.command == "SUCK" && badSuckChecksums > 0) {
      --badSuckChecksums;
      bad = true;
    }
    line_.Queue(Reply(f.command, payload, bad));
  }

  ScriptedLine& line_;
  bool boot_;
  int stars_ = 0;
  std::string pending_;
  size_t txdtWaiting_ = 0;
};

}  // namespace brantle::test
