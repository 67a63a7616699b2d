#include "file_filter.h"

#include <QRegularExpression>

namespace brantle::gui {

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // Qt reads the patterns from the parentheses at the end, separated by spaces; the
    // description's own list ("(*.bin; *.CLA)") is replaced by the real one.
    QString description = parts[i].trimmed();
    description.remove(QRegularExpression(R"(\s*\([^()]*\)\s*$)"));
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) p = p.trimmed();
    filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(' '));
  }
  if (filters.isEmpty()) filters << QStringLiteral("* (*)");
  return filters;
}

int FilterIndexOf(const QStringList& filters, const QString& chosen) {
  const int i = filters.indexOf(chosen);
  return i < 0 ? 1 : i + 1;
}

}  // namespace brantle::gui
