#include "operations/operation_record.h"

#include <cstdio>

namespace brantle {
namespace {

void Append(std::string& text, const std::string& part) {
  if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
}

std::string Bytes(const char* verb, uint64_t bytes) {
  return bytes == 0 ? "" : std::string(verb) + " " + std::to_string(bytes) + " bytes";
}

}  // namespace

std::string TallyText(const OperationTally& t) {
  std::string text;
  Append(text, Bytes("read", t.Read.Bytes()));
  Append(text, Bytes("wrote", t.Programmed.Bytes()));
  Append(text, Bytes("erased", t.Erased.Bytes()));
  if (t.UnchangedCount > 0) Append(text, std::to_string(t.UnchangedCount) + " unchanged left out");
  if (!t.EepromKept.Empty()) Append(text, "EEPROM " + t.EepromKept.Text() + " kept");
  if (t.FilesSent > 0)
    Append(text, std::to_string(t.FilesSent) + " files (" + std::to_string(t.FileBytesSent) +
                     " bytes) sent to the file system");
  if (t.FilesLeftOut > 0) Append(text, std::to_string(t.FilesLeftOut) + " files left out");
  if (t.NandFormatted) Append(text, "NAND formatted");
  return text;
}

OperationRecord::OperationRecord(OperationFrame& frame, std::string name,
                                 const std::string& details, PhoneWrites writes)
    : frame_(frame),
      name_(std::move(name)),
      outermost_(frame.OpenRecords++ == 0),
      errorsBefore_(frame.ErrorsShown()),
      start_(std::chrono::steady_clock::now()) {
  if (!outermost_) return;
  // A new operation: a cancel of the one before no longer counts.
  frame.Cancel = false;
  std::string text = name_ + " started";
  if (!details.empty()) text += ": " + details;
  if (writes == PhoneWrites::Yes) {
    const Settings& s = frame.settings();
    text += std::string("; verify after writing ") + (s.VerifyWrites() ? "on" : "off") +
            ", skip unchanged sectors " + (s.SkipUnchanged() ? "on" : "off");
  }
  frame.LogEvent(text);
}

OperationRecord::~OperationRecord() {
  --frame_.OpenRecords;
  if (!outermost_) return;
  std::string text = name_ + " ";
  if (frame_.ErrorsShown() > errorsBefore_)
    text += "failed: " + frame_.LastError();
  else if (frame_.Cancel)
    text += "cancelled";
  else
    text += "completed";
  const std::string did = TallyText(frame_.Tally());
  if (!did.empty()) text += "; " + did;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "; %.1f s",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
  frame_.LogEvent(text + seconds);
}

}  // namespace brantle
