#include "support/scripted_line.h"

#include <cstdio>
#include <memory>

namespace brantle::test {
namespace {

class ScriptedPort final : public SerialPort {
 public:
  explicit ScriptedPort(ScriptedLine& line) : line_(line) {}
  bool Open(const std::string& path) override { return line_.Open(path); }
  bool Configure(uint32_t baud, uint8_t parity) override {
    line_.Event("line " + std::to_string(baud) + " " + std::to_string(parity));
    return true;
  }
  size_t Read(uint8_t* buf, size_t max) override { return line_.Read(buf, max); }
  void Write(const uint8_t* buf, size_t len) override { line_.Write(buf, len); }
  void Flush() override {}
  void PurgeInput() override { line_.PurgeInput(); }
  void PurgeOutput() override { line_.Event("purge out"); }
  void ClearBreak() override { line_.Event("clear break"); }
  void ClearRts() override { line_.Event("rts"); }
  void ClearDtr() override { line_.Event("dtr"); }
  bool IsPseudoTerminal() const override { return line_.pseudoTerminal; }
  void Close() override { line_.Event("close"); }

 private:
  ScriptedLine& line_;
};

}  // namespace

std::string Bytes(std::initializer_list<uint8_t> list) {
  return std::string(list.begin(), list.end());
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    std::snprintf(buf, sizeof buf, out.empty() ? "%02X" : " %02X", c);
    out += buf;
  }
  return out;
}

PortFactory ScriptedLine::Factory() {
  return [this] { return std::make_unique<ScriptedPort>(*this); };
}

void ScriptedLine::QueueAt(uint64_t timeMs, const std::string& bytes) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  for (unsigned char c : bytes) incoming_.push_back({timeMs, c});
}

bool ScriptedLine::Open(const std::string& path) {
  Event("open " + path + (failOpen ? " failed" : ""));
  return !failOpen;
}

void ScriptedLine::Event(const std::string& e) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  events_.push_back(e);
}

size_t ScriptedLine::Read(uint8_t* buf, size_t max) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  ++readCalls_;
  const uint64_t now = clock_ ? clock_->NowMs() : UINT64_MAX;
  size_t n = 0;
  while (n < max && !incoming_.empty() && incoming_.front().at <= now) {
    buf[n++] = incoming_.front().byte;
    incoming_.pop_front();
  }
  return n;
}

void ScriptedLine::Write(const uint8_t* buf, size_t len) {
  const std::string chunk(reinterpret_cast<const char*>(buf), len);
  {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    written_ += chunk;
    chunks_.push_back(chunk);
  }
  if (onWrite) onWrite(*this, chunk);
}

void ScriptedLine::PurgeInput() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  events_.push_back("purge in");
  incoming_.clear();
}

std::string ScriptedLine::Written() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return written_;
}

std::vector<std::string> ScriptedLine::WriteChunks() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return chunks_;
}

std::vector<std::string> ScriptedLine::Events() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return events_;
}

int ScriptedLine::ReadCalls() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return readCalls_;
}

void ScriptedLine::ClearWritten() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  written_.clear();
  chunks_.clear();
}

}  // namespace brantle::test
