#pragma once
// Building blocks and raw DIF files by hand, byte by byte, so that the tests check the
// container against the layout rather than against its own writer.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dif/DIFFiles.h"

namespace brantle::test {

inline std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                     static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

inline std::string Record(const std::string& kind, const std::string& payload) {
  return "FBLK" + kind + Le32(static_cast<uint32_t>(payload.size())) + payload;
}

inline std::string Header(const std::string& magic, uint32_t count,
                          const std::string& reserved = std::string(4, '\0')) {
  return magic + "BRNA" + std::string(" BRNTL v0.68\0\0\0\0", 16) + reserved + Le32(count);
}

inline TDIFBlock Block(const std::string& kind, const std::string& data) {
  TDIFBlock b;
  TDIFFile::SetBlockKind(b, kind);
  b.Data = data;
  return b;
}

inline TDIFBlock Nord(uint32_t address, const std::string& bytes) {
  return Block("NORD", Le32(address) + bytes);
}

inline TDIFBlock Rev(uint32_t address, const std::string& bytes) {
  return Block("nOrR", Le32(address) + bytes);
}

inline TDIFBlock Tfs(const std::string& name, const std::string& contents) {
  return Block("TFSF", Le32(static_cast<uint32_t>(name.size())) + name + contents);
}

inline TDIFBlock Comment(const std::string& text) {
  return Block("dIFC", text);
}

// Deterministic filler: different seeds give different bytes.
inline std::string Pattern(size_t n, uint32_t seed) {
  std::string out(n, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    out[i] = static_cast<char>(x >> 24);
  }
  return out;
}

inline TDIFFile Dif(std::initializer_list<TDIFBlock> blocks) {
  TDIFFile dif;
  dif.PhoneID = "BRNA";
  dif.CreatorText = std::string(" BRNTL v0.68\0\0\0\0", 16);
  dif.Blocks.assign(blocks.begin(), blocks.end());
  return dif;
}

// The largest single allocation made while one of these lives (the executable's
// operator new reports to it).
class AllocationWatch {
 public:
  AllocationWatch();
  ~AllocationWatch();
  size_t Largest() const;
};

using Contents = std::vector<std::pair<std::string, std::string>>;

// Kind and payload of every block, in order.
inline Contents ContentsOf(const TDIFFile& dif) {
  Contents out;
  for (const TDIFBlock& b : dif.Blocks) out.emplace_back(b.Kind, b.Data);
  return out;
}

}  // namespace brantle::test
