#pragma once
// The modal questions of the window: message boxes, file dialogs, input boxes and
// the dialogs the workflows open. The window asks them through this seam, so that
// a test can answer them from a script while everything else is the real window.

#include <string>
#include <vector>

#include "ui/ui.h"

class QWidget;

namespace brantle {
class OperationFrame;
class TKTZDCF;
}  // namespace brantle

namespace brantle::gui {

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual Answer Message(QWidget* parent, MessageKind kind, const std::string& text,
                         Buttons buttons) = 0;
  virtual bool RunFileDialog(QWidget* parent, FileDialog& dialog) = 0;
  virtual bool InputBox(QWidget* parent, const std::string& title, const std::string& prompt,
                        std::string& value) = 0;
  virtual bool ChooseDIFs(QWidget* parent, std::vector<DIFChoice>& files) = 0;
  virtual void EditDifParameters(QWidget* parent, DifParametersDialog& dialog) = 0;
  virtual bool SelectTfsFiles(QWidget* parent, std::vector<TfsUploadRow>& rows) = 0;
  // "Create DIF from BINs/DIF/TFS...": runs the dialog on the model; the caller
  // creates the DIF when the model was confirmed.
  virtual void RunCreateDif(QWidget* parent, OperationFrame& frame, TKTZDCF& dialog) = 0;
  // The file manager window (not modal).
  virtual void ShowTfsFileManager(QWidget* parent, const std::string& family) = 0;
  // The desktop's file manager on a folder.
  virtual void OpenFolder(const std::string& folder) = 0;
};

}  // namespace brantle::gui
