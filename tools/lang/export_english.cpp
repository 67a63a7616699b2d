// brantle-english-lng FILE: writes the built-in English texts as a language file,
// the template translators start from and the english.lng an installed copy ships.

#include <cstdio>
#include <string>

#include "files/file_access.h"
#include "files/ini_document.h"
#include "lang/lang_table.h"
#include "lang/window_texts.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: brantle-english-lng FILE\n");
    return 2;
  }
  brantle::IniDocument document;
  for (const brantle::LangEntry& e : brantle::kEnglishTable)
    document.WriteString("EN", e.Key, e.Text);
  for (const brantle::LangEntry& e : brantle::kWindowTexts)
    document.WriteString("EN", e.Key, e.Text);
  if (!brantle::ReplaceFileContents(argv[1], document.Serialize())) {
    std::fprintf(stderr, "brantle-english-lng: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
