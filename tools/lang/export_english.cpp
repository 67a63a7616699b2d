// brantle-english-lng FILE: writes the built-in English texts as a language file,
// the template translators start from and the english.lng an installed copy ships.
// The keys come in the order a language file is completed in.

#include <cstdio>
#include <string>

#include "files/file_access.h"
#include "files/ini_document.h"
#include "lang/languages.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: brantle-english-lng FILE\n");
    return 2;
  }
  const brantle::LanguageRecord english = brantle::Languages().Record(0);
  brantle::IniDocument document;
  for (size_t i = 0; i < english.Keys.size(); ++i)
    document.WriteString(english.Code, english.Keys[i], english.Values[i]);
  if (!brantle::ReplaceFileContents(argv[1], document.Serialize())) {
    std::fprintf(stderr, "brantle-english-lng: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
