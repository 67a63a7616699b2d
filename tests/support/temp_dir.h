#pragma once
// A temporary folder removed with everything in it when the test ends.

#include <string>

namespace brantle::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace brantle::test
