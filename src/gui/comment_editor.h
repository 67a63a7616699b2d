#pragma once
// The comment editor of the DIF parameters dialog: a rich-text editor with bold,
// italic and underline toggles, a font size list and a colour list (named colours
// and "Custom..."), which follow the selection. The comment goes in and out as the
// RTF document DIF files carry.

#include <QWidget>
#include <string>

class QComboBox;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

namespace brantle::gui {

class Captions;

class CommentEditor : public QWidget {
  Q_OBJECT
 public:
  explicit CommentEditor(Captions& captions, QWidget* parent = nullptr);

  void SetComment(const std::string& rtf);
  std::string Comment() const;
  // What the editor shows, as plain text (for the compatibility line).
  std::string PlainText() const;
  QTextEdit* Editor() const { return edit_; }

 signals:
  void changed();

 private:
  void Apply(const QTextCharFormat& format);
  void FollowSelection();
  void ColorChosen(int index);

  QTextEdit* edit_;
  QToolButton* bold_;
  QToolButton* italic_;
  QToolButton* underline_;
  QComboBox* size_;
  QComboBox* color_;
};

}  // namespace brantle::gui
