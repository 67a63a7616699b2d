#include "operations/connect_failures.h"

#include "engine/result_codes.h"
#include "lang/fill_text.h"
#include "lang/lang_get.h"

namespace brantle {

bool ConnectFailures::Record(const std::string& text) {
  if (count_ > 0 && text == text_) {
    ++count_;
    return false;
  }
  text_ = text;
  count_ = 1;
  return true;
}

void ConnectFailures::Forget() {
  text_.clear();
  count_ = 0;
}

std::string ConnectFailures::StatusLine() const {
  if (count_ == 0) return "";
  if (count_ == 1) return FillText(LangGet("Msg_Connect_Failed"), {{"error", text_}});
  return FillText(LangGet("Msg_Connect_Failed_Count"),
                  {{"count", std::to_string(count_)}, {"error", text_}});
}

std::string ConnectFailureHint(const ConnectFailureFacts& f) {
  if (f.Code == kErrLoader)
    return FillText(LangGet("Msg_Hint_Loaders"),
                    {{"folder", f.LoadersFolder}, {"button", LangGet("Win_Connect_Again")}});
  const std::string retry = LangGet("Win_Connect_Again");
  // The boot code answers the boot packet of its own family only.
  if (f.StepKey == "ErrC_Init_Bootup")
    return FillText(LangGet("Msg_Hint_Bootup"),
                    {{"type", f.PhoneType}, {"speed", f.Speed}, {"button", retry}});
  // Later steps fail on a line that loses bytes at the chosen speed, a loader of
  // another family, or a cable that came loose.
  return FillText(LangGet("Msg_Hint_Connect"),
                  {{"type", f.PhoneType}, {"speed", f.Speed}, {"button", retry}});
}

std::string PortGoneHint() {
  return LangGet("Msg_Hint_Port_Gone");
}

}  // namespace brantle
