#pragma once
// What the window tells about connect attempts that failed. The first failure is
// shown in a box with its likely causes; the same failure again only in the status
// line, with the number of attempts, until something changes that could make the
// next attempt go otherwise: a setting, the port list, a connect that succeeded.
// A person who answers every box with Return thus sees one box, not one every few
// seconds.

#include <string>

namespace brantle {

class ConnectFailures {
 public:
  // A failed attempt whose message (one line, without the causes) is text. True when
  // the person is to see it in a box: the first failure, or one other than the last.
  bool Record(const std::string& text);
  // Something changed: the next failure is told in a box again.
  void Forget();

  int Count() const { return count_; }
  // The status line while the window waits for the person: "Connect failed: ...", or
  // "3 attempts failed: ..." after repeats. Empty when nothing failed since the last
  // change.
  std::string StatusLine() const;

 private:
  std::string text_;
  int count_ = 0;
};

// The facts the likely causes of a failed connect step are told from.
struct ConnectFailureFacts {
  std::string StepKey;        // the step's message prefix key, e.g. "ErrC_Init_Bootup"
  int Code = 0;               // the step's result code
  std::string PhoneType;      // the phone type chosen on the Settings page, as listed
  std::string Speed;          // the speed after the switch, in bit/s
  std::string LoadersFolder;  // where the loader files are looked for
};

// The likely causes in plain words, naming the settings to check and their values
// now; the box shows them under the error.
std::string ConnectFailureHint(const ConnectFailureFacts& facts);

// The same for a port that was there and has gone (an adapter unplugged).
std::string PortGoneHint();

}  // namespace brantle
