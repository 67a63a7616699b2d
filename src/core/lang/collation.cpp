#include "lang/collation.h"

#include <clocale>

namespace brantle {

void UseCollationOfEnvironment() {
  std::setlocale(LC_COLLATE, "");
}

}  // namespace brantle
