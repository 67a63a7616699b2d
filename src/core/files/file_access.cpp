#include "files/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace brantle {
namespace {

int OpenRegularForReading(const std::string& path, uint64_t& size) {
  // O_NONBLOCK so that opening a FIFO cannot hang; it does not affect regular files.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  size = static_cast<uint64_t>(st.st_size);
  return fd;
}

// The read-only attribute of other systems is a file without any write bit here;
// honour it even for a user whose rights would let the write through.
bool TargetMayBeReplaced(const std::string& target) {
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISDIR(st.st_mode)) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
  return ::access(target.c_str(), W_OK) == 0;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Cut so that the temporary name stays within the 255 bytes a folder entry may have.
std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, 180);
}

}  // namespace

FileStatus ReadWholeFile(const std::string& path, std::string& bytes, uint64_t maxSize) {
  bytes.clear();
  InputFile file;
  if (!file.Open(path)) return FileStatus::OpenFailed;
  if (file.Size() > maxSize) return FileStatus::TooLarge;
  if (file.Size() > bytes.max_size()) return FileStatus::ReadFailed;
  bytes.resize(static_cast<size_t>(file.Size()));
  if (!file.ReadExactly(bytes.data(), bytes.size())) {
    bytes.clear();
    bytes.shrink_to_fit();
    return FileStatus::ReadFailed;
  }
  return FileStatus::Ok;
}

InputFile::~InputFile() {
  Close();
}

bool InputFile::Open(const std::string& path) {
  Close();
  fd_ = OpenRegularForReading(path, size_);
  return fd_ >= 0;
}

int64_t InputFile::Read(char* buffer, size_t count) {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, count);
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

bool InputFile::ReadExactly(char* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const int64_t got = Read(buffer + done, count - done);
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

void InputFile::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

ReplacementFile::~ReplacementFile() {
  Abandon();
}

bool ReplacementFile::Open(const std::string& target) {
  Abandon();
  if (target.empty() || !TargetMayBeReplaced(target)) return false;
  static std::atomic<uint32_t> counter{0};
  const auto seed =
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::string stem = FolderOf(target) + "/." + BaseNameOf(target) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, "%d-%llx-%u.tmp", static_cast<int>(::getpid()),
                  static_cast<unsigned long long>(seed & 0xFFFFFFFFFFULL), counter++);
    const std::string candidate = stem + suffix;
    // Mode 0666 lets the umask decide, as for any newly created file.
    fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
      target_ = target;
      temporary_ = candidate;
      failed_ = false;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

bool ReplacementFile::Write(const char* data, size_t count) {
  if (fd_ < 0 || failed_) return false;
  while (count > 0) {
    const ssize_t put = ::write(fd_, data, count);
    if (put < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    data += put;
    count -= static_cast<size_t>(put);
  }
  return true;
}

bool ReplacementFile::Commit() {
  if (fd_ < 0) return false;
  // Without the flush a crash right after the rename could leave an empty file
  // where the old one stood.
  bool ok = !failed_ && ::fsync(fd_) == 0;
  ok = (::close(fd_) == 0) && ok;
  fd_ = -1;
  if (ok) ok = ::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) ::unlink(temporary_.c_str());
  temporary_.clear();
  target_.clear();
  return ok;
}

void ReplacementFile::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  target_.clear();
  failed_ = false;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes) {
  ReplacementFile file;
  return file.Open(path) && file.Write(bytes) && file.Commit();
}

}  // namespace brantle
