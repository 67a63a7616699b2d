#include "flashing_tab.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "operations/hex_data.h"
#include "operations/offset_choices.h"
#include "page_parts.h"
#include "sub_pages.h"

namespace brantle::gui {
namespace {

QGridLayout* Grid(QWidget* page) {
  auto* grid = new QGridLayout(page);
  grid->setColumnStretch(0, 1);
  return grid;
}

// The page's last row: its action button at the right, the rest pushed up.
void ActionRow(QGridLayout* grid, QPushButton* action) {
  grid->setRowStretch(grid->rowCount(), 1);
  grid->addWidget(action, grid->rowCount(), 1, 1, 2);
}

QString FieldText(QComboBox* field) {
  return field->currentText();
}

void SetField(QComboBox* field, const std::string& text) {
  field->setEditText(QString::fromStdString(text));
}

}  // namespace

FlashingTab::FlashingTab(WindowContext& context) : context_(context) {
  setObjectName("P_Flashing");
  auto* pages = new SubPages(this, "L_Flashing", context.captions);
  (new QHBoxLayout(this))->addWidget(pages);
  pages->Add(SingleFilePage(bin_, "FlashBIN", "Win_BIN_File", kOpenBin, FlashBinPage),
             "Btn_Flash_BIN");
  pages->Add(DifPage(), "Btn_Flash_DIF");
  pages->Add(BinDiffPage(), "Btn_Flash_BIND");
  pages->Add(S500Page(), "Btn_Flash_S500");
  pages->Add(SingleFilePage(s3_, "FlashS3", "Win_S3_File", kOpenS3, FlashS3Page), "Btn_Flash_S3");
  pages->Add(BinOffsetPage(), "Btn_Flash_Area");
  pages->Add(HexPage(), "Win_Flash_Hex");
  // Showing a sub-page runs its rule.
  connect(pages, &SubPages::shown, this, [this] { Refresh(); });
  pages->Start();
}

QWidget* FlashingTab::SingleFilePage(SingleFile& page, const std::string& name,
                                     const char* labelKey, OpenKind kind, FlashOneFile flash) {
  auto* widget = new QWidget;
  widget->setObjectName(QString::fromStdString("T_" + name));
  QGridLayout* grid = Grid(widget);
  page.source = new FileField(widget, grid, 0, labelKey, "T_" + name + "_Src",
                              "BS_" + name + "_Src", context_, kind, name + "_Src");
  page.undo = new UndoRow(widget, grid, 2, name, context_);
  page.action = Button(widget, ("B_" + name + "_Do").c_str(), "SBtn_Flash_BIN", context_.captions);
  ActionRow(grid, page.action);
  connect(page.source, &FileField::changed, this, [this] { Refresh(); });
  connect(page.action, &QPushButton::clicked, this, [this, &page, flash] {
    context_.run([this, &page, flash] {
      flash(context_.frame, context_.driver, page.source->Name(), page.undo->Choice());
    });
  });
  return widget;
}

QWidget* FlashingTab::DifPage() {
  auto* page = new QWidget;
  page->setObjectName("T_FlashDIF");
  QGridLayout* grid = Grid(page);
  const ChosenName source =
      ChosenNameRow(page, grid, 0, "Win_DIF_Files", "T_FlashDIF_Src", "BS_FlashDIF_Src",
                    context_.captions, PathEntry::Takes::Files);
  difSource_ = source.field;
  difUndo_ = new UndoRow(page, grid, 2, "FlashDIF", context_);
  difDo_ = Button(page, "B_FlashDIF_Do", "SBtn_Flash_BIN", context_.captions);
  ActionRow(grid, difDo_);
  connect(source.select, &QPushButton::clicked, this, [this] {
    context_.run([this] { difPage_.Browse(context_.frame, difUndo_->Choice()); });
  });
  // Files typed or dropped are merged as chosen ones are, each refused one reported.
  connect(difSource_, &PathEntry::given, this, [this](const std::vector<std::string>& files) {
    context_.run([this, files] { difPage_.Select(context_.frame, files, difUndo_->Choice()); });
  });
  connect(difDo_, &QPushButton::clicked, this, [this] {
    context_.run([this] { difPage_.Flash(context_.frame, context_.driver, difUndo_->Choice()); });
  });
  return page;
}

QWidget* FlashingTab::BinDiffPage() {
  auto* page = new QWidget;
  page->setObjectName("T_FlashBINDIF");
  QGridLayout* grid = Grid(page);
  diffOriginal_ = new FileField(page, grid, 0, "SLbl_Original_BIN_2", "T_FlashBINDIF_BIN1",
                                "BS_FlashBINDIF_BIN1", context_, kOpenBin, "FlashBINDIF_BIN1");
  diffTarget_ = new FileField(page, grid, 2, "SLbl_Target_BIN_2", "T_FlashBINDIF_BIN2",
                              "BS_FlashBINDIF_BIN2", context_, kOpenBin, "FlashBINDIF_BIN2");
  grid->addWidget(Label(page, "L_FlashBINDIF_CType", "SLbl_Comparison_Type", context_.captions), 4,
                  0);
  diffType_ = new QComboBox(page);
  diffType_->setObjectName("S_FlashBINDIF_CType");
  context_.captions.Items(diffType_, {"SSel_Comparison_Bytewise", "SSel_Comparison_64K"});
  grid->addWidget(diffType_, 4, 1, 1, 2);
  diffUndo_ = new UndoRow(page, grid, 5, "FlashBINDIF", context_);
  diffDo_ = Button(page, "B_FlashBINDIF_Do", "SBtn_Flash_Differences", context_.captions);
  ActionRow(grid, diffDo_);
  for (FileField* f : {diffOriginal_, diffTarget_})
    connect(f, &FileField::changed, this, [this] { Refresh(); });
  connect(diffDo_, &QPushButton::clicked, this, [this] {
    context_.run([this] {
      FlashBinDiffPage(context_.frame, context_.driver, diffOriginal_->Name(), diffTarget_->Name(),
                       diffType_->currentIndex(), diffUndo_->Choice());
    });
  });
  return page;
}

QWidget* FlashingTab::S500Page() {
  auto* page = new QWidget;
  page->setObjectName("T_FlashBINOGM");
  QGridLayout* grid = Grid(page);
  struct Part {
    S500Part part;
    const char* label;
    const char* field;
    const char* select;
    const char* folder;
  };
  const Part parts[4] = {
      {kS500Bin1, "SLbl_S500_BIN1", "T_FlashS500_BIN1", "SB_FlashS500_BIN1", "FlashS500_BIN1"},
      {kS500Bin2, "SLbl_S500_BIN2", "T_FlashS500_BIN2", "SB_FlashS500_BIN2", "FlashS500_BIN2"},
      {kS500Ogm1, "SLbl_S500_OGM1", "T_FlashS500_OGM1", "SB_FlashS500_OGM1", "FlashS500_OGM1"},
      {kS500Ogm2, "SLbl_S500_OGM2", "T_FlashS500_OGM2", "SB_FlashS500_OGM2", "FlashS500_OGM2"}};
  for (int i = 0; i < 4; ++i) {
    const Part& p = parts[i];
    // The dialog's title names the file of the set it asks for.
    const S500Dialog d = S500DialogOf(p.part, false);
    s500_[p.part] = new FileField(page, grid, 2 * i, p.label, p.field, p.select, context_,
                                  {d.Ext, d.Filter, d.Title}, p.folder);
    connect(s500_[p.part], &FileField::changed, this, [this] { Refresh(); });
  }
  s500Undo_ = new UndoRow(page, grid, 8, "FlashS500", context_);
  s500Do_ = Button(page, "B_FlashS500_Do", "SBtn_Flash_BIN", context_.captions);
  ActionRow(grid, s500Do_);
  connect(s500Do_, &QPushButton::clicked, this, [this] {
    S500Names names;
    for (int i = 0; i < 4; ++i) names[i] = s500_[i]->Name();
    context_.run([this, names] {
      FlashS500Page(context_.frame, context_.driver, names, s500Undo_->Choice());
    });
  });
  return page;
}

QWidget* FlashingTab::BinOffsetPage() {
  auto* page = new QWidget;
  page->setObjectName("T_FlashBINOffset");
  QGridLayout* grid = Grid(page);
  part_ = new FileField(page, grid, 0, "Win_BIN_File", "T_FlashBINOffset_Src",
                        "BS_FlashBINOffset_Src", context_, kOpenBin, "FlashBINOffset_Src");
  partBinOffset_ = HexField(page, "S_FlashBINOffset_BINOffset");
  partPhoneOffset_ = HexField(page, "S_FlashBINOffset_PhoneOffset");
  partLength_ = HexField(page, "S_FlashBINOffset_Length");
  partEndBin_ = ValueLabel(page, "T_FlashBINOffset_EndBINOffset");
  partEndPhone_ = ValueLabel(page, "T_FlashBINOffset_EndPhoneOffset");
  auto* fields = new QGridLayout;
  const struct {
    const char* name;
    const char* key;
    QWidget* field;
  } rows[] = {{"L_FlashBINOffset_BINOffset", "Win_File_Offset", partBinOffset_},
              {"L_FlashBINOffset_Length", "Win_Length", partLength_},
              {"L_FlashBINOffset_PhoneOffset", "Win_Phone_Offset", partPhoneOffset_},
              {"L_FlashBINOffset_EndBINOffset", "Win_End_File_Offset", partEndBin_},
              {"L_FlashBINOffset_EndPhoneOffset", "Win_End_Phone_Offset", partEndPhone_}};
  int r = 0;
  for (const auto& row : rows) {
    fields->addWidget(Label(page, row.name, row.key, context_.captions), r, 0);
    fields->addWidget(row.field, r++, 1);
  }
  grid->addLayout(fields, 2, 0, 1, 3);
  partUndo_ = new UndoRow(page, grid, 3, "FlashBINOffset", context_);
  partDo_ = Button(page, "B_FlashBINOffset_Do", "SBtn_Flash_BIN", context_.captions);
  ActionRow(grid, partDo_);
  connect(part_, &FileField::changed, this, [this] {
    partSize_ = part_->Name().empty() ? 0 : QFileInfo(QString::fromStdString(part_->Name())).size();
    BinOffsetRule();
  });
  for (QComboBox* f : {partBinOffset_, partPhoneOffset_, partLength_})
    OnFieldDone(f, [this] { BinOffsetRule(); });
  connect(partDo_, &QPushButton::clicked, this, [this] {
    BinOffsetRule();
    const BinPartFields fields{part_->Name(), FieldText(partBinOffset_).toStdString(),
                               FieldText(partPhoneOffset_).toStdString(),
                               FieldText(partLength_).toStdString()};
    context_.run([this, fields] {
      FlashBinPartPage(context_.frame, context_.driver, fields, partUndo_->Choice());
    });
  });
  return page;
}

void FlashingTab::BinOffsetRule() {
  const NorAreas& areas = context_.frame.Areas();
  SetChoices(partBinOffset_, FileOffsets(static_cast<uint64_t>(partSize_), areas));
  SetChoices(partPhoneOffset_, AreaStarts(areas));
  SetChoices(partLength_, PartLengths(static_cast<uint64_t>(partSize_), areas));
  const BinOffsetView v = ApplyBinOffsetRule(
      !part_->Name().empty(), FieldText(partBinOffset_).toStdString(),
      FieldText(partPhoneOffset_).toStdString(), FieldText(partLength_).toStdString(),
      static_cast<uint64_t>(partSize_), areas.Total());
  for (QComboBox* f : {partBinOffset_, partPhoneOffset_, partLength_})
    f->setEnabled(v.FieldsEnabled);
  if (v.FieldsEnabled) {
    SetField(partBinOffset_, v.BinOffset);
    SetField(partPhoneOffset_, v.PhoneOffset);
    SetField(partLength_, v.Length);
  }
  partEndBin_->setText(QString::fromStdString(v.EndBinOffset));
  partEndPhone_->setText(QString::fromStdString(v.EndPhoneOffset));
  partReady_ = v.ActionEnabled;
  partDo_->setEnabled(context_.frame.State().PhoneCommand(partReady_));
}

QWidget* FlashingTab::HexPage() {
  auto* page = new QWidget;
  page->setObjectName("T_FlashHex");
  QGridLayout* grid = Grid(page);
  grid->addWidget(Label(page, "L_FlashHex_Data", "Win_Hex_Data", context_.captions), 0, 0, 1, 3);
  hexData_ = new QPlainTextEdit(page);
  LeftToRight(hexData_);
  hexData_->setObjectName("E_FlashHex_Data");
  grid->addWidget(hexData_, 1, 0, 1, 3);
  hexOffset_ = HexField(page, "S_FlashHex_Offset");
  hexEnd_ = ValueLabel(page, "T_FlashHex_EndOffset");
  hexLength_ = ValueLabel(page, "T_FlashHex_Length");
  auto* fields = new QGridLayout;
  fields->addWidget(Label(page, "L_FlashHex_Offset", "SLbl_Start_Offset", context_.captions), 0, 0);
  fields->addWidget(hexOffset_, 0, 1);
  fields->addWidget(Label(page, "L_FlashHex_EndOffset", "SLbl_End_Offset", context_.captions), 1,
                    0);
  fields->addWidget(hexEnd_, 1, 1);
  fields->addWidget(Label(page, "L_FlashHex_Length", "Win_Length", context_.captions), 2, 0);
  fields->addWidget(hexLength_, 2, 1);
  grid->addLayout(fields, 2, 0, 1, 3);
  hexUndo_ = new UndoRow(page, grid, 3, "FlashHex", context_);
  hexDo_ = Button(page, "B_FlashHex_Do", "SBtn_Flash_BIN", context_.captions);
  grid->addWidget(hexDo_, 4, 1, 1, 2);
  connect(hexData_, &QPlainTextEdit::textChanged, this, [this] { HexRule(); });
  OnFieldDone(hexOffset_, [this] { HexRule(); });
  connect(hexDo_, &QPushButton::clicked, this, [this] {
    HexRule();
    const std::string offset = FieldText(hexOffset_).toStdString();
    context_.run([this, offset] {
      FlashHexPage(context_.frame, context_.driver, offset, hexBytes_, hexUndo_->Choice());
    });
  });
  return page;
}

void FlashingTab::HexRule() {
  SetChoices(hexOffset_, AreaStarts(context_.frame.Areas()));
  const HexDataView v =
      ApplyHexDataRule(hexData_->toPlainText().toStdString(), FieldText(hexOffset_).toStdString(),
                       context_.frame.Areas().Total());
  hexBytes_ = v.Bytes;
  hexData_->setStyleSheet(v.Red ? "color: red;" : "");
  SetField(hexOffset_, v.Offset);
  hexEnd_->setText(QString::fromStdString(v.EndOffset));
  hexLength_->setText(QString::fromStdString(v.Length));
  hexReady_ = v.ActionEnabled;
  hexDo_->setEnabled(context_.frame.State().PhoneCommand(hexReady_));
}

void FlashingTab::Refresh() {
  difSource_->Show(QString::fromStdString(difPage_.SourceLine()));
  BinOffsetRule();
  HexRule();
  Render(context_.frame.State());
}

void FlashingTab::Render(const WindowState& state) {
  for (SingleFile* page : {&bin_, &s3_})
    page->action->setEnabled(
        state.PhoneCommand(SourcesFilled(SourceNeed::All, {page->source->Name()})));
  difDo_->setEnabled(state.PhoneCommand(difPage_.ActionEnabled()));
  diffDo_->setEnabled(state.PhoneCommand(
      SourcesFilled(SourceNeed::All, {diffOriginal_->Name(), diffTarget_->Name()})));
  s500Do_->setEnabled(state.PhoneCommand(SourcesFilled(
      SourceNeed::Any, {s500_[0]->Name(), s500_[1]->Name(), s500_[2]->Name(), s500_[3]->Name()})));
  partDo_->setEnabled(state.PhoneCommand(partReady_));
  hexDo_->setEnabled(state.PhoneCommand(hexReady_));
}

}  // namespace brantle::gui
