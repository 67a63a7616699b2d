#pragma once
// What an HTML page written by a converter says: its text with tags removed and
// entities decoded, and the tags that open right before a piece of text. Enough for
// the plain pages pandoc and unrtf write, not a general HTML parser.

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "formats/utf8.h"

namespace brantle::test {

using EntityNames = std::map<std::string, uint32_t>;  // "eacute" -> 233

// Decodes &name; and &#N; (UTF-16 halves written as two references are joined); tags
// stay as they are. An unknown name stays as written, so a comparison shows it.
inline std::string DecodeEntities(const std::string& html, const EntityNames& names) {
  std::string out;
  uint32_t high = 0;
  for (size_t at = 0; at < html.size();) {
    const size_t end = html[at] == '&' ? html.find(';', at) : std::string::npos;
    if (end == std::string::npos) {
      out += html[at++];
      continue;
    }
    const std::string name = html.substr(at + 1, end - at - 1);
    uint32_t cp = 0;
    if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      cp = static_cast<uint32_t>(std::stoul(name.substr(hex ? 2 : 1), nullptr, hex ? 16 : 10));
    } else if (names.count(name)) {
      cp = names.at(name);
    } else {
      out += html[at++];
      continue;
    }
    at = end + 1;
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      high = cp;
      continue;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF && high != 0)
      cp = 0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00);
    high = 0;
    AppendUtf8(out, cp);
  }
  return out;
}

// The text between <body> and </body>: source line breaks dropped, <br> as "\n",
// other tags removed, entities decoded.
inline std::string HtmlBodyText(const std::string& html, const EntityNames& names) {
  const size_t open = html.find("<body>");
  const size_t start = open == std::string::npos ? 0 : open + 6;
  const size_t close = html.find("</body>", start);
  std::string text;
  for (size_t at = start; at < std::min(close, html.size());) {
    if (html[at] == '<') {
      const size_t end = html.find('>', at);
      if (html.compare(at, 3, "<br") == 0) text += '\n';
      at = end == std::string::npos ? html.size() : end + 1;
    } else {
      if (html[at] != '\n') text += html[at];
      ++at;
    }
  }
  return DecodeEntities(text, names);
}

// The tags that open directly before the first occurrence of text (entities of the
// page decoded first), e.g. {"<b>", "<font color=\"#ff0000\">"}; empty if not found.
inline std::set<std::string> TagsBefore(const std::string& html, const EntityNames& names,
                                        const std::string& text) {
  const std::string page = DecodeEntities(html, names);
  std::set<std::string> tags;
  size_t at = page.find(text);
  while (at != std::string::npos && at > 0 && page[at - 1] == '>') {
    const size_t open = page.rfind('<', at - 1);
    if (open == std::string::npos || page[open + 1] == '/') break;
    tags.insert(page.substr(open, at - open));
    at = open;
  }
  return tags;
}

}  // namespace brantle::test
