#pragma once
// Whole lines appended to a file that several processes write at once (the window
// and any number of command-line runs): each line goes out in one write to a file
// opened for appending, so lines never mix. Past its size limit the file is rotated
// before the next line (NAME.1 ... NAME.3, the oldest dropped), under a lock, so
// that two processes never rotate it twice.

#include <cstdint>
#include <string>

namespace brantle {

class LogFile {
 public:
  explicit LogFile(std::string path, uint64_t rotateAt = uint64_t{1} << 20, int keep = 3);
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Appends line and a line break; the folder is made when needed. False when the
  // line could not be written (Problem() says why).
  bool Append(const std::string& line);
  const std::string& Path() const { return path_; }
  // "PATH: Read-only file system": why the last Append failed; empty after success.
  const std::string& Problem() const { return problem_; }

 private:
  // Opened and locked, and still the file the path names (another process may have
  // rotated it away meanwhile).
  bool Lock();
  void RotateIfFull();
  void Close();

  std::string path_;
  uint64_t rotateAt_;
  int keep_;
  int fd_ = -1;
  std::string problem_;
};

}  // namespace brantle
