#include "difif.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include "page_parts.h"
#include "rich_text.h"

namespace brantle::gui {
namespace {

enum Column { kName, kApply, kUndo, kTfs };

QTableWidgetItem* Box(bool checked, bool enabled) {
  auto* item = new QTableWidgetItem;
  item->setFlags(enabled ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable
                         : Qt::ItemIsSelectable);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

}  // namespace

TDIFInfo::TDIFInfo(QWidget* parent) : QDialog(parent) {
  setObjectName("DIFInfo");
  captions_.Add([this] { setWindowTitle(Tr("SCap_Open_DIFs")); });
  table_ = new QTableWidget(0, 4, this);
  table_->setObjectName("G_DIFs");
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  captions_.Add([this] {
    table_->setHorizontalHeaderLabels(
        {Tr("Win_Col_DIF"), Tr("SHdr_Apply"), Tr("SHdr_Undo"), Tr("Win_Col_TFS")});
  });
  // Six rows visible at once; more scroll.
  const int rowHeight = table_->verticalHeader()->defaultSectionSize();
  table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() +
                         kDIFInfoRows * rowHeight + 2 * table_->frameWidth());
  comment_ = new QTextEdit(this);
  comment_->setObjectName("E_SelectedComment");
  comment_->setReadOnly(true);
  QPushButton* up = Button(this, "B_MoveUp", "SBtn_Move_Up", captions_);
  QPushButton* down = Button(this, "B_MoveDown", "SBtn_Move_Down", captions_);
  QPushButton* ok = Button(this, "B_OK", "Win_OK", captions_);
  QPushButton* cancel = Button(this, "B_Cancel", "SBtn_Cancel", captions_);
  ok->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(up);
  buttons->addWidget(down);
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(Label(this, "L_SelectedComment", "SLbl_Selected_DIF_Comment", captions_));
  layout->addWidget(comment_, 1);
  layout->addLayout(buttons);
  resize(520, 440);

  connect(table_, &QTableWidget::itemChanged, this,
          [this](QTableWidgetItem* item) { BoxClicked(item->row(), item->column()); });
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (row < 0) return;
    view_.selected = row;
    ShowComment();
  });
  connect(up, &QPushButton::clicked, this, [this] { Move(true); });
  connect(down, &QPushButton::clicked, this, [this] { Move(false); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TDIFInfo::Show(const std::vector<DIFChoice>& files) {
  files_ = files;
  view_ = DIFInfoView{};
  Fill();
}

bool TDIFInfo::Run(std::vector<DIFChoice>& files) {
  Show(files);
  if (exec() != QDialog::Accepted) return false;
  files = files_;
  return true;
}

void TDIFInfo::Fill() {
  const QSignalBlocker quiet(table_);
  table_->setRowCount(static_cast<int>(files_.size()));
  for (int row = 0; row < table_->rowCount(); ++row) {
    const DIFChoice& f = files_[static_cast<size_t>(row)];
    auto* name = new QTableWidgetItem(QString::fromStdString(f.Name));
    name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    table_->setItem(row, kName, name);
    table_->setItem(row, kApply, Box(f.Apply, f.HasNOR));
    table_->setItem(row, kUndo, Box(f.Undo, f.HasReversal));
    table_->setItem(row, kTfs, Box(f.TakeTFS, f.HasTFS));
  }
  if (!files_.empty()) table_->selectRow(view_.selected);
  table_->verticalScrollBar()->setValue(view_.firstVisible);
  ShowComment();
}

void TDIFInfo::BoxClicked(int row, int column) {
  if (column == kName || row < 0 || row >= static_cast<int>(files_.size())) return;
  DIFChoice& f = files_[static_cast<size_t>(row)];
  const bool checked = table_->item(row, column)->checkState() == Qt::Checked;
  if (column == kApply) CheckApply(f, checked);
  if (column == kUndo) CheckUndo(f, checked);
  if (column == kTfs) CheckTakeTFS(f, checked);
  // The rules may clear or refuse boxes of the row: show what they decided.
  const QSignalBlocker quiet(table_);
  table_->item(row, kApply)->setCheckState(f.Apply ? Qt::Checked : Qt::Unchecked);
  table_->item(row, kUndo)->setCheckState(f.Undo ? Qt::Checked : Qt::Unchecked);
  table_->item(row, kTfs)->setCheckState(f.TakeTFS ? Qt::Checked : Qt::Unchecked);
}

void TDIFInfo::Move(bool up) {
  view_.firstVisible = table_->verticalScrollBar()->value();
  if (up ? MoveChoiceUp(files_, view_) : MoveChoiceDown(files_, view_)) Fill();
}

void TDIFInfo::ShowComment() {
  if (view_.selected < 0 || view_.selected >= static_cast<int>(files_.size())) {
    comment_->clear();
    return;
  }
  LoadRtf(*comment_->document(), files_[static_cast<size_t>(view_.selected)].Comment);
}

}  // namespace brantle::gui
