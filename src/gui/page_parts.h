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

#include "operations/flash_pages.h"
#include "window_context.h"

class QGridLayout;

namespace brantle::gui {

QPushButton* Button(QWidget* parent, const char* name, const char* key, Captions& captions);
QLabel* Label(QWidget* parent, const char* name, const char* key, Captions& captions);
// A label that shows a value (no caption of its own).
QLabel* ValueLabel(QWidget* parent, const char* name);
// An editable selector for a hexadecimal field.
QComboBox* HexField(QWidget* parent, const char* name);
// A caption over a read-only field that a dialog fills, with "Select" beside it, at
// rows row and row + 1 of the grid; the caption is named after the field ("T_X": "L_X").
struct ChosenName {
  QLineEdit* field;
  QPushButton* select;
};
ChosenName ChosenNameRow(QWidget* page, QGridLayout* grid, int row, const char* labelKey,
                         const std::string& name, const char* selectName, Captions& captions);
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
extern const OpenKind kOpenOgm;
extern const OpenKind kOpenS3;
extern const OpenKind kOpenTfs;

// A row of the grid: caption, the read-only name field, "Select" and "Clear".
class FileField : public QObject {
  Q_OBJECT
 public:
  FileField(QWidget* page, QGridLayout* grid, int row, const char* labelKey,
            const std::string& name, const std::string& selectName, WindowContext& context,
            OpenKind kind, std::string folderKey);
  std::string Name() const { return edit_->text().toStdString(); }
  void SetName(const std::string& name);
  QPushButton* SelectButton() const { return select_; }
 signals:
  void changed();

 private:
  QLineEdit* edit_;
  QPushButton* select_;
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
