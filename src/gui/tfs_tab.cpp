#include "tfs_tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>

#include "page_parts.h"
#include "sub_pages.h"

namespace brantle::gui {
namespace {

QWidget* TextPage(const char* name, Captions& captions) {
  auto* page = new QWidget;
  page->setObjectName(name);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(
      Label(page, (std::string("L_") + name).c_str(), "Lbl_TFS_Operations", captions));
  layout->addStretch(1);
  return page;
}

}  // namespace

TfsTab::TfsTab(WindowContext& context) : context_(context) {
  setObjectName("P_TFS_Operations");
  auto* pages = new SubPages(this, "L_TFS", context.captions);
  (new QHBoxLayout(this))->addWidget(pages);

  auto* pairPage = new QWidget;
  pairPage->setObjectName("T_FlashTFS");
  auto* grid = new QGridLayout(pairPage);
  grid->setColumnStretch(0, 1);
  const ChosenName pair = ChosenNameRow(pairPage, grid, 0, "SLbl_TFS_File", "T_FlashTFS_TFS",
                                        "BS_FlashTFS_Files", context.captions);
  tfs_ = pair.field;
  cfg_ = new QLineEdit(pairPage);
  cfg_->setObjectName("T_FlashTFS_CFG");
  cfg_->setReadOnly(true);
  grid->addWidget(cfg_, 2, 0);
  grid->setRowStretch(3, 1);
  flashDo_ = Button(pairPage, "B_FlashTFS_Do", "SBtn_Flash_Files", context.captions);
  grid->addWidget(flashDo_, 4, 1);
  connect(pair.select, &QPushButton::clicked, this, [this] {
    ChooseTfsPair(context_.frame, pair_);
    Refresh();
  });
  connect(flashDo_, &QPushButton::clicked, this, [this] {
    context_.run([this] { FlashTfsPair(context_.frame, context_.driver, pair_.Tfs); });
  });

  pages->Add(pairPage, "Btn_Flash_TFS");
  pages->Add(TextPage("T_DumpTFS", context.captions), "Win_TFS_Dump_Page");
  pages->Add(TextPage("T_FormatTFS", context.captions), "Win_TFS_Format_Page");
  pages->Add(TextPage("T_ManageTFS", context.captions), "Win_TFS_Manager_Page");
  pages->Start();
  Refresh();
}

void TfsTab::Refresh() {
  tfs_->setText(QString::fromStdString(pair_.Tfs));
  cfg_->setText(QString::fromStdString(pair_.Cfg));
  Render(context_.frame.State());
}

void TfsTab::Render(const WindowState& state) {
  flashDo_->setEnabled(state.FileSystemCommand(pair_.FlashEnabled()));
}

}  // namespace brantle::gui
