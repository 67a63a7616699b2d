#include "difpform.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "comment_editor.h"
#include "dif/DIFCore.h"
#include "operations/comment_file.h"
#include "operations/operation_frame.h"
#include "page_parts.h"

namespace brantle::gui {
namespace {

QComboBox* Selector(QWidget* parent, const char* name, Captions& captions,
                    const std::vector<std::string>& keys) {
  auto* s = new QComboBox(parent);
  s->setObjectName(name);
  captions.Items(s, keys);
  return s;
}

}  // namespace

TNDPF::TNDPF(OperationFrame& frame, QWidget* parent) : QDialog(parent), frame_(frame) {
  setObjectName("NDPF");
  cType_ = Selector(this, "CType", captions_, ComparisonTypeKeys());
  rType_ = Selector(this, "RType", captions_, ReversalTypeKeys());
  compress_ = Selector(this, "Compress", captions_, CompressionKeys());
  compatibility_ = new QLabel(this);
  compatibility_->setObjectName("T_Compatibility");
  editor_ = new CommentEditor(captions_, this);

  auto* form = new QFormLayout;
  const std::pair<QWidget*, const char*> rows[] = {{cType_, "SLbl_Comparison_Type"},
                                                   {rType_, "SLbl_Reversal_Type"},
                                                   {compress_, "SLbl_Compression_Type"},
                                                   {compatibility_, "SLbl_DIF_Compatibility"}};
  for (const auto& [control, key] : rows)
    form->addRow(Label(this, ("L_" + control->objectName().toStdString()).c_str(), key, captions_),
                 control);
  auto* buttons = new QHBoxLayout;
  QPushButton* load = Button(this, "B_LoadComment", "SBtn_Load_Comment", captions_);
  QPushButton* save = Button(this, "B_SaveComment", "SBtn_Save_Comment", captions_);
  QPushButton* ok = Button(this, "B_OK", "Win_OK", captions_);
  ok->setDefault(true);
  buttons->addWidget(load);
  buttons->addWidget(save);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Label(this, "L_Comment", "SLbl_DIF_Comment", captions_));
  layout->addWidget(editor_, 1);
  layout->addLayout(buttons);
  resize(520, 420);

  for (QComboBox* s : {cType_, rType_, compress_})
    connect(s, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { Compatibility(); });
  connect(editor_, &CommentEditor::changed, this, [this] { Compatibility(); });
  connect(load, &QPushButton::clicked, this, [this] { LoadComment(); });
  connect(save, &QPushButton::clicked, this, [this] { SaveComment(); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TNDPF::Load(const DifParametersDialog& p) {
  setWindowTitle(QString::fromStdString(p.Caption));
  cType_->setEnabled(p.ComparisonEnabled);
  rType_->setEnabled(p.ReversalEnabled);
  // A selector the caller disabled starts at its first entry.
  cType_->setCurrentIndex(p.ComparisonEnabled ? p.CType : 0);
  rType_->setCurrentIndex(p.ReversalEnabled ? p.RType : 0);
  compress_->setCurrentIndex(p.Compress);
  editor_->SetComment(p.Comment);
  Compatibility();
}

void TNDPF::Store(DifParametersDialog& p) const {
  p.CType = cType_->currentIndex();
  p.RType = rType_->currentIndex();
  p.Compress = compress_->currentIndex();
  p.Comment = editor_->Comment();
}

void TNDPF::Run(DifParametersDialog& parameters) {
  Load(parameters);
  exec();
  Store(parameters);
}

void TNDPF::Compatibility() {
  compatibility_->setText(QString::fromStdString(DIFCompatibilityText(
      rType_->currentIndex(), compress_->currentIndex(), editor_->PlainText())));
}

void TNDPF::LoadComment() {
  if (!frame_.SelectOpenFile("rtf", "FF_RTFR", "FF_RTFR_Caption", "DIFCreate_RTFOpen")) return;
  std::string rtf;
  if (ReadCommentFile(frame_, frame_.FileName(), rtf)) editor_->SetComment(rtf);
}

void TNDPF::SaveComment() {
  if (!frame_.SelectSaveFile("rtf", "FF_RTFW", "FF_RTFW_Caption", "DIFCreate_RTFSave", true))
    return;
  WriteCommentFile(frame_, frame_.FileName(), editor_->Comment());
}

}  // namespace brantle::gui
