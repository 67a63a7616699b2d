#include "tfsfm.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "files/local_places.h"

namespace brantle::gui {

TSTFM::TSTFM(const std::string& family, QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("STFM");
  setAttribute(Qt::WA_DeleteOnClose);
  captions_.Add([this] { setWindowTitle(Tr("Win_TFS_Manager")); });
  const std::vector<std::string> places = LocalPlaces(QDir::homePath().toStdString());
  auto* panes = new QHBoxLayout(this);
  for (int pane = 0; pane < 2; ++pane) {
    places_[pane] = new QComboBox(this);
    places_[pane]->setObjectName(pane == 0 ? "S_PlaceLeft" : "S_PlaceRight");
    // The phone first; its contents are not read here.
    places_[pane]->addItem("", QString());
    captions_.Add([this, pane, family] {
      places_[pane]->setItemText(0, Tr("Win_Phone_Place") + QString::fromStdString(family));
    });
    for (const std::string& p : places)
      places_[pane]->addItem(QString::fromStdString(p), QString::fromStdString(p));
    lists_[pane] = new QTreeWidget(this);
    lists_[pane]->setObjectName(pane == 0 ? "G_FilesLeft" : "G_FilesRight");
    lists_[pane]->setRootIsDecorated(false);
    lists_[pane]->setColumnCount(2);
    lists_[pane]->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    captions_.Add([this, pane] {
      lists_[pane]->setHeaderLabels({Tr("Win_Col_Name"), Tr("Win_Col_Size")});
    });
    auto* column = new QVBoxLayout;
    column->addWidget(places_[pane]);
    column->addWidget(lists_[pane], 1);
    panes->addLayout(column);
    connect(places_[pane], qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this, pane] { Show(pane); });
  }
  places_[1]->setCurrentIndex(places.empty() ? 0 : 1);
  // Over the middle of the window that opened it, as the dialogs are; the geometry
  // leaves the window frames out, which differ between window managers.
  resize(640, 420);
  if (!parent) return;
  QRect area = geometry();
  area.moveCenter(parent->window()->geometry().center());
  setGeometry(area);
}

void TSTFM::Show(int pane) {
  QTreeWidget* list = lists_[pane];
  list->clear();
  const QString place = places_[pane]->currentData().toString();
  if (place.isEmpty()) return;
  for (const FolderEntry& e : ListFolder(place.toStdString())) {
    auto* item = new QTreeWidgetItem(
        {QString::fromStdString(e.Name), e.IsFolder ? QString() : QString::number(e.Size)});
    item->setTextAlignment(1, Qt::AlignRight);
    list->addTopLevelItem(item);
  }
}

}  // namespace brantle::gui
