#include "status_area.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace brantle::gui {

QString StyleOf(TextColor color) {
  switch (color) {
    case TextColor::Green:
      return "color: #008000;";
    case TextColor::Maroon:
      return "color: #800000;";
    case TextColor::Navy:
      return "color: #000080;";
    case TextColor::Default:
      break;
  }
  return "";
}

StatusArea::StatusArea(Captions& captions, QWidget* parent) : QWidget(parent) {
  setObjectName("P_Status");
  status_ = new QLabel(this);
  status_->setObjectName("StatusStr");
  captions.Add([this] {
    // The caption stays until an operation writes the line.
    if (status_->text().isEmpty() || status_->property("caption").toBool()) {
      status_->setText(Tr("Win_Operation_Status"));
      status_->setProperty("caption", true);
    }
  });
  eta_ = new QLabel("ETA: 00:00:00", this);
  eta_->setObjectName("ETA");
  progress_ = new QProgressBar(this);
  progress_->setObjectName("Progress");
  progress_->setTextVisible(false);
  progress_->setRange(0, 1);
  progress_->setValue(0);

  flashPanel_ = new QWidget(this);
  flashPanel_->setObjectName("P_FType");
  auto* flashCaption = new QLabel(flashPanel_);
  flashCaption->setObjectName("L_Flash_Type");
  captions.Text(flashCaption, "Lbl_Flash_Type");
  flashType_ = new QLabel(flashPanel_);
  flashType_->setObjectName("FlashType");
  help_ = new QToolButton(flashPanel_);
  help_->setObjectName("H_FType");
  help_->setText("?");
  help_->setAutoRaise(true);
  // Hidden while no phone is connected, but its room kept, so that the lines above
  // do not move when a phone connects.
  for (QWidget* w : {flashPanel_, static_cast<QWidget*>(help_)}) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
  }
  auto* flashRow = new QHBoxLayout(flashPanel_);
  flashRow->setContentsMargins(0, 0, 0, 0);
  flashRow->addWidget(flashCaption);
  flashRow->addWidget(flashType_, 1);
  flashRow->addWidget(help_);

  auto* phoneCaption = new QLabel(this);
  phoneCaption->setObjectName("L_Phone_Status");
  captions.Text(phoneCaption, "Lbl_Phone_Status");
  phoneStatus_ = new QLabel(this);
  phoneStatus_->setObjectName("PhoneStatus");

  cancel_ = new QPushButton(this);
  cancel_->setObjectName("Cancel");
  captions.Text(cancel_, "Btn_Cancel");
  disconnect_ = new QPushButton(this);
  disconnect_->setObjectName("Disconnect");
  captions.Text(disconnect_, "Btn_Disconnect");
  retry_ = new QPushButton(this);
  retry_->setObjectName("B_ConnectAgain");
  captions.Text(retry_, "Win_Connect_Again");
  log_ = new QPushButton(this);
  log_->setObjectName("B_ShowLog");
  log_->setCheckable(true);
  captions.Text(log_, "Win_Show_Log");

  const char* developerNames[4] = {"B_Dev_TFSR", "B_Dev_TFSW", "B_Dev_TFSD", "B_Dev_TFSM"};
  const char* developerKeys[4] = {"Win_Dev_TFSR", "Win_Dev_TFSW", "Win_Dev_TFSD", "Win_Dev_TFSM"};
  auto* developerRow = new QHBoxLayout;
  for (int i = 0; i < 4; ++i) {
    developer_[i] = new QPushButton(this);
    developer_[i]->setObjectName(developerNames[i]);
    captions.Text(developer_[i], developerKeys[i]);
    developer_[i]->hide();
    developerRow->addWidget(developer_[i]);
  }
  developerRow->addStretch(1);
  developerRow->addWidget(log_);
  developerRow->addWidget(retry_);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 4, 0, 0);
  grid->addWidget(status_, 0, 0, 1, 3);
  grid->addWidget(eta_, 0, 3, Qt::AlignRight);
  grid->addWidget(progress_, 1, 0, 1, 4);
  auto* phoneRow = new QHBoxLayout;
  phoneRow->addWidget(phoneCaption);
  phoneRow->addWidget(phoneStatus_, 1);
  grid->addLayout(phoneRow, 2, 0, 1, 2);
  grid->addWidget(flashPanel_, 2, 2, 1, 2);
  grid->addLayout(developerRow, 3, 0, 1, 2);
  grid->addWidget(cancel_, 3, 2);
  grid->addWidget(disconnect_, 3, 3);
  grid->setColumnStretch(1, 1);
}

void StatusArea::Render(const WindowState& s) {
  SetStatus(QString::fromStdString(s.StatusLine));
  SetEta(QString::fromStdString(s.EtaLine));
  phoneStatus_->setText(QString::fromStdString(s.PhoneStatus.Text));
  phoneStatus_->setStyleSheet(StyleOf(s.PhoneStatus.Color));
  flashPanel_->setVisible(s.FlashTypeVisible);
  flashType_->setText(QString::fromStdString(s.FlashType.Text));
  flashType_->setStyleSheet(StyleOf(s.FlashType.Color));
  help_->setVisible(s.FlashHelpVisible);
  help_->setEnabled(s.FlashHelpEnabled && !s.Busy);
  cancel_->setEnabled(s.CancelEnabled);
  disconnect_->setEnabled(s.DisconnectEnabled && !s.Busy);
  retry_->setEnabled(s.RetryEnabled && !s.Busy);
  for (QPushButton* b : developer_) {
    b->setVisible(s.DeveloperButtonsVisible);
    b->setEnabled(!s.Busy);
  }
  // "Dev-TFSR" reads the phone's NAND.
  developer_[0]->setEnabled(s.FileSystemCommand(!s.Busy));
}

void StatusArea::SetStatus(const QString& text) {
  if (text.isEmpty()) return;
  status_->setProperty("caption", false);
  status_->setText(text);
}

void StatusArea::SetEta(const QString& text) {
  eta_->setText(text);
}

}  // namespace brantle::gui
