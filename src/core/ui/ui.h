#pragma once
// The one interface through which core code talks to a person: message boxes with
// their sounds, progress, the status line, message pumping, and the dialogs the
// workflows open. The window and the command line implement it; nothing in the
// core knows which one it runs under. A leaf: it depends on nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/window_state.h"

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

// A file dialog as a workflow asks for it. Filter and Title are display texts (a
// filter is "Description|pattern|Description|pattern..."). On OK the dialog fills
// Names (one name unless Many) and FilterIndex (1-based, the filter entry chosen).
struct FileDialog {
  enum class Mode { Open, OpenMany, Save };
  Mode DialogMode = Mode::Open;
  std::string DefaultExt;  // without the dot
  std::string Filter;
  std::string Title;
  std::string Folder;       // where the dialog starts; empty: its default
  std::string InitialName;  // Save only
  bool OverwritePrompt = false;
  std::vector<std::string> Names;
  int FilterIndex = 1;
};

// The DIF creation parameters dialog: the three selectors (by index; a disabled
// selector stays at its first entry) and the comment as an RTF document.
struct DifParametersDialog {
  std::string Caption;
  bool ComparisonEnabled = true;
  bool ReversalEnabled = true;
  int CType = 0;
  int RType = 0;
  int Compress = 0;
  std::string Comment;
};

// One file to write into the phone's file system: a file on this computer and the
// full name it gets there.
struct TfsUploadRow {
  std::string Source;
  std::string TfsName;
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

  // What a workflow asks beyond messages and progress. A front end without one of
  // these windows keeps the default: nothing shown, every dialog cancelled.

  // The window around an operation: controls, phone status, flash type, panels.
  virtual void ShowWindow(const WindowState&) {}
  virtual void SetEtaLine(const std::string&) {}
  // True when the person chose a file (or files) with OK.
  virtual bool RunFileDialog(FileDialog&) { return false; }
  // Runs the DIF creation parameters dialog modally; the values stay as the person
  // left them.
  virtual void EditDifParameters(DifParametersDialog&) {}
  // An input box: false when cancelled; value holds the default on entry.
  virtual bool InputBox(const std::string& /*title*/, const std::string& /*prompt*/,
                        std::string& /*value*/) {
    return false;
  }
  // The selector of files to flash into the phone's file system: true when closed
  // with the intent to flash the rows.
  virtual bool SelectTfsFiles(std::vector<TfsUploadRow>&) { return false; }

  // Shorthands.
  void Error(const std::string& text) { Message(MessageKind::Error, text, Buttons::Ok); }
  void Information(const std::string& text) {
    Message(MessageKind::Information, text, Buttons::Ok);
  }
};

}  // namespace brantle
