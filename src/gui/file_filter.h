#pragma once
// File dialog filters: the program's filter text "Description|pattern;pattern|..."
// as Qt's name filters "Description (pattern pattern)", and back from the filter
// the person chose to its 1-based index.

#include <QStringList>
#include <string>

namespace brantle::gui {

QStringList QtNameFilters(const std::string& filter);
// 1-based; 1 when the chosen filter is not among them.
int FilterIndexOf(const QStringList& filters, const QString& chosen);

}  // namespace brantle::gui
