#include "settings_tab.h"

#include <QFormLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "main_window.h"
#include "page_parts.h"

namespace brantle::gui {
namespace {

std::vector<std::string> FamilyKeys() {
  std::vector<std::string> keys = {"Phone_E700", "Phone_E800", "Phone_E330", "Phone_S500"};
  for (const char* model : kOptiModelNames) keys.push_back(std::string("Phone_Opti_") + model);
  return keys;
}

}  // namespace

void PortSelector::showPopup() {
  emit aboutToOpen();
  QComboBox::showPopup();
}

SettingsTab::SettingsTab(WindowContext& context, TKTZF& window)
    : context_(context), window_(window) {
  setObjectName("P_Settings");
  Captions& captions = context.captions;
  port_ = new PortSelector(this);
  port_->setObjectName("COMPort");
  LeftToRight(port_);
  speed_ = new QComboBox(this);
  speed_->setObjectName("COMSpeed");
  for (const char* speed : kOfferedSpeeds) speed_->addItem(speed);
  family_ = new QComboBox(this);
  family_->setObjectName("PType");
  captions.Items(family_, FamilyKeys());
  captions.Tip(family_, "Hint_Phone_Type");
  language_ = new QComboBox(this);
  language_->setObjectName("LangSel");

  auto* form = new QFormLayout(this);
  const std::pair<QWidget*, const char*> rows[] = {{port_, "Lbl_COM_Port"},
                                                   {speed_, "Lbl_COM_Speed"},
                                                   {family_, "Lbl_Phone_Type"},
                                                   {language_, "Lbl_Language"}};
  for (const auto& [control, key] : rows) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("L_") + control->objectName());
    captions.Text(label, key);
    form->addRow(label, control);
  }
  verify_ = new QCheckBox(this);
  verify_->setObjectName("C_VerifyWrites");
  captions.Text(verify_, "Win_Verify_Writes");
  form->addRow(verify_);
  skipUnchanged_ = new QCheckBox(this);
  skipUnchanged_->setObjectName("C_SkipUnchanged");
  captions.Text(skipUnchanged_, "Win_Skip_Unchanged");
  form->addRow(skipUnchanged_);

  connect(port_, &PortSelector::aboutToOpen, this, [this] { ListPorts(); });
  connect(port_, qOverload<int>(&QComboBox::activated), this, [this](int i) { PortChosen(i); });
  connect(speed_, qOverload<int>(&QComboBox::activated), this,
          [this](int i) { context_.driver.ChangeSpeed(kOfferedSpeeds[static_cast<size_t>(i)]); });
  connect(family_, qOverload<int>(&QComboBox::activated), this,
          [this](int i) { context_.driver.ChangeFamily(i); });
  connect(verify_, &QCheckBox::toggled, this,
          [this](bool on) { context_.frame.settings().SetVerifyWrites(on); });
  connect(skipUnchanged_, &QCheckBox::toggled, this,
          [this](bool on) { context_.frame.settings().SetSkipUnchanged(on); });
  connect(language_, qOverload<int>(&QComboBox::activated), this, [this](int i) {
    CurrentLanguages().Select(static_cast<size_t>(i), context_.frame.settings());
    window_.ApplyLanguage();
  });
}

void SettingsTab::ListPorts() {
  const QSignalBlocker quiet(port_);
  port_->clear();
  for (const SerialPortInfo& p : window_.Ports()) {
    const QString path = QString::fromStdString(p.Path);
    port_->addItem(
        p.Description.empty() ? path : path + "  (" + QString::fromStdString(p.Description) + ")",
        path);
  }
  // The chosen port stays listed while it is gone, so that the person sees what the
  // window waits for.
  const QString chosen = QString::fromStdString(context_.frame.settings().ComPort());
  if (!chosen.isEmpty() && port_->findData(chosen) < 0)
    port_->addItem(chosen + "  " + Tr("Win_Port_Missing"), chosen);
  port_->setCurrentIndex(port_->findData(chosen));
}

void SettingsTab::PortChosen(int index) {
  const std::string path = port_->itemData(index).toString().toStdString();
  if (path != context_.frame.settings().ComPort()) context_.driver.ChangePort(path);
}

void SettingsTab::LoadFromSettings() {
  Settings& settings = context_.frame.settings();
  std::vector<std::string> paths;
  for (const SerialPortInfo& p : window_.Ports()) paths.push_back(p.Path);
  settings.SetComPort(ChoosePort(settings.ComPort(), paths));
  ListPorts();
  speed_->setCurrentIndex(settings.ComSpeedIndex());
  for (auto [box, on] : {std::pair{verify_, settings.VerifyWrites()},
                         std::pair{skipUnchanged_, settings.SkipUnchanged()}}) {
    const QSignalBlocker quiet(box);
    box->setChecked(on);
  }
  // The family routine opens the port for the family and shows the idle window.
  context_.driver.ChangeFamily(settings.Family().SelectorIndex);
}

void SettingsTab::ShowLanguages(const LanguageSelector& selector) {
  const QSignalBlocker quiet(language_);
  language_->clear();
  for (const std::string& item : selector.Items) language_->addItem(QString::fromStdString(item));
  language_->setCurrentIndex(static_cast<int>(selector.Current));
}

void SettingsTab::Render(const WindowState& state) {
  for (QWidget* selector : {static_cast<QWidget*>(port_), static_cast<QWidget*>(speed_),
                            static_cast<QWidget*>(family_), static_cast<QWidget*>(language_)})
    selector->setEnabled(state.SelectorsEnabled && !state.Busy);
  // The checks may change while a phone is connected, not in the middle of an operation.
  verify_->setEnabled(!state.Busy);
  skipUnchanged_->setEnabled(!state.Busy);
  const QSignalBlocker quiet(family_);
  family_->setCurrentIndex(state.FamilySelectorIndex);
}

}  // namespace brantle::gui
