#include "tfssel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "operations/operation_frame.h"
#include "page_parts.h"

namespace brantle::gui {

TTFSSelector::TTFSSelector(OperationFrame& frame, QWidget* parent)
    : QDialog(parent), frame_(frame) {
  setObjectName("TFSSelector");
  captions_.Add([this] { setWindowTitle(Tr("SCap_TFS_Files")); });
  list_ = new QTreeWidget(this);
  list_->setObjectName("G_TFSFiles");
  list_->setColumnCount(2);
  list_->setRootIsDecorated(false);
  list_->header()->setSectionResizeMode(QHeaderView::Stretch);
  captions_.Add([this] {
    list_->setHeaderLabels({Tr("SLbl_File_Name"), Tr("SLbl_TFS_File_Name")});
  });
  source_ = new QLineEdit(this);
  source_->setObjectName("T_Source");
  LeftToRight(source_);
  auto* browse = new QPushButton("...", this);
  browse->setObjectName("B_Browse");
  folder_ = new QComboBox(this);
  folder_->setObjectName("S_Folder");
  folder_->setEditable(true);
  LeftToRight(folder_);
  for (const std::string& f : model_.Folders()) folder_->addItem(QString::fromStdString(f));
  name_ = new QLineEdit(this);
  name_->setObjectName("T_Name");
  LeftToRight(name_);
  add_ = Button(this, "B_Add", "SBtn_Add", captions_);
  remove_ = Button(this, "B_Remove", "SBtn_Remove", captions_);
  modify_ = Button(this, "B_Modify", "SBtn_Modify", captions_);
  clear_ = Button(this, "B_ClearList", "SBtn_Clear_List", captions_);
  flash_ = Button(this, "B_FlashTFS", "SBtn_Flash_TFS", captions_);
  QPushButton* cancel = Button(this, "B_Cancel", "SBtn_Cancel", captions_);

  auto* grid = new QGridLayout(this);
  grid->addWidget(list_, 0, 0, 1, 4);
  grid->addWidget(Label(this, "L_Source", "SLbl_File", captions_), 1, 0);
  grid->addWidget(source_, 1, 1, 1, 2);
  grid->addWidget(browse, 1, 3);
  grid->addWidget(Label(this, "L_TFSName", "SLbl_TFS_File", captions_), 2, 0);
  grid->addWidget(folder_, 2, 1);
  grid->addWidget(name_, 2, 2, 1, 2);
  auto* row = new QHBoxLayout;
  for (QPushButton* b : {add_, remove_, modify_, clear_}) row->addWidget(b);
  row->addStretch(1);
  row->addWidget(flash_);
  row->addWidget(cancel);
  grid->addLayout(row, 3, 0, 1, 4);
  grid->setColumnStretch(2, 1);
  resize(600, 400);

  connect(browse, &QPushButton::clicked, this, [this] {
    TakeFields();
    model_.Browse(frame_);
    Refresh();
  });
  const std::pair<QPushButton*, std::function<void()>> actions[] = {
      {add_, [this] { model_.Add(); }},
      {remove_, [this] { model_.Remove(); }},
      {modify_, [this] { model_.Modify(); }},
      {clear_, [this] { model_.Clear(frame_); }}};
  for (const auto& entry : actions)
    connect(entry.first, &QPushButton::clicked, this, [this, action = entry.second] {
      TakeFields();
      action();
      Refresh();
    });
  for (QLineEdit* field : {source_, name_})
    connect(field, &QLineEdit::textEdited, this, [this] {
      TakeFields();
      add_->setEnabled(model_.AddEnabled());
    });
  connect(folder_, &QComboBox::currentTextChanged, this, [this] {
    TakeFields();
    add_->setEnabled(model_.AddEnabled());
  });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row == model_.Selected()) return;
    model_.Select(row);
    Refresh();
  });
  connect(flash_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  Refresh();
}

void TTFSSelector::TakeFields() {
  model_.Source = source_->text().toStdString();
  model_.Folder = folder_->currentText().toStdString();
  model_.Name = name_->text().toStdString();
}

void TTFSSelector::Refresh() {
  const QSignalBlocker q1(list_), q2(folder_);
  list_->clear();
  for (const TfsUploadRow& r : model_.Rows())
    list_->addTopLevelItem(
        new QTreeWidgetItem({QString::fromStdString(r.Source), QString::fromStdString(r.TfsName)}));
  if (model_.Selected() >= 0) list_->setCurrentItem(list_->topLevelItem(model_.Selected()));
  source_->setText(QString::fromStdString(model_.Source));
  folder_->setEditText(QString::fromStdString(model_.Folder));
  name_->setText(QString::fromStdString(model_.Name));
  add_->setEnabled(model_.AddEnabled());
  remove_->setEnabled(model_.RemoveEnabled());
  modify_->setEnabled(model_.ModifyEnabled());
  clear_->setEnabled(!model_.Rows().empty());
  flash_->setEnabled(model_.FlashEnabled());
}

bool TTFSSelector::Run(std::vector<TfsUploadRow>& rows) {
  model_.Refresh();
  Refresh();
  if (exec() != QDialog::Accepted || !model_.FlashEnabled()) return false;
  rows = model_.Rows();
  return true;
}

}  // namespace brantle::gui
