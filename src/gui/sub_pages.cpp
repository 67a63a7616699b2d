#include "sub_pages.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QStackedWidget>

#include "captions.h"

namespace brantle::gui {

SubPages::SubPages(QWidget* parent, const char* listName, Captions& captions)
    : QWidget(parent), captions_(captions) {
  list_ = new QListWidget(this);
  list_->setObjectName(listName);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  stack_ = new QStackedWidget(this);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);
  layout->addWidget(stack_, 1);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    stack_->setCurrentIndex(row);
    emit shown(row);
  });
}

void SubPages::Add(QWidget* page, const char* key) {
  stack_->addWidget(page);
  list_->addItem("");
  captions_.Row(list_, list_->count() - 1, key);
}

void SubPages::Start() {
  captions_.Add([this] { FitList(); });
  list_->setCurrentRow(0);
}

void SubPages::FitList() {
  list_->ensurePolished();
  const int frame = 2 * list_->frameWidth();
  int height = frame;
  for (int row = 0; row < list_->count(); ++row) height += list_->sizeHintForRow(row);
  list_->setFixedWidth(list_->sizeHintForColumn(0) + frame);
  list_->setMinimumHeight(height);
}

}  // namespace brantle::gui
