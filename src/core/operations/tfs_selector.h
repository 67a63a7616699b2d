#pragma once
// The rules of the dialog that picks files to flash into the phone's file system:
// rows of (file on this computer, TFS name), the standard folders to put them in,
// and which buttons are enabled. A pure model: the window renders it and passes the
// person's actions in.

#include <functional>
#include <string>
#include <vector>

#include "formats/tfs_pair.h"
#include "operations/operation_frame.h"
#include "ui/ui.h"

namespace brantle {

class TfsSelector {
 public:
  // Whether a source file still exists; rows whose source is gone are dropped.
  using FileExists = std::function<bool(const std::string&)>;
  explicit TfsSelector(FileExists exists = RegularFileExists);

  static bool RegularFileExists(const std::string& path);
  // The folder list: the phone's standard folders, each with "/", sorted.
  const std::vector<std::string>& Folders() const { return folders_; }

  // The edit fields; Folder and Name are the two parts of the TFS name. The folder
  // starts at the file system's root, so a name typed first is a whole TFS name.
  std::string Source;
  std::string Folder = "/";
  std::string Name;

  const std::vector<TfsUploadRow>& Rows() const { return rows_; }
  int Selected() const { return selected_; }  // -1: no row

  // "...": the files chosen in the dialog. One file becomes the source with its own
  // name proposed; several are added at once into the folder shown.
  void FilesChosen(const std::vector<std::string>& files);
  // "..." through the frame's multi-selection open dialog.
  bool Browse(OperationFrame& frame);
  void Add();
  void Modify();
  void Remove();
  // "Clear list": asks first.
  void Clear(Ui& ui);
  // Selecting a row shows it in the edit fields.
  void Select(int row);
  // Drops rows whose source is gone; every action above does it too.
  void Refresh();

  bool FlashEnabled() const { return !rows_.empty(); }
  bool RemoveEnabled() const { return selected_ >= 0; }
  // Add and Modify need a name that names a file (see IsTfsFileName).
  bool ModifyEnabled() const { return selected_ >= 0 && NameValid(); }
  bool AddEnabled() const;

 private:
  std::string TfsName(const std::string& name) const;
  bool NameValid() const;

  FileExists exists_;
  std::vector<std::string> folders_;
  std::vector<TfsUploadRow> rows_;
  int selected_ = -1;
};

}  // namespace brantle
