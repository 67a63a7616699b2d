#include "engine/opti_connect.h"

#include "engine/result_codes.h"

namespace brantle {

OptiConnectResult RunOptiConnect(OptiEngine& engine, uint32_t speed,
                                 const std::string& flashesText) {
  OptiConnectResult result;
  const auto fail = [&](int code, const char* key) {
    result.code = code;
    result.prefixKey = key;
    return result;
  };
  // A missing loader file leaves the phone waiting in boot mode, untouched.
  if (!engine.LoaderAvailable()) return fail(kErrLoader, "ErrC_Init_Loader");
  if (const int r = engine.QueryBootInfo(); r != kOk) return fail(r, "ErrC_Init_Bootup");
  if (const int r = engine.UploadLoader(); r != kOk) return fail(r, "ErrC_Init_Loader");
  result.summary = SummarizeOptiFlash(engine.Flash, flashesText);
  if (!result.summary.ok) {
    engine.Close();
    result.flashDetectError = true;
    return fail(kErrUnexpected, "Err_Flash_Detect_Error");
  }
  if (const int r = engine.SetLoaderSpeed(speed); r != kOk) return fail(r, "ErrC_Init_Speed");
  if (const int r = engine.SetFlashParameters(); r != kOk) return fail(r, "ErrC_Init_Flash_Setup");
  return result;
}

bool OptiKeepAlive::Tick(OptiEngine& engine) {
  if (++ticks_ <= 40) return true;
  ticks_ = 0;
  if (engine.SyncLoader() == kOk) return true;
  engine.Close();
  return false;
}

}  // namespace brantle
