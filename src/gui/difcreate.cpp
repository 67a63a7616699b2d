#include "difcreate.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "page_parts.h"

namespace brantle::gui {

CreateDifDialog::CreateDifDialog(OperationFrame& frame, TKTZDCF& model, QWidget* parent)
    : QDialog(parent), frame_(frame), model_(model) {
  setObjectName("KTZDCF");
  captions_.Add([this] { setWindowTitle(Tr("SCap_Create_DIF")); });
  auto* grid = new QGridLayout(this);
  grid->setColumnStretch(0, 1);
  bin1_ = Row(
      0, "SLbl_Original_BIN", "T_BIN1", [this] { return model_.SelectBIN1(frame_); },
      [this] { model_.ClearBIN1(); });
  bin2_ = Row(
      2, "SLbl_Target_BIN", "T_BIN2", [this] { return model_.SelectBIN2(frame_); },
      [this] { model_.ClearBIN2(); });
  tfs_ = Row(
      4, "SLbl_TFS", "T_TFS", [this] { return model_.SelectTFS(frame_); },
      [this] { model_.ClearTFS(); });
  difs_ = Row(
      6, "SLbl_DIFs", "T_DIFs", [this] { return model_.SelectDIFs(frame_); },
      [this] { model_.ClearDIFs(); });
  QPushButton* parameters = Button(this, "B_DIFParameters", "SBtn_DIF_Parameters", captions_);
  create_ = Button(this, "B_CreateDIF", "SBtn_CreateDIF", captions_);
  QPushButton* cancel = Button(this, "B_Cancel", "SBtn_Cancel", captions_);
  grid->setRowStretch(8, 1);
  grid->addWidget(parameters, 9, 0, Qt::AlignLeft);
  grid->addWidget(create_, 9, 1);
  grid->addWidget(cancel, 9, 2);
  resize(560, 330);
  connect(parameters, &QPushButton::clicked, this, [this] { model_.EditParameters(frame_); });
  connect(create_, &QPushButton::clicked, this, [this] {
    if (model_.Confirm()) accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* CreateDifDialog::Row(int row, const char* labelKey, const char* name,
                                const std::function<bool()>& select,
                                const std::function<void()>& clear) {
  auto* grid = static_cast<QGridLayout*>(layout());
  const std::string part = std::string(name).substr(2);
  grid->addWidget(Label(this, ("L_" + part).c_str(), labelKey, captions_), row, 0, 1, 3);
  auto* field = new QLineEdit(this);
  field->setObjectName(name);
  field->setReadOnly(true);
  LeftToRight(field);
  QPushButton* selectButton = Button(this, ("BS_" + part).c_str(), "SBtn_Select", captions_);
  QPushButton* clearButton = Button(this, ("BC_" + part).c_str(), "SBtn_Clear", captions_);
  grid->addWidget(field, row + 1, 0);
  grid->addWidget(selectButton, row + 1, 1);
  grid->addWidget(clearButton, row + 1, 2);
  connect(selectButton, &QPushButton::clicked, this, [this, select] {
    select();
    Refresh();
  });
  connect(clearButton, &QPushButton::clicked, this, [this, clear] {
    clear();
    Refresh();
  });
  return field;
}

void CreateDifDialog::Refresh() {
  const CreateDifState state = model_.State();
  bin1_->setText(QString::fromStdString(model_.BIN1()));
  bin2_->setText(QString::fromStdString(model_.BIN2()));
  tfs_->setText(QString::fromStdString(model_.TFS()));
  difs_->setText(QString::fromStdString(state.Summary));
  create_->setEnabled(state.CreateEnabled);
}

void CreateDifDialog::Run() {
  model_.Shown();
  Refresh();
  exec();
}

}  // namespace brantle::gui
