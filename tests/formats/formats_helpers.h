#pragma once
// Small builders for the format tests: blocks made byte by byte, deterministic
// filler, file access and a lookup of the external tools the interoperability tests
// compare against.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "dif/DIFFiles.h"
#include "dif/dif_helpers.h"

namespace brantle::test {

// Blocks come from the container tests' builders (Block, Nord, Le32).
inline TDIFBlock TfsBlock(const std::string& path, const std::string& contents) {
  return Block("TFSF", Le32(static_cast<uint32_t>(path.size())) + path + contents);
}

inline std::string Filler(size_t n, uint32_t seed) {
  std::string out(n, '\0');
  uint32_t x = seed * 2654435761u + 7;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    out[i] = static_cast<char>(x >> 23);
  }
  return out;
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline bool FileExists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

// Full path of a program on PATH, or empty.
inline std::string FindTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// Runs a shell command quietly; true when it exits with 0.
inline bool RunQuietly(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace brantle::test
