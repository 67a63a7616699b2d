#include "comment_editor.h"

#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "captions.h"
#include "operations/comment_file.h"
#include "rich_text.h"

namespace brantle::gui {
namespace {

const int kSizes[] = {8, 10, 12, 14, 16};

// The named colours of the list, shown as swatches.
const QColor kColors[] = {Qt::black,       Qt::darkRed,  Qt::red,  Qt::darkGreen,
                          Qt::green,       Qt::darkBlue, Qt::blue, QColor(0x80, 0x80, 0),
                          Qt::darkMagenta, Qt::darkCyan, Qt::gray, Qt::white};

QIcon Swatch(const QColor& color) {
  QPixmap pixmap(16, 12);
  pixmap.fill(color);
  return QIcon(pixmap);
}

QToolButton* Toggle(QWidget* parent, const char* name, const char* letter, Captions& captions,
                    const char* tipKey) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(letter);
  b->setCheckable(true);
  captions.Tip(b, tipKey);
  return b;
}

}  // namespace

CommentEditor::CommentEditor(Captions& captions, QWidget* parent) : QWidget(parent) {
  bold_ = Toggle(this, "B_Bold", "B", captions, "Win_Bold");
  QFont f = bold_->font();
  f.setBold(true);
  bold_->setFont(f);
  italic_ = Toggle(this, "B_Italic", "I", captions, "Win_Italic");
  f = italic_->font();
  f.setItalic(true);
  italic_->setFont(f);
  underline_ = Toggle(this, "B_Underline", "U", captions, "Win_Underline");
  f = underline_->font();
  f.setUnderline(true);
  underline_->setFont(f);
  size_ = new QComboBox(this);
  size_->setObjectName("S_FontSize");
  for (int s : kSizes) size_->addItem(QString::number(s), s);
  captions.Tip(size_, "Win_Font_Size");
  color_ = new QComboBox(this);
  color_->setObjectName("S_Color");
  for (const QColor& c : kColors) color_->addItem(Swatch(c), "", c);
  color_->addItem("");
  captions.Add([this] { color_->setItemText(color_->count() - 1, Tr("SColor_Custom")); });
  captions.Tip(color_, "Win_Color");
  edit_ = new QTextEdit(this);
  edit_->setObjectName("E_Comment");
  edit_->setAcceptRichText(true);
  // Unstyled text has the size a plain-text comment file is loaded at.
  QFont font = edit_->font();
  font.setPointSizeF(kCommentPointSize);
  edit_->setFont(font);

  auto* tools = new QHBoxLayout;
  tools->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : std::initializer_list<QWidget*>{bold_, italic_, underline_, size_, color_})
    tools->addWidget(w);
  tools->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(tools);
  layout->addWidget(edit_, 1);

  connect(bold_, &QToolButton::toggled, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    Apply(f);
  });
  connect(italic_, &QToolButton::toggled, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontItalic(on);
    Apply(f);
  });
  connect(underline_, &QToolButton::toggled, this, [this](bool on) {
    QTextCharFormat f;
    f.setFontUnderline(on);
    Apply(f);
  });
  connect(size_, qOverload<int>(&QComboBox::activated), this, [this](int i) {
    QTextCharFormat f;
    f.setFontPointSize(size_->itemData(i).toInt());
    Apply(f);
  });
  connect(color_, qOverload<int>(&QComboBox::activated), this, [this](int i) { ColorChosen(i); });
  connect(edit_, &QTextEdit::currentCharFormatChanged, this, [this] { FollowSelection(); });
  connect(edit_, &QTextEdit::cursorPositionChanged, this, [this] { FollowSelection(); });
  connect(edit_, &QTextEdit::textChanged, this, &CommentEditor::changed);
  FollowSelection();
}

void CommentEditor::Apply(const QTextCharFormat& format) {
  // On a selection the format changes it; without one it is what is typed next.
  edit_->mergeCurrentCharFormat(format);
  edit_->setFocus();
}

void CommentEditor::ColorChosen(int index) {
  QColor color;
  if (index == color_->count() - 1) {
    color = QColorDialog::getColor(edit_->currentCharFormat().foreground().color(), this);
    if (!color.isValid()) return FollowSelection();
  } else {
    color = color_->itemData(index).value<QColor>();
  }
  QTextCharFormat f;
  f.setForeground(color);
  Apply(f);
}

void CommentEditor::FollowSelection() {
  const QTextCharFormat f = edit_->currentCharFormat();
  const QSignalBlocker b1(bold_), b2(italic_), b3(underline_), b4(size_), b5(color_);
  bold_->setChecked(f.fontWeight() >= QFont::Bold);
  italic_->setChecked(f.fontItalic());
  underline_->setChecked(f.fontUnderline());
  const int points =
      f.fontPointSize() > 0 ? static_cast<int>(f.fontPointSize() + 0.5) : edit_->font().pointSize();
  const int sizeIndex = size_->findData(points);
  size_->setCurrentIndex(sizeIndex >= 0 ? sizeIndex
                                        : size_->findData(static_cast<int>(kCommentPointSize)));
  const QColor color =
      f.foreground().style() == Qt::NoBrush ? QColor(Qt::black) : f.foreground().color();
  int colorIndex = -1;
  for (int i = 0; i + 1 < color_->count(); ++i)
    if (color_->itemData(i).value<QColor>() == color) colorIndex = i;
  color_->setCurrentIndex(colorIndex >= 0 ? colorIndex : color_->count() - 1);
}

void CommentEditor::SetComment(const std::string& rtf) {
  LoadRtf(*edit_->document(), rtf);
  FollowSelection();
}

std::string CommentEditor::Comment() const {
  return SaveRtf(*edit_->document());
}

std::string CommentEditor::PlainText() const {
  return edit_->toPlainText().toStdString();
}

}  // namespace brantle::gui
