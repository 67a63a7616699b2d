#include "log/log_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace brantle {
namespace {

bool SameFile(int fd, const std::string& path) {
  struct stat open {
  }, named{};
  return fstat(fd, &open) == 0 && stat(path.c_str(), &named) == 0 && open.st_ino == named.st_ino &&
         open.st_dev == named.st_dev;
}

}  // namespace

LogFile::LogFile(std::string path, uint64_t rotateAt, int keep)
    : path_(std::move(path)), rotateAt_(rotateAt), keep_(keep) {}

LogFile::~LogFile() {
  Close();
}

void LogFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool LogFile::Lock() {
  // A few rounds at most: each one follows a rotation by another process.
  for (int round = 0; round < 8; ++round) {
    if (fd_ < 0) {
      std::error_code ignored;
      std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
      if (fd_ < 0) {
        problem_ = path_ + ": " + std::strerror(errno);
        return false;
      }
    }
    if (::flock(fd_, LOCK_EX) != 0) {
      problem_ = path_ + ": " + std::strerror(errno);
      return false;
    }
    if (SameFile(fd_, path_)) return true;
    Close();
  }
  problem_ = path_ + ": the file keeps being replaced";
  return false;
}

void LogFile::RotateIfFull() {
  struct stat st {};
  if (fstat(fd_, &st) != 0 || static_cast<uint64_t>(st.st_size) < rotateAt_) return;
  for (int i = keep_ - 1; i >= 1; --i)
    std::rename((path_ + "." + std::to_string(i)).c_str(),
                (path_ + "." + std::to_string(i + 1)).c_str());
  std::rename(path_.c_str(), (path_ + ".1").c_str());
  // The old file stays locked until the new one is: a process waiting for it then
  // finds it renamed and follows to the new one.
  const int old = fd_;
  fd_ = -1;
  if (Lock()) {
    ::close(old);
    return;
  }
  fd_ = old;
}

bool LogFile::Append(const std::string& line) {
  if (!Lock()) return false;
  RotateIfFull();
  const std::string whole = line + "\n";
  const ssize_t written = ::write(fd_, whole.data(), whole.size());
  const int error = errno;
  ::flock(fd_, LOCK_UN);
  if (written == static_cast<ssize_t>(whole.size())) {
    problem_.clear();
    return true;
  }
  problem_ = path_ + ": " + (written < 0 ? std::strerror(error) : "the disk is full");
  return false;
}

}  // namespace brantle
