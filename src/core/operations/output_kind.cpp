#include "operations/output_kind.h"

#include <cctype>

namespace brantle {
namespace {

std::string Trimmed(const std::string& text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

size_t NameStart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string FileExtension(const std::string& path) {
  const size_t dot = path.rfind('.');
  return dot == std::string::npos || dot < NameStart(path) ? "" : path.substr(dot);
}

bool HasDifExtension(const std::string& path) {
  return Lower(FileExtension(path)) == ".dif";
}

std::string FileBaseName(const std::string& path) {
  const std::string name = path.substr(NameStart(path));
  return name.substr(0, name.size() - FileExtension(name).size());
}

OutputChoice DecideOutputKind(const std::string& chosenName, int filterIndex) {
  OutputChoice choice{Trimmed(chosenName), false};
  std::string ext = FileExtension(choice.FileName);
  if (filterIndex == kDifFilter || filterIndex == kBinFilter) {
    if (ext.empty()) {
      ext = filterIndex == kDifFilter ? ".dif" : ".bin";
      choice.FileName += ext;
    }
    choice.Dif = filterIndex == kDifFilter ? ext != ".bin" : ext == ".dif";
  } else {
    choice.Dif = HasDifExtension(choice.FileName);
  }
  return choice;
}

}  // namespace brantle
