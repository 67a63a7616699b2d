#pragma once
// Whole-file reading and replacement of every file the program reads and writes
// (images, DIF, S3, TFS pairs). Reading accepts only regular files (a FIFO or a device picked in a
// file dialog would block or never end). Writing goes to a temporary file beside the target that is
// renamed over it only when every byte is written, so a failed write never destroys the file that
// was there.

#include <cstddef>
#include <cstdint>
#include <string>

namespace brantle {

enum class FileStatus { Ok, OpenFailed, ReadFailed, TooLarge, CreateFailed };

// Reads the whole file into bytes. A file longer than maxSize is refused with
// TooLarge before anything is read. bytes is emptied on every failure.
FileStatus ReadWholeFile(const std::string& path, std::string& bytes,
                         uint64_t maxSize = UINT64_MAX);

// A regular file opened for sequential reading.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool Open(const std::string& path);
  uint64_t Size() const { return size_; }
  // Bytes read into buffer (fewer at the end of the file), or -1 on an error.
  int64_t Read(char* buffer, size_t count);
  // Reads exactly count bytes; false when the file ends early or fails.
  bool ReadExactly(char* buffer, size_t count);
  void Close();

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// The new contents of a file, built in a temporary file in the target's folder.
class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();  // abandons an uncommitted temporary file
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Fails when the target exists but may not be written (read-only, a directory) or
  // the temporary file cannot be made.
  bool Open(const std::string& target);
  // A failed write is remembered; Commit then fails.
  bool Write(const char* data, size_t count);
  bool Write(const std::string& data) { return Write(data.data(), data.size()); }
  // Flushes the data to disk and puts it in the target's place.
  bool Commit();
  void Abandon();

 private:
  int fd_ = -1;
  bool failed_ = false;
  std::string target_;
  std::string temporary_;
};

// Writes bytes as the new contents of path; false if the file could not be created
// or written (the old file is then unchanged).
bool ReplaceFileContents(const std::string& path, const std::string& bytes);

}  // namespace brantle
