#include "tfs_tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>

#include "operations/service_pages.h"
#include "page_parts.h"
#include "sub_pages.h"

namespace brantle::gui {
namespace {

// A page of one explanatory text, named "T_X" with its label "L_X".
QWidget* TextPage(const char* name, QLabel*& text) {
  auto* page = new QWidget;
  page->setObjectName(name);
  text = ValueLabel(page, (std::string("L_") + name).c_str());
  text->setWordWrap(true);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(text);
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
  const ChosenName pair =
      ChosenNameRow(pairPage, grid, 0, "SLbl_TFS_File", "T_FlashTFS_TFS", "BS_FlashTFS_Files",
                    context.captions, PathEntry::Takes::OneFile);
  tfs_ = pair.field;
  grid->addWidget(Label(pairPage, "L_FlashTFS_CFG", "Win_CFG_File", context.captions), 2, 0, 1, -1);
  cfg_ = new QLineEdit(pairPage);
  LeftToRight(cfg_);
  cfg_->setObjectName("T_FlashTFS_CFG");
  cfg_->setReadOnly(true);
  grid->addWidget(cfg_, 3, 0);
  grid->setRowStretch(4, 1);
  flashDo_ = Button(pairPage, "B_FlashTFS_Do", "SBtn_Flash_Files", context.captions);
  grid->addWidget(flashDo_, 5, 1);
  connect(pair.select, &QPushButton::clicked, this, [this] {
    ChooseTfsPair(context_.frame, pair_);
    Refresh();
  });
  // A typed or dropped file is checked as a chosen one; refused, the pair stays.
  connect(tfs_, &PathEntry::given, this, [this](const std::vector<std::string>& paths) {
    TfsPairChoice typed;
    if (SetTfsPair(context_.frame, paths.front(), typed)) pair_ = typed;
    Refresh();
  });
  connect(flashDo_, &QPushButton::clicked, this, [this] {
    context_.run([this] { FlashTfsPair(context_.frame, context_.driver, pair_.Tfs); });
  });

  pages->Add(pairPage, "Btn_Flash_TFS");
  QLabel* text = nullptr;
  pages->Add(TextPage("T_DumpTFS", text), "Win_TFS_Dump_Page");
  context.captions.Text(text, "Lbl_TFS_Operations");
  pages->Add(TextPage("T_FormatTFS", text), "Win_TFS_Format_Page");
  context.captions.Text(text, "Lbl_TFS_Operations");
  pages->Add(TextPage("T_ManageTFS", manager_), "Win_TFS_Manager_Page");
  context.captions.Add([this] { ShowManagerText(); });
  pages->Start();
  Refresh();
}

void TfsTab::Refresh() {
  tfs_->Show(QString::fromStdString(pair_.Tfs));
  cfg_->setText(QString::fromStdString(pair_.Cfg));
  Render(context_.frame.State());
}

void TfsTab::Render(const WindowState& state) {
  flashDo_->setEnabled(state.FileSystemCommand(pair_.FlashEnabled()));
  developerButtons_ = state.DeveloperButtonsVisible;
  ShowManagerText();
}

void TfsTab::ShowManagerText() {
  manager_->setText(QString::fromStdString(
      TfsManagerText(developerButtons_, context_.frame.settings().FilePath())));
}

}  // namespace brantle::gui
