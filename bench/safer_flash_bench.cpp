// What the checks around writing cost, through the flash workflow against the virtual
// E700 phone with line-rate emulation at 806400 baud, on a 2 MiB region:
//  (a) flashing the image the phone already holds, with undo: skipping the unchanged
//      sectors takes at most 0.55 of the time without skipping (goal <= 0.55);
//  (b) verification costs at most 1.05 x (the write alone + one read of the region).

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "operations/connect_driver.h"
#include "operations/dump_workflow.h"
#include "operations/flash_workflow.h"
#include "operations/operation_frame.h"
#include "settings/settings.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_e_phone.h"

using namespace brantle;

namespace {

constexpr uint32_t kSpeed = 806400;
// Sectors 32 to 63: whole 64 KB blocks on the virtual phone's chip.
constexpr uint32_t kStart = 0x200000;
constexpr uint32_t kLength = 0x200000;

// Nobody at the window: every question answered Yes, nothing shown.
class SilentUi final : public Ui {
 public:
  Answer Message(MessageKind kind, const std::string& text, Buttons) override {
    if (kind == MessageKind::Error) std::fprintf(stderr, "%s\n", text.c_str());
    errors += kind == MessageKind::Error;
    return Answer::Yes;
  }
  void SetProgressRange(int64_t, int64_t) override {}
  void SetProgressPosition(int64_t) override {}
  void StepProgress(int64_t) override {}
  void SetStatus(const std::string&) override {}
  void PumpMessages() override {}
  void ShowIdleState() override {}
  bool ChooseDIFs(std::vector<DIFChoice>&) override { return true; }
  int errors = 0;
};

struct Bench {
  sim::VirtualEPhone phone{sim::EPhoneConfig{}};
  SilentUi ui;
  Settings settings;
  OperationFrame frame{ui, settings};
  Link link;
  ConnectDriver driver{frame, link};
  explicit Bench(const std::string& folder) : settings(folder + "/brntl.ini") {}
};

// Seconds run() takes, or a negative value when it fails.
double Seconds(Bench& b, const std::function<bool()>& run) {
  const int errors = b.ui.errors;
  const auto t0 = std::chrono::steady_clock::now();
  const bool ok = run() && b.ui.errors == errors;
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return ok ? s : -1;
}

double Flash(Bench& b, const std::string& bytes, bool undo, bool verify, bool skip) {
  b.settings.SetVerifyWrites(verify);
  b.settings.SetSkipUnchanged(skip);
  return Seconds(b, [&] {
    TDIFFile image;
    image.SetNORData(image.AddBlock(), kStart, bytes);
    TDIFFile undoDif;
    return FlashImage(b.frame, b.driver, image, "NORD", undo ? &undoDif : nullptr,
                      undo ? "NORD" : "nOrR", nullptr);
  });
}

}  // namespace

int main() {
  char folder[] = "/tmp/brantle-bench-XXXXXX";
  if (!mkdtemp(folder)) return std::fprintf(stderr, "cannot make a temporary folder\n"), 1;
  std::string error;
  if (!sim::WriteDemoLoaders(folder, error)) return std::fprintf(stderr, "%s\n", error.c_str()), 1;

  Bench b(folder);
  if (!b.phone.Start()) return std::fprintf(stderr, "%s\n", b.phone.error().c_str()), 1;
  b.driver.E().LoadersFolder = folder;
  b.driver.FixedSpeed = kSpeed;
  b.settings.SetComPort(b.phone.PortPath());
  b.driver.ReinitializePort();
  // Connected at full speed; the line is paced from the measurements on.
  if (!b.driver.TickUntilConnected(20000)) return std::fprintf(stderr, "connect failed\n"), 1;
  b.phone.SetLineRate(true);

  const std::vector<uint8_t> nor = b.phone.Nor();
  const std::string same(nor.begin() + kStart, nor.begin() + kStart + kLength);
  const double full = Flash(b, same, true, false, false);
  const double skipped = Flash(b, same, true, false, true);
  if (full < 0 || skipped < 0) return std::fprintf(stderr, "flash failed\n"), 1;
  std::printf(
      "(a) 2 MiB identical re-flash with undo at %u baud: %.3f s without skipping, %.3f s "
      "skipping unchanged sectors, ratio %.3f (goal <= 0.55)\n",
      kSpeed, full, skipped, skipped / full);

  std::mt19937 gen(1);
  std::string other(kLength, '\0');
  for (char& c : other) c = static_cast<char>(gen());
  const double write = Flash(b, other, false, false, false);
  std::string data;
  const double read =
      Seconds(b, [&] { return DumpRegion(b.frame, b.driver, kStart, kStart + kLength - 1, data); });
  const double verified = Flash(b, same, false, true, false);
  if (write < 0 || read < 0 || verified < 0) return std::fprintf(stderr, "flash failed\n"), 1;
  std::printf(
      "(b) 2 MiB write %.3f s, one read %.3f s, verified write %.3f s: %.3f x (write + read) "
      "(goal <= 1.05)\n",
      write, read, verified, verified / (write + read));
  return 0;
}
