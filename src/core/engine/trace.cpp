#include "engine/trace.h"

#include <chrono>

namespace brantle {
namespace {

uint64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class TracingPort final : public SerialPort {
 public:
  TracingPort(std::unique_ptr<SerialPort> inner, std::shared_ptr<Tracer> tracer)
      : inner_(std::move(inner)), tracer_(std::move(tracer)) {}

  bool Open(const std::string& path) override {
    const bool ok = inner_->Open(path);
    tracer_->Note("open " + path + (ok ? "" : " FAILED"));
    return ok;
  }
  bool Configure(uint32_t baud, uint8_t parity) override {
    const bool ok = inner_->Configure(baud, parity);
    tracer_->Note("line " + std::to_string(baud) + (parity ? " 8E1" : " 8N1") +
                  (ok ? "" : " FAILED"));
    return ok;
  }
  size_t Read(uint8_t* buf, size_t max) override {
    const size_t n = inner_->Read(buf, max);
    if (n > 0) tracer_->Received(buf, n);
    return n;
  }
  void Write(const uint8_t* buf, size_t len) override {
    tracer_->Sent(buf, len);
    inner_->Write(buf, len);
  }
  void Flush() override { inner_->Flush(); }
  void PurgeInput() override {
    tracer_->Note("purge input");
    inner_->PurgeInput();
  }
  void PurgeOutput() override { inner_->PurgeOutput(); }
  void ClearBreak() override { inner_->ClearBreak(); }
  void ClearRts() override { inner_->ClearRts(); }
  void ClearDtr() override { inner_->ClearDtr(); }
  bool IsPseudoTerminal() const override { return inner_->IsPseudoTerminal(); }
  void Close() override {
    tracer_->Note("close");
    inner_->Close();
  }

 private:
  std::unique_ptr<SerialPort> inner_;
  std::shared_ptr<Tracer> tracer_;
};

}  // namespace

std::shared_ptr<Tracer> Tracer::OpenFile(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) {
    error = "cannot create trace file " + path;
    return nullptr;
  }
  return std::shared_ptr<Tracer>(new Tracer(file));
}

Tracer::Tracer(std::FILE* file) : file_(file), startMs_(SteadyMs()) {}

Tracer::~Tracer() {
  std::fclose(file_);
}

std::string Tracer::Stamp() const {
  const uint64_t ms = SteadyMs() - startMs_;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%7llu.%03llu", static_cast<unsigned long long>(ms / 1000),
                static_cast<unsigned long long>(ms % 1000));
  return buf;
}

void Tracer::Note(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::fprintf(file_, "%s -- %s\n", Stamp().c_str(), text.c_str());
  std::fflush(file_);
}

void Tracer::Dump(const char* direction, const uint8_t* data, size_t len) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string stamp = Stamp();
  for (size_t row = 0; row < len; row += 16) {
    std::fprintf(file_, "%s %s %06zx ", stamp.c_str(), direction, row);
    std::string ascii;
    for (size_t i = row; i < row + 16; ++i) {
      if (i < len) {
        std::fprintf(file_, " %02X", data[i]);
        ascii.push_back(data[i] >= 0x20 && data[i] < 0x7F ? static_cast<char>(data[i]) : '.');
      } else {
        std::fputs("   ", file_);
      }
    }
    std::fprintf(file_, "  |%s|\n", ascii.c_str());
  }
  std::fflush(file_);
}

std::unique_ptr<SerialPort> MakeTracingPort(std::unique_ptr<SerialPort> inner,
                                            std::shared_ptr<Tracer> tracer) {
  return std::make_unique<TracingPort>(std::move(inner), std::move(tracer));
}

}  // namespace brantle
