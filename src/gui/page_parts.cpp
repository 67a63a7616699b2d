#include "page_parts.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>

#include "formats/input_file_problem.h"

namespace brantle::gui {

const OpenKind kOpenBin = {"bin", "FF_BIN", "FF_BINR_Caption"};
const OpenKind kOpenS3 = {"s3", "FF_S3", "FF_S3R_Caption"};
const OpenKind kOpenTfs = {"tfs", "FF_TFS", "FF_TFSR_Caption"};

QPushButton* Button(QWidget* parent, const char* name, const char* key, Captions& captions) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  captions.Text(button, key);
  return button;
}

QLabel* Label(QWidget* parent, const char* name, const char* key, Captions& captions) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  captions.Text(label, key);
  label->setWordWrap(true);
  return label;
}

QLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel("-", parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  LeftToRight(label);
  return label;
}

void LeftToRight(QWidget* control) {
  control->setLayoutDirection(Qt::LeftToRight);
}

namespace {

// An address must not change because the wheel turned while the pointer was over it.
class IgnoreWheel : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Wheel; }
};

}  // namespace

QComboBox* HexField(QWidget* parent, const char* name) {
  auto* field = new QComboBox(parent);
  field->setObjectName(name);
  field->setEditable(true);
  field->setInsertPolicy(QComboBox::NoInsert);
  field->setMinimumContentsLength(10);
  // "E" typed must stay "E", not become the entry "E00000".
  field->setCompleter(nullptr);
  field->installEventFilter(new IgnoreWheel(field));
  LeftToRight(field);
  return field;
}

void SetChoices(QComboBox* field, const std::vector<std::string>& choices) {
  QStringList items;
  for (const std::string& c : choices) items << QString::fromStdString(c);
  QStringList shown;
  for (int i = 0; i < field->count(); ++i) shown << field->itemText(i);
  if (items == shown) return;
  const QSignalBlocker quiet(field);
  const QString typed = field->currentText();
  field->clear();
  field->addItems(items);
  field->setCurrentIndex(-1);
  field->setEditText(typed);
}

void OnFieldDone(QComboBox* field, const std::function<void()>& rule) {
  QObject::connect(field->lineEdit(), &QLineEdit::editingFinished, field, rule);
  QObject::connect(field, qOverload<int>(&QComboBox::activated), field, rule);
}

ChosenName ChosenNameRow(QWidget* page, QGridLayout* grid, int row, const char* labelKey,
                         const std::string& name, const char* selectName, Captions& captions,
                         PathEntry::Takes takes) {
  grid->addWidget(Label(page, ("L_" + name.substr(2)).c_str(), labelKey, captions), row, 0, 1, -1);
  auto* field = new PathEntry(page, takes);
  field->setObjectName(QString::fromStdString(name));
  auto* select = Button(page, selectName, "SBtn_Select", captions);
  grid->addWidget(field, row + 1, 0);
  grid->addWidget(select, row + 1, 1, 1, -1);
  return {field, select};
}

FileField::FileField(QWidget* page, QGridLayout* grid, int row, const char* labelKey,
                     const std::string& name, const std::string& selectName, WindowContext& context,
                     OpenKind kind, std::string folderKey)
    : QObject(page), frame_(context.frame) {
  Captions& captions = context.captions;
  auto* label = new QLabel(page);
  label->setObjectName(QString::fromStdString("L_" + name.substr(2)));
  captions.Text(label, labelKey);
  edit_ = new PathEntry(page, PathEntry::Takes::OneFile);
  edit_->setObjectName(QString::fromStdString(name));
  select_ = Button(page, selectName.c_str(), "SBtn_Select", captions);
  auto* clear = Button(page, ("BC_" + name.substr(2)).c_str(), "SBtn_Clear", captions);
  grid->addWidget(label, row, 0, 1, 3);
  grid->addWidget(edit_, row + 1, 0);
  grid->addWidget(select_, row + 1, 1);
  grid->addWidget(clear, row + 1, 2);
  connect(select_, &QPushButton::clicked, this, [this, kind, folderKey] {
    if (frame_.SelectOpenFile(kind.Ext, kind.Filter, kind.Title, folderKey))
      Take(frame_.FileName());
  });
  connect(edit_, &PathEntry::given, this,
          [this](const std::vector<std::string>& paths) { Take(paths.front()); });
  connect(clear, &QPushButton::clicked, this, [this] { SetName(""); });
}

void FileField::Take(const std::string& path) {
  if (AcceptInputFile(frame_, path)) SetName(path);
}

void FileField::SetName(const std::string& name) {
  name_ = name;
  edit_->Show(QString::fromStdString(name));
  emit changed();
}

UndoRow::UndoRow(QWidget* page, QGridLayout* grid, int row, const std::string& pageName,
                 WindowContext& context, const char* checkKey)
    : QObject(page) {
  make_ = new QCheckBox(page);
  make_->setObjectName(QString::fromStdString("C_" + pageName + "_MakeUndo"));
  context.captions.Text(make_, checkKey);
  auto* options =
      Button(page, ("B_" + pageName + "_DIFOptions").c_str(), "Win_DIF_Options", context.captions);
  grid->addWidget(make_, row, 0);
  grid->addWidget(options, row, 1, 1, 2);
  connect(options, &QPushButton::clicked, this, [this, &context] {
    context.frame.EditUndoParameters(choice_.Params, "SCap_RDIF_Create_Parameters");
  });
}

FlashUndoChoice& UndoRow::Choice() {
  choice_.Make = make_->isChecked();
  return choice_;
}

}  // namespace brantle::gui
