#pragma once
// The one interface through which core code talks to a person: message boxes with
// their sounds, progress, the status line, message pumping, and the dialogs the
// workflows open. The window and the command line implement it; nothing in the
// core knows which one it runs under. A leaf: it depends on nothing.

#include <cstdint>
#include <string>
#include <vector>

namespace brantle {

enum class MessageKind { Error, Information, Warning, Question };  // each has its sound
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// One loaded DIF file as the DIF information dialog shows it. The dialog may
// reorder the list (the order of application) and change the three choices;
// source says which loaded file a row stands for.
struct DIFChoice {
  std::string Name;     // file name without folder
  std::string Comment;  // rich text of the file's comment, empty if none
  bool HasNOR = false;
  bool HasReversal = false;
  bool HasTFS = false;
  bool Apply = false;
  bool Undo = false;
  bool TakeTFS = false;
  int source = 0;
};

class Ui {
 public:
  virtual ~Ui() = default;

  // Sounds the kind's tone, then shows text with the buttons; returns the answer.
  virtual Answer Message(MessageKind kind, const std::string& text, Buttons buttons) = 0;

  virtual void SetProgressRange(int64_t min, int64_t max) = 0;
  virtual void SetProgressPosition(int64_t position) = 0;
  virtual void StepProgress(int64_t delta) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  // Lets the window handle what is pending (Cancel button, repaint).
  virtual void PumpMessages() = 0;
  // Back to the idle window after an operation or a failed file step.
  virtual void ShowIdleState() = 0;

  // The DIF information dialog: true when the person confirmed with OK.
  virtual bool ChooseDIFs(std::vector<DIFChoice>& files) = 0;

  // Shorthands.
  void Error(const std::string& text) { Message(MessageKind::Error, text, Buttons::Ok); }
  void Information(const std::string& text) {
    Message(MessageKind::Information, text, Buttons::Ok);
  }
};

}  // namespace brantle
