#include "about_tab.h"

#include <QFont>
#include <QVBoxLayout>

#include "page_parts.h"

namespace brantle::gui {

AboutTab::AboutTab(WindowContext& context) {
  setObjectName("P_About");
  auto* layout = new QVBoxLayout(this);
  QLabel* product = Label(this, "L_Product", "Win_Product", context.captions);
  QFont big = product->font();
  big.setPointSize(big.pointSize() * 2);
  big.setBold(true);
  product->setFont(big);
  QLabel* version = Label(this, "L_Version", "Win_Version", context.captions);
  QLabel* disclaimer = Label(this, "L_Disclaimer", "Win_Disclaimer", context.captions);
  for (QLabel* l : {product, version, disclaimer}) {
    l->setAlignment(Qt::AlignHCenter);
    layout->addWidget(l);
  }
  layout->addStretch(1);
}

}  // namespace brantle::gui
