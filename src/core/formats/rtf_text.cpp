#include "formats/rtf_text.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace brantle {
namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Groups whose text is not part of the document body.
bool IsHiddenDestination(const std::string& word) {
  return word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
         word == "pict" || word == "header" || word == "footer" || word == "generator";
}

// Decodes one UTF-8 sequence at text[i]; invalid bytes stand for themselves (Latin-1).
uint32_t NextCodePoint(const std::string& text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t b = byte(i);
  const int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + extra >= text.size()) {
    ++i;
    return b;
  }
  uint32_t cp = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  i += extra + 1;
  return cp;
}

}  // namespace

bool LooksLikeRtf(const std::string& text) {
  return text.compare(0, 5, "{\\rtf") == 0;
}

std::string RtfToPlainText(const std::string& rtf) {
  if (!LooksLikeRtf(rtf)) return rtf;
  std::string out;
  // Per group: hidden, and how many characters follow a \uN as its fallback.
  struct Group {
    bool hidden;
    int uc;
  };
  std::vector<Group> groups{{false, 1}};
  int skip = 0;  // fallback characters still to drop after \uN
  bool groupStart = false;
  for (size_t i = 0; i < rtf.size();) {
    const char c = rtf[i];
    if (c == '{') {
      groups.push_back(groups.back());
      groupStart = true;
      ++i;
      continue;
    }
    if (c == '}') {
      if (groups.size() > 1) groups.pop_back();
      groupStart = false;
      ++i;
      continue;
    }
    const bool hidden = groups.back().hidden;
    if (c == '\\' && i + 1 == rtf.size()) break;  // a document cut after a backslash
    if (c == '\\') {
      const char n = rtf[i + 1];
      if (n == '\\' || n == '{' || n == '}') {
        if (!hidden && skip == 0) out.push_back(n);
        skip = skip > 0 ? skip - 1 : 0;
        i += 2;
        continue;
      }
      if (n == '\'') {
        const int hi = i + 2 < rtf.size() ? HexValue(rtf[i + 2]) : -1;
        const int lo = i + 3 < rtf.size() ? HexValue(rtf[i + 3]) : -1;
        if (hi >= 0 && lo >= 0 && !hidden && skip == 0) AppendUtf8(out, uint32_t(hi * 16 + lo));
        skip = skip > 0 ? skip - 1 : 0;
        i += 4;
        continue;
      }
      if (n == '*') {  // an optional destination this reader does not know
        groups.back().hidden = true;
        i += 2;
        continue;
      }
      size_t j = i + 1;
      while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
      const std::string word = rtf.substr(i + 1, j - i - 1);
      size_t k = j;
      if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k]))))
        ++k;
      while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
      const std::string number = rtf.substr(j, k - j);
      if (k < rtf.size() && rtf[k] == ' ') ++k;  // the delimiting space belongs to the word
      i = word.empty() ? i + 2 : k;
      if (groupStart && IsHiddenDestination(word)) groups.back().hidden = true;
      groupStart = false;
      if (groups.back().hidden) continue;
      if (word == "par" || word == "line") out.push_back('\n');
      if (word == "tab") out.push_back('\t');
      if (word == "uc" && !number.empty()) groups.back().uc = std::atoi(number.c_str());
      if (word == "u" && !number.empty()) {
        long v = std::strtol(number.c_str(), nullptr, 10);
        if (v < 0) v += 65536;
        AppendUtf8(out, static_cast<uint32_t>(v));
        skip = groups.back().uc;
      }
      continue;
    }
    groupStart = false;
    ++i;
    if (c == '\r' || c == '\n' || hidden) continue;
    if (skip > 0) {
      --skip;
      continue;
    }
    out.push_back(c);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string PlainTextToRtf(const std::string& text) {
  std::string body;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\\' || c == '{' || c == '}') {
      body += '\\';
      body += c;
      ++i;
    } else if (c == '\r') {
      ++i;  // CR LF counts as one break
    } else if (c == '\n') {
      body += "\\par\n";
      ++i;
    } else if (static_cast<uint8_t>(c) < 0x80) {
      body += c;
      ++i;
    } else {
      const uint32_t cp = NextCodePoint(text, i);
      // \uN takes a signed 16-bit number; characters beyond that are left out.
      if (cp < 0x10000)
        body += "\\u" + std::to_string(cp < 0x8000 ? int(cp) : int(cp) - 65536) + "?";
    }
  }
  return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + body + "\\par\n}";
}

}  // namespace brantle
