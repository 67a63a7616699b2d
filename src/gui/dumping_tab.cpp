#include "dumping_tab.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "page_parts.h"
#include "region_box.h"
#include "sub_pages.h"

namespace brantle::gui {
namespace {

const DumpFileType kTypes[3] = {DumpFileType::BinCla, DumpFileType::S3, DumpFileType::Dif};

struct SaveKind {
  const char* Ext;
  const char* Filter;
  const char* Title;
};

SaveKind SaveKindOf(DumpFileType type) {
  switch (type) {
    case DumpFileType::S3:
      return {"s3", "FF_S3", "FF_S3W_Caption"};
    case DumpFileType::Dif:
      return {"dif", "FF_DIF", "FF_DIFW_Caption"};
    case DumpFileType::BinCla:
      break;
  }
  return {"bin", "FF_BIN", "FF_BINW_Caption"};
}

}  // namespace

DumpingTab::DumpingTab(WindowContext& context) : context_(context) {
  setObjectName("P_Dumping");
  auto* pages = new SubPages(this, "L_Dumping", context.captions);
  (new QHBoxLayout(this))->addWidget(pages);
  pages->Add(NorPage(), "Btn_Dump_S3");
  pages->Add(S500Page(), "Btn_Dump_S500");
  connect(pages, &SubPages::shown, this, [this] {
    s500_.TabShown();
    Refresh();
  });
  pages->Start();
}

QWidget* DumpingTab::NorPage() {
  auto* page = new QWidget;
  page->setObjectName("T_DumpNOR");
  auto* grid = new QGridLayout(page);
  grid->setColumnStretch(0, 1);
  const ChosenName target = ChosenNameRow(page, grid, 0, "Win_Target_File", "T_DumpNOR_Tgt",
                                          "BS_DumpNOR_Tgt", context_.captions);
  target_ = target.field;

  auto* typeRow = new QHBoxLayout;
  typeRow->addWidget(Label(page, "L_DumpNOR_Type", "SLbl_File_Type", context_.captions));
  auto* group = new QButtonGroup(this);
  const char* names[3] = {"R_DumpNOR_BIN", "R_DumpNOR_S3", "R_DumpNOR_DIF"};
  const char* keys[3] = {"Win_Type_BIN", "Win_Type_S3", "Win_Type_DIF"};
  for (int i = 0; i < 3; ++i) {
    types_[i] = new QRadioButton(page);
    types_[i]->setObjectName(names[i]);
    context_.captions.Text(types_[i], keys[i]);
    group->addButton(types_[i], i);
    typeRow->addWidget(types_[i]);
  }
  types_[0]->setChecked(true);
  difOptions_ = Button(page, "B_DumpNOR_DIFOptions", "Win_DIF_Options", context_.captions);
  typeRow->addWidget(difOptions_);
  typeRow->addStretch(1);
  grid->addLayout(typeRow, 2, 0, 1, 3);

  grid->addWidget(Label(page, "L_DumpNOR_Mode", "Win_Dump_Mode", context_.captions), 3, 0, 1, 3);
  region_ = new RegionBox(page, grid, 4, RegionTab::Dumping, "DumpNOR", context_);
  grid->setRowStretch(5, 1);
  dumpDo_ = new QPushButton(page);
  dumpDo_->setObjectName("B_DumpNOR_Do");
  context_.captions.Add([this] { dumpDo_->setText(Tr(actionKey_)); });
  grid->addWidget(dumpDo_, 6, 1, 1, 2);

  connect(target.select, &QPushButton::clicked, this, [this] { ChooseTarget(); });
  connect(group, &QButtonGroup::idClicked, this, [this] { FileTypeClicked(); });
  connect(region_, &RegionBox::touched, this, [this] { Presets(); });
  connect(difOptions_, &QPushButton::clicked, this,
          [this] { context_.frame.EditUndoParameters(difParams_, "SCap_DIF_Create_Parameters"); });
  connect(dumpDo_, &QPushButton::clicked, this, [this] {
    Presets();
    context_.run([this] {
      DumpNor(context_.frame, context_.driver, region_->StartText(), region_->EndText(), FileType(),
              target_->text().toStdString(), difParams_);
    });
  });
  return page;
}

DumpFileType DumpingTab::FileType() const {
  for (int i = 0; i < 3; ++i)
    if (types_[i]->isChecked()) return kTypes[i];
  return DumpFileType::BinCla;
}

void DumpingTab::Presets() {
  RegionControls controls = region_->Controls();
  controls.FileType = FileType();
  controls.TargetName = target_->text().toStdString();
  const RegionState state = ComputeRegionPreset(controls, context_.frame.Areas());
  region_->Show(state);
  for (int i = 0; i < 3; ++i) types_[i]->setChecked(kTypes[i] == state.FileType);
  target_->setText(QString::fromStdString(state.TargetName));
  difOptions_->setEnabled(state.DifOptionsEnabled);
  actionKey_ = RegionCaptionKey(state.Caption);
  dumpDo_->setText(Tr(actionKey_));
  dumpReady_ = state.ActionEnabled;
  dumpDo_->setEnabled(context_.frame.State().PhoneCommand(dumpReady_));
}

void DumpingTab::FileTypeClicked() {
  const DumpFileType type = FileType();
  target_->setText(
      QString::fromStdString(ApplyTargetExtension(target_->text().toStdString(), type)));
  difOptions_->setEnabled(type == DumpFileType::Dif);
}

void DumpingTab::ChooseTarget() {
  const SaveKind kind = SaveKindOf(FileType());
  if (!context_.frame.SelectSaveFile(kind.Ext, kind.Filter, kind.Title, "DumpNOR_Tgt", true))
    return;
  target_->setText(QString::fromStdString(context_.frame.FileName()));
  Presets();
}

QWidget* DumpingTab::S500Page() {
  auto* page = new QWidget;
  page->setObjectName("T_DumpBINOGM");
  auto* grid = new QGridLayout(page);
  grid->setColumnStretch(0, 1);
  const struct {
    S500Part part;
    const char* label;
    const char* field;
    const char* select;
  } parts[4] = {{kS500Bin1, "SLbl_S500_BIN1", "T_DumpS500_BIN1", "BS_DumpS500_BIN1"},
                {kS500Bin2, "SLbl_S500_BIN2", "T_DumpS500_BIN2", "BS_DumpS500_BIN2"},
                {kS500Ogm1, "SLbl_S500_OGM1", "T_DumpS500_OGM1", "BS_DumpS500_OGM1"},
                {kS500Ogm2, "SLbl_S500_OGM2", "T_DumpS500_OGM2", "BS_DumpS500_OGM2"}};
  for (int i = 0; i < 4; ++i) {
    const auto& p = parts[i];
    const ChosenName row =
        ChosenNameRow(page, grid, 2 * i, p.label, p.field, p.select, context_.captions);
    s500Fields_[p.part] = row.field;
    const S500Part part = p.part;
    connect(row.select, &QPushButton::clicked, this, [this, part] {
      if (s500_.Choose(context_.frame, part)) Refresh();
    });
  }
  grid->setRowStretch(8, 1);
  s500Do_ = Button(page, "B_DumpS500_Do", "Win_Save_Firmware", context_.captions);
  grid->addWidget(s500Do_, 9, 1);
  connect(s500Do_, &QPushButton::clicked, this, [this] {
    context_.run([this] { DumpS500(context_.frame, context_.driver, s500_.Names()); });
  });
  return page;
}

void DumpingTab::Refresh() {
  Presets();
  for (int i = 0; i < 4; ++i)
    s500Fields_[i]->setText(QString::fromStdString(s500_.Names()[static_cast<size_t>(i)]));
  s500Do_->setEnabled(context_.frame.State().PhoneCommand(s500_.DumpEnabled()));
}

void DumpingTab::Render(const WindowState& state) {
  if (region_->SetFamily(context_.frame.Family().Family)) Presets();
  dumpDo_->setEnabled(state.PhoneCommand(dumpReady_));
  s500Do_->setEnabled(state.PhoneCommand(s500_.DumpEnabled()));
}

}  // namespace brantle::gui
