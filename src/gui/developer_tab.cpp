#include "developer_tab.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "dialog_host.h"
#include "operations/offline_handlers.h"
#include "operations/tfs_workflows.h"
#include "page_parts.h"
#include "sub_pages.h"

namespace brantle::gui {

DeveloperTab::DeveloperTab(WindowContext& context, DialogHost& dialogs)
    : context_(context), dialogs_(dialogs) {
  setObjectName("P_Developer");
  OperationFrame& frame = context.frame;
  ConnectDriver& driver = context.driver;
  auto* pages = new SubPages(this, "L_Developer", context.captions);
  (new QHBoxLayout(this))->addWidget(pages);

  pages->Add(ServiceSubPage(ServicePage::Dif, "DIF",
                            {{"CreateDIF", "Btn_Create_DIF",
                              [this, &frame] {
                                createDif_.Shown();
                                dialogs_.RunCreateDif(window(), frame, createDif_);
                                CreateDIFClick(frame, createDif_);
                              }},
                             {"UnpackDIF", "Btn_Apply_DIF", [&frame] { UnpackDIFClick(frame); }}}),
             "Win_Service_DIF_Page");
  pages->Add(
      ServiceSubPage(ServicePage::S500, "S500",
                     {{"S500toBD", "Btn_S500_to_BINDIF",
                       [this, &frame] { S500toBDClick(frame, createDif_.Parameters); }},
                      {"BDtoS500", "Btn_BINDIF_to_S500", [&frame] { BDtoS500Click(frame); }}}),
      "Win_Service_S500_Page");
  pages->Add(ServiceSubPage(ServicePage::Opti, "Opti",
                            {{"S3toBD", "Btn_S3_to_BINDIF",
                              [this, &frame] { S3toBDClick(frame, createDif_.Parameters); }},
                             {"BDtoS3", "Btn_BINDIF_to_S3", [&frame] { BDtoS3Click(frame); }}}),
             "Win_Service_Opti_Page");
  pages->Add(ServiceSubPage(
                 ServicePage::Tfs, "TFS",
                 {{"FlashTFSFiles", "Btn_Flash_TFS_Files",
                   [&frame, &driver] { SelectAndFlashTfsFiles(frame, driver); }},
                  {"NANDFmt", "Btn_NAND_Format", [&frame, &driver] { FormatNand(frame, driver); }},
                  {"NANDDump", "Btn_NAND_Dump", [&frame, &driver] { DumpTfsAsk(frame, driver); }}}),
             "Win_Service_TFS_Page");
  pages->Start();
}

QWidget* DeveloperTab::ServiceSubPage(brantle::ServicePage page, const char* name,
                                      const std::vector<ServiceButton>& buttons) {
  Captions& captions = context_.captions;
  const std::string n = name;
  auto* widget = new QWidget;
  widget->setObjectName(QString::fromStdString("T_Service" + n));
  auto* layout = new QVBoxLayout(widget);
  layout->addWidget(
      Label(widget, ("L_" + n + "_Service").c_str(), ServicePageTextKey(page), captions));

  auto* panel = new QWidget(widget);
  panel->setObjectName(QString::fromStdString("P_" + n));
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(0, 0, 0, 0);
  for (size_t i = 0; i < buttons.size(); ++i) {
    QPushButton* button = Add(panel, buttons[i].name, buttons[i].key, buttons[i].handler);
    grid->addWidget(button, static_cast<int>(i / 2), static_cast<int>(i % 2));
    if (page == ServicePage::Dif)
      (i == 0 ? createButton_ : unpackButton_) = button;
    else
      panelButtons_.push_back(button);
  }
  layout->addWidget(panel);
  QLabel* notAvailable = nullptr;
  if (page != ServicePage::Dif) {
    notAvailable = Label(widget, ("L_" + n + "_NA").c_str(), "Lbl_NA_Create_DIF", captions);
    layout->addWidget(notAvailable);
  }
  layout->addStretch(1);
  pages_.push_back({page, panel, notAvailable});
  return widget;
}

QPushButton* DeveloperTab::Add(QWidget* parent, const char* name, const char* key,
                               const std::function<void()>& handler) {
  QPushButton* button = Button(parent, name, key, context_.captions);
  connect(button, &QPushButton::clicked, this, [this, handler] { context_.run(handler); });
  return button;
}

void DeveloperTab::Render(const WindowState& state) {
  createButton_->setEnabled(state.CreateDifEnabled);
  unpackButton_->setEnabled(state.UnpackDifEnabled);
  for (const Shown& shown : pages_) {
    const bool offered = ServiceButtonsShown(shown.page, state.Panel);
    shown.buttons->setVisible(offered);
    if (shown.notAvailable) shown.notAvailable->setVisible(!offered);
  }
  for (QPushButton* b : panelButtons_) b->setEnabled(state.PanelButtonsEnabled);
}

void DeveloperTab::OpenFileManager() {
  dialogs_.ShowTfsFileManager(window(), context_.frame.Family().Family);
}

}  // namespace brantle::gui
