#pragma once
// The pieces the tab pages are built from: named controls with their captions, a
// file field with its "Select" and "Clear" buttons, and the undo row of a page that
// writes the phone.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "operations/flash_pages.h"
#include "path_entry.h"
#include "window_context.h"

class QGridLayout;

namespace brantle::gui {

QPushButton* Button(QWidget* parent, const char* name, const char* key, Captions& captions);
QLabel* Label(QWidget* parent, const char* name, const char* key, Captions& captions);
// A label that shows a value (no caption of its own).
QLabel* ValueLabel(QWidget* parent, const char* name);
// Addresses, hexadecimal bytes and paths read left to right in every language, also
// where the window is laid out right to left.
void LeftToRight(QWidget* control);
// An editable selector for a hexadecimal field. Neither the mouse wheel nor a
// completion changes what is typed in it.
QComboBox* HexField(QWidget* parent, const char* name);
// The entries its list offers; the typed text stays.
void SetChoices(QComboBox* field, const std::vector<std::string>& choices);
// A caption over a name field that a dialog fills, with "Select" beside it, at rows
// row and row + 1 of the grid; the caption is named after the field ("T_X": "L_X").
// Where the field takes typed and dropped paths, the page handles PathEntry::given.
struct ChosenName {
  PathEntry* field;
  QPushButton* select;
};
ChosenName ChosenNameRow(QWidget* page, QGridLayout* grid, int row, const char* labelKey,
                         const std::string& name, const char* selectName, Captions& captions,
                         PathEntry::Takes takes = PathEntry::Takes::Nothing);
// Runs rule when the field is left, an item is picked or Enter is pressed.
void OnFieldDone(QComboBox* field, const std::function<void()>& rule);

// What an open dialog for one file kind needs: default extension, filter and
// caption keys, and the remembered folder's key.
struct OpenKind {
  const char* Ext;
  const char* Filter;
  const char* Title;
};
extern const OpenKind kOpenBin;
extern const OpenKind kOpenS3;
extern const OpenKind kOpenTfs;

// A row of the grid: caption, the name field, "Select" and "Clear". A file chosen in
// the dialog, typed, pasted or dropped is taken only when it can be read as an input;
// otherwise the error box says why and the field keeps the file it had.
class FileField : public QObject {
  Q_OBJECT
 public:
  FileField(QWidget* page, QGridLayout* grid, int row, const char* labelKey,
            const std::string& name, const std::string& selectName, WindowContext& context,
            OpenKind kind, std::string folderKey);
  // The file taken (not what is being typed).
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  QPushButton* SelectButton() const { return select_; }
 signals:
  void changed();

 private:
  void Take(const std::string& path);

  OperationFrame& frame_;
  PathEntry* edit_;
  QPushButton* select_;
  std::string name_;
};

// "Create undo information (DIF) when flashing" and "DIF options...": the page's
// undo choice, kept for the run.
class UndoRow : public QObject {
  Q_OBJECT
 public:
  UndoRow(QWidget* page, QGridLayout* grid, int row, const std::string& pageName,
          WindowContext& context, const char* checkKey = "SChk_Create_Undo_Flashing");
  // The check box read now; the DIF options as last edited.
  FlashUndoChoice& Choice();

 private:
  QCheckBox* make_;
  FlashUndoChoice choice_;
};

}  // namespace brantle::gui
