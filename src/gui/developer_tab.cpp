#include "developer_tab.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "dialog_host.h"
#include "operations/offline_handlers.h"
#include "operations/tfs_workflows.h"
#include "page_parts.h"

namespace brantle::gui {

DeveloperTab::DeveloperTab(WindowContext& context, DialogHost& dialogs)
    : context_(context), dialogs_(dialogs) {
  setObjectName("P_Developer");
  OperationFrame& frame = context.frame;
  ConnectDriver& driver = context.driver;
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label(this, "L_Service", "Lbl_Service", context.captions));
  auto* service = new QGridLayout;
  createButton_ = Add(this, "CreateDIF", "Btn_Create_DIF", [this, &frame] {
    createDif_.Shown();
    dialogs_.RunCreateDif(window(), frame, createDif_);
    CreateDIFClick(frame, createDif_);
  });
  unpackButton_ = Add(this, "UnpackDIF", "Btn_Apply_DIF", [&frame] { UnpackDIFClick(frame); });
  service->addWidget(createButton_, 0, 0);
  service->addWidget(unpackButton_, 0, 1);
  layout->addLayout(service);

  struct PanelButton {
    const char* name;
    const char* key;
    std::function<void()> handler;
  };
  const struct {
    const char* name;
    std::vector<PanelButton> buttons;
  } panels[3] = {
      {"P_TFS",
       {{"FlashTFSFiles", "Btn_Flash_TFS_Files",
         [&frame, &driver] { SelectAndFlashTfsFiles(frame, driver); }},
        {"NANDFmt", "Btn_NAND_Format", [&frame, &driver] { FormatNand(frame, driver); }},
        {"NANDDump", "Btn_NAND_Dump", [&frame, &driver] { DumpTfsAsk(frame, driver); }}}},
      {"P_S500",
       {{"S500toBD", "Btn_S500_to_BINDIF",
         [this, &frame] { S500toBDClick(frame, createDif_.Parameters); }},
        {"BDtoS500", "Btn_BINDIF_to_S500", [&frame] { BDtoS500Click(frame); }}}},
      {"P_Opti",
       {{"S3toBD", "Btn_S3_to_BINDIF",
         [this, &frame] { S3toBDClick(frame, createDif_.Parameters); }},
        {"BDtoS3", "Btn_BINDIF_to_S3", [&frame] { BDtoS3Click(frame); }}}}};
  for (int i = 0; i < 3; ++i) {
    panels_[i] = new QWidget(this);
    panels_[i]->setObjectName(panels[i].name);
    auto* grid = new QGridLayout(panels_[i]);
    grid->setContentsMargins(0, 0, 0, 0);
    int column = 0;
    for (const PanelButton& b : panels[i].buttons) {
      QPushButton* button = Add(panels_[i], b.name, b.key, b.handler);
      panelButtons_.push_back(button);
      grid->addWidget(button, 0, column++);
    }
    layout->addWidget(panels_[i]);
  }
  layout->addStretch(1);
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
  const FamilyPanel shown[3] = {FamilyPanel::Tfs, FamilyPanel::S500, FamilyPanel::Opti};
  for (int i = 0; i < 3; ++i) panels_[i]->setVisible(state.Panel == shown[i]);
  for (QPushButton* b : panelButtons_) b->setEnabled(state.PanelButtonsEnabled);
}

void DeveloperTab::OpenFileManager() {
  dialogs_.ShowTfsFileManager(window(), context_.frame.Family().Family);
}

}  // namespace brantle::gui
