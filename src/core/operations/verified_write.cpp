#include "operations/verified_write.h"

#include <cstdio>
#include <vector>

#include "engine/result_codes.h"
#include "lang/fill_text.h"
#include "lang/lang_get.h"

namespace brantle {

namespace {

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace

std::string VerifyFailedText(uint32_t address, uint8_t expected, uint8_t found) {
  return FillText(
      LangGet("Msg_Verify_Failed"),
      {{"address", Hex(address, 6)}, {"expected", Hex(expected, 2)}, {"found", Hex(found, 2)}});
}

std::string SkippedText(int count) {
  return FillText(LangGet("Msg_Unchanged_Skipped"), {{"count", std::to_string(count)}});
}

size_t FirstDifference(const uint8_t* a, const uint8_t* b, size_t n) {
  size_t i = 0;
  while (i < n && a[i] == b[i]) ++i;
  return i;
}

bool WriteVerified(Ui& ui, const std::string& prefix, bool verify, uint32_t address,
                   const uint8_t* wanted, uint32_t n, const std::function<int()>& write,
                   const std::function<int(uint8_t*)>& read, NorStretches& written,
                   NorStretches& readBack) {
  std::vector<uint8_t> back(verify ? n : 0);
  for (int attempt = 0;; ++attempt) {
    int r = write();
    if (r == kOk) written.Add(address, n);
    if (r == kOk && verify) {
      r = read(back.data());
      if (r == kOk) readBack.Add(address, n);
    }
    if (r != kOk) {
      ShowEngineError(ui, prefix, r);
      return false;
    }
    if (!verify) return true;
    const size_t at = FirstDifference(wanted, back.data(), n);
    if (at == n) return true;
    if (attempt == 1) {
      ui.Error(prefix +
               VerifyFailedText(address + static_cast<uint32_t>(at), wanted[at], back[at]));
      return false;
    }
    // The bar counted the write and the read that are now done again.
    ui.StepProgress(-2 * int64_t{n});
  }
}

}  // namespace brantle
