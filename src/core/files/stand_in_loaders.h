#pragma once
// --simulate without real loaders. The virtual phone takes any loader of the right
// size, so a demo run needs no real ones: when the loaders folder lacks what the
// simulated family is sent, a demo set is written into a new temporary folder that
// serves as the loaders folder for this run and is removed when the run ends. The
// engine sends a demo image only to a pseudo-terminal, so a stand-in can never reach
// a real phone.

#include <string>

namespace brantle {

class StandInLoaders {
 public:
  StandInLoaders() = default;
  StandInLoaders(const StandInLoaders&) = delete;
  StandInLoaders& operator=(const StandInLoaders&) = delete;
  // Removes the folder it made; DefaultLoadersFolder is the usual one again.
  ~StandInLoaders();

  // folder: the loaders folder the program would use. Keeps it when it holds every
  // loader a phone of family (and model, for "Opti") is sent, at its right size;
  // otherwise writes a demo set into a new folder under $TMPDIR (else /tmp) and makes
  // that the loaders folder of this run. False with error set when it cannot.
  bool Prepare(const std::string& folder, const std::string& family, const std::string& model,
               std::string& error);

  // The loaders of this run are demo images: made by Prepare, or found in the folder.
  bool Used() const { return !lacking_.empty(); }
  // The folder Prepare made; empty when it made none.
  const std::string& MadeFolder() const { return made_; }
  // What the person is told while stand-ins are used ("Msg_Stand_In_Loaders").
  std::string Notice() const;

 private:
  std::string lacking_;  // the loaders folder without real loaders
  std::string made_;
};

}  // namespace brantle
