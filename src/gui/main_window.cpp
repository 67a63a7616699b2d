#include "main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "about_tab.h"
#include "developer_tab.h"
#include "dumping_tab.h"
#include "engine/trace.h"
#include "erasing_tab.h"
#include "flashing_tab.h"
#include "lang/fill_text.h"
#include "lang/languages.h"
#include "log_panel.h"
#include "operations/tfs_workflows.h"
#include "qt_dialog_host.h"
#include "settings_tab.h"
#include "tfs_tab.h"

namespace brantle::gui {
namespace {

constexpr int kTickMs = 50;
// The port list is read again every this many ticks (a second).
constexpr int kTicksPerPortWatch = 20;

DialogHost* OwnDialogsUnless(DialogHost* given, std::unique_ptr<QtDialogHost>& own) {
  if (given) return given;
  own = std::make_unique<QtDialogHost>();
  return own.get();
}

}  // namespace

TKTZF::TKTZF(WindowConfig config, QWidget* parent)
    : QWidget(parent),
      config_(std::move(config)),
      settings_(config_.SettingsPath),
      log_("window", config_.LogPath),
      dialogs_(*OwnDialogsUnless(config_.Dialogs, ownDialogs_)) {
  setObjectName("KTZF");
  settings_.Load();
  status_ = new StatusArea(captions_, this);
  ui_ =
      std::make_unique<QtUi>(this, dialogs_, *status_, [this](const WindowState& s) { Render(s); });
  frame_ = std::make_unique<OperationFrame>(*ui_, settings_);
  frame_->Log = &log_;
  driver_ = std::make_unique<ConnectDriver>(*frame_, link_);
  if (ownDialogs_) ownDialogs_->Attach(*frame_);
  context_ = std::make_unique<WindowContext>(WindowContext{
      *frame_, *driver_, captions_, [this](const std::function<void()>& h) { RunOperation(h); }});
  if (!config_.TraceFile.empty()) {
    std::string error;
    if (auto tracer = Tracer::OpenFile(config_.TraceFile, error))
      link_.SetTrace(tracer);
    else
      frame_->Error(error);
  }

  pages_ = new QTabWidget(this);
  pages_->setObjectName("Pages");
  flashing_ = new FlashingTab(*context_);
  dumping_ = new DumpingTab(*context_);
  erasing_ = new ErasingTab(*context_);
  tfs_ = new TfsTab(*context_);
  developer_ = new DeveloperTab(*context_, dialogs_);
  settingsTab_ = new SettingsTab(*context_, *this);
  const std::pair<QWidget*, const char*> tabs[] = {
      {flashing_, "Win_Tab_Flashing"},       {dumping_, "Win_Tab_Dumping"},
      {erasing_, "Win_Tab_Erasing"},         {tfs_, "Win_Tab_TFS"},
      {developer_, "Win_Tab_Developer"},     {settingsTab_, "Win_Tab_Settings"},
      {new AboutTab(*context_), "Btn_About"}};
  for (const auto& [page, key] : tabs) captions_.Tab(pages_, pages_->addTab(page, ""), key);
  // Every tab caption whole: the window is at least as wide as they are.
  pages_->setUsesScrollButtons(false);
  pages_->setElideMode(Qt::ElideNone);
  captions_.Add([this] {
    QString title = Tr("Win_Product") + " " + Tr("Win_Version");
    if (config_.StandIns && config_.StandIns->Used())
      title += " - " + QString::fromStdString(config_.StandIns->Notice());
    setWindowTitle(title);
  });

  logPanel_ = new LogPanel(*context_, dialogs_, log_, this);
  log_.OnLine = [this](const std::string& line) { logPanel_->AddLine(line); };
  // Told once: in the status line now, and in the panel for later.
  log_.OnProblem = [this](const std::string& problem) {
    const std::string text = FillText(LangGet("Msg_Log_Not_Written"), {{"problem", problem}});
    frame_->SetStatusText(text);
    logPanel_->AddLine(text);
  };
  logPanel_->setVisible(settings_.ShowLog());
  status_->LogButton()->setChecked(settings_.ShowLog());
  connect(status_->LogButton(), &QPushButton::toggled, this, [this](bool on) {
    settings_.SetShowLog(on);
    logPanel_->setVisible(on);
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_, 1);
  layout->addWidget(logPanel_);
  layout->addWidget(status_);
  // The smallest window shows every caption of every language whole.
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  resize(760, 540);

  connect(status_->CancelButton(), &QPushButton::clicked, this,
          [this] { frame_->RequestCancel(); });
  connect(status_->DisconnectButton(), &QPushButton::clicked, this, [this] { Disconnect(); });
  connect(status_->RetryButton(), &QPushButton::clicked, this, [this] {
    if (!frame_->Busy && !closing_) driver_->ConnectAgain();
  });
  connect(status_->FlashHelp(), &QToolButton::clicked, this, [this] { ShowFlashHelp(); });
  connect(status_->DeveloperButton(0), &QPushButton::clicked, this,
          [this] { RunOperation([this] { DumpRawSectorsAsk(*frame_, *driver_); }); });
  // The second developer button has no action.
  connect(status_->DeveloperButton(2), &QPushButton::clicked, this,
          [this] { RunOperation([this] { DumpTfsFromRawAsk(*frame_); }); });
  connect(status_->DeveloperButton(3), &QPushButton::clicked, developer_,
          &DeveloperTab::OpenFileManager);

  timer_ = new QTimer(this);
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, [this] { OnTimer(); });
}

TKTZF::~TKTZF() = default;

std::vector<SerialPortInfo> TKTZF::Ports() const {
  std::vector<SerialPortInfo> ports = config_.ListPorts();
  for (const std::string& extra : config_.ExtraPorts) {
    const bool listed = std::any_of(ports.begin(), ports.end(),
                                    [&](const SerialPortInfo& p) { return p.Path == extra; });
    if (!listed) ports.push_back({extra, ""});
  }
  std::sort(ports.begin(), ports.end(),
            [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.Path < b.Path; });
  return ports;
}

std::vector<std::string> TKTZF::PortPaths() const {
  std::vector<std::string> paths;
  for (const SerialPortInfo& p : Ports()) paths.push_back(p.Path);
  return paths;
}

void TKTZF::Start() {
  if (const QScreen* shown = screen())
    move(shown->availableGeometry().center() - QPoint(width() / 2, height() / 2));
  ApplyLanguage();
  knownPorts_ = PortPaths();
  if (knownPorts_.empty())
    frame_->Error(LangGet("Err_No_COM_Ports") + "\n" + LangGet("Msg_Hint_No_Ports"));
  if (!config_.StartPort.empty()) settings_.SetComPort(config_.StartPort);
  if (config_.StartFamily >= 0) settings_.SetFamilyBySelectorIndex(config_.StartFamily);
  settingsTab_->LoadFromSettings();
  timer_->start();
}

void TKTZF::WatchPorts() {
  std::vector<std::string> now = PortPaths();
  if (now == knownPorts_) return;
  const std::string chosen = settings_.ComPort();
  const std::string next = FollowPortList(chosen, knownPorts_, now);
  knownPorts_ = std::move(now);
  if (next != chosen)
    driver_->ChangePort(next);
  else
    driver_->PortsChanged();
  settingsTab_->ListPorts();
}

void TKTZF::ApplyLanguage() {
  settingsTab_->ShowLanguages(CurrentLanguages().Apply(settings_));
  qtTexts_.Apply(CurrentLanguages().ShownLocale());
  CurrentLanguages().ApplyEngineTexts(link_.Texts);
  captions_.Retranslate();
  if (frame_->Busy) return;
  frame_->ShowIdleState();
}

void TKTZF::Render(const WindowState& state) {
  status_->Render(state);
  // While busy only Cancel answers; the pages wait.
  pages_->setEnabled(!state.Busy);
  settingsTab_->Render(state);
  flashing_->Render(state);
  tfs_->Render(state);
  developer_->Render(state);
  dumping_->Render(state);
  erasing_->Render(state);
}

void TKTZF::RunOperation(const std::function<void()>& handler) {
  if (frame_->Busy || closing_) return;
  handler();
  // However the handler ended, the status area is idle afterwards.
  if (!frame_->Busy) frame_->ShowIdleState();
  flashing_->Refresh();
  dumping_->Refresh();
  tfs_->Refresh();
  CloseIfAsked();
}

void TKTZF::OnTimer() {
  if (closing_) return;
  driver_->Tick();
  if (++ticks_ % kTicksPerPortWatch == 0 && !frame_->Busy) WatchPorts();
  CloseIfAsked();
}

void TKTZF::Disconnect() {
  if (frame_->Busy) return;
  driver_->Disconnect(true);
}

void TKTZF::ShowFlashHelp() {
  frame_->Information(driver_->FlashHelpText());
}

void TKTZF::CloseFromSignal() {
  closeAsked_ = true;
  // Outside an operation nothing may hold the window open: a box that is up is
  // answered Cancel/No, and so is every one that would come.
  const bool operation = frame_->Busy && !driver_->Connecting();
  if (!operation) ui_->DeclineFromNowOn();
  // An operation (or a connect attempt) stops at its next block, as a confirmed
  // Cancel would; work that cannot be cancelled finishes first.
  if (frame_->Busy) frame_->CancelNow();
  QWidget* modal = QApplication::activeModalWidget();
  // During an operation only a question is answered: a file dialog may be saving
  // the undo data of what was already written.
  if (modal && (!operation || qobject_cast<QMessageBox*>(modal)))
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  CloseIfAsked();
}

void TKTZF::CloseIfAsked() {
  if (closeAsked_ && !frame_->Busy) QTimer::singleShot(0, this, [this] { close(); });
}

void TKTZF::closeEvent(QCloseEvent* event) {
  if (closing_) return event->accept();
  // A connect attempt is ended first; the window closes once it has stopped.
  if (driver_->Connecting()) {
    closeAsked_ = true;
    frame_->CancelNow();
    return event->ignore();
  }
  // Refused while an operation runs.
  if (!driver_->RequestClose()) return event->ignore();
  closing_ = true;
  timer_->stop();
  settings_.Save();
  event->accept();
}

}  // namespace brantle::gui
