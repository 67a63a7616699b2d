#pragma once
// The About page: product name, version and a short disclaimer.

#include <QWidget>

#include "window_context.h"

namespace brantle::gui {

class AboutTab : public QWidget {
  Q_OBJECT
 public:
  explicit AboutTab(WindowContext& context);
};

}  // namespace brantle::gui
