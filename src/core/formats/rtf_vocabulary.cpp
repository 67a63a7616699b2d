#include "formats/rtf_vocabulary.h"

#include <algorithm>
#include <iterator>

namespace brantle {
namespace {

// Destinations that are no document text; the reader reads the font and colour tables.
constexpr std::string_view kSkippedDestinations[] = {
    "aftncn",     "aftnsep",      "aftnsepc",          "annotation",
    "atnauthor",  "atnid",        "bkmkend",           "bkmkstart",
    "datastore",  "fldinst",      "filetbl",           "footer",
    "footerf",    "footerl",      "footerr",           "footnote",
    "ftncn",      "ftnsep",       "ftnsepc",           "generator",
    "header",     "headerf",      "headerl",           "headerr",
    "info",       "latentstyles", "listoverridetable", "listtable",
    "object",     "objdata",      "pgdsctbl",          "pict",
    "pn",         "revtbl",       "rsidtbl",           "rxe",
    "stylesheet", "tc",           "template",          "themedata",
    "txe",        "xe",           "colorschememapping"};

constexpr std::string_view kUnderlineWords[] = {
    "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
    "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
    "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave"};

struct CharacterWord {
  std::string_view word;
  uint32_t codePoint;
};

constexpr CharacterWord kCharacterWords[] = {
    {"line", 0x2028},      {"tab", '\t'},       {"cell", '\t'},      {"emdash", 0x2014},
    {"endash", 0x2013},    {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
    {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
    {"rdblquote", 0x201D}, {"zwj", 0x200D},     {"zwnj", 0x200C},    {"ltrmark", 0x200E},
    {"rtlmark", 0x200F}};

struct CharsetPage {
  int charset;
  int codePage;
};

constexpr CharsetPage kCharsetPages[] = {
    {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
    {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850}};

template <typename Table, typename Match>
auto Find(const Table& table, Match match) {
  return std::find_if(std::begin(table), std::end(table), match);
}

}  // namespace

bool IsSkippedDestination(std::string_view word) {
  return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
         std::end(kSkippedDestinations);
}

bool IsUnderlineWord(std::string_view word) {
  return std::find(std::begin(kUnderlineWords), std::end(kUnderlineWords), word) !=
         std::end(kUnderlineWords);
}

uint32_t CharacterOfWord(std::string_view word) {
  const auto found = Find(kCharacterWords, [&](const CharacterWord& c) { return c.word == word; });
  return found == std::end(kCharacterWords) ? 0 : found->codePoint;
}

int CodePageOfCharset(int charset) {
  const auto found =
      Find(kCharsetPages, [&](const CharsetPage& p) { return p.charset == charset; });
  return found == std::end(kCharsetPages) ? 0 : found->codePage;
}

}  // namespace brantle
