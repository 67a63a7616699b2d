// Reading and writing the DIF byte layout. Both directions run through small stream
// classes so that a file is read and written in one pass (a 16 MiB data block costs
// one allocation, not a copy of the whole file) and so that the in-memory parser and
// the file loader are the same code.
//
// Hostile files are the reason for most of what is here: every declared length is
// checked against what the source can still deliver before memory is committed to it,
// and a compressed stream is only inflated as far as the declared records reach.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "dif/DIFFiles.h"
#include "files/file_access.h"

namespace brantle {
namespace {

constexpr size_t kHeaderSize = 32;
constexpr size_t kRecordHeaderSize = 12;
constexpr size_t kIoPiece = 64 * 1024;
constexpr uint64_t kUnknown = std::numeric_limits<uint64_t>::max();
constexpr uint64_t kAddressSpace = uint64_t{1} << 32;

uint32_t Read32(const char* p) {
  return static_cast<uint32_t>(static_cast<uint8_t>(p[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(p[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(p[3])) << 24;
}

void Put32(char* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// ---- sources ---------------------------------------------------------------------

class Source {
 public:
  virtual ~Source() = default;
  // Up to n bytes; fewer only at the end of the data or on a fault.
  virtual size_t Read(char* out, size_t n) = 0;
  // How many bytes are still to come, when the source knows it (kUnknown otherwise).
  virtual uint64_t Remaining() const = 0;
};

class MemorySource final : public Source {
 public:
  MemorySource(const char* data, size_t size) : data_(data), size_(size) {}
  size_t Read(char* out, size_t n) override {
    n = std::min(n, size_ - pos_);
    if (n) std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return n;
  }
  uint64_t Remaining() const override { return size_ - pos_; }

 private:
  const char* data_;
  size_t size_;
  size_t pos_ = 0;
};

class FileSource final : public Source {
 public:
  // size is kUnknown for anything but a regular file.
  FileSource(FILE* file, uint64_t size) : file_(file), size_(size) {}
  size_t Read(char* out, size_t n) override {
    const size_t got = std::fread(out, 1, n, file_);
    pos_ += got;
    return got;
  }
  uint64_t Remaining() const override {
    return size_ == kUnknown ? kUnknown : (pos_ < size_ ? size_ - pos_ : 0);
  }

 private:
  FILE* file_;
  uint64_t size_;
  uint64_t pos_ = 0;
};

// Inflates the zlib stream that follows the header. It only produces what is asked
// for, so a stream that would inflate to gigabytes costs nothing beyond what the
// declared records actually consume.
class InflateSource final : public Source {
 public:
  explicit InflateSource(Source& base) : base_(base), in_(new char[kIoPiece]) {
    std::memset(&zs_, 0, sizeof zs_);
    failed_ = inflateInit2(&zs_, 15) != Z_OK;
    initialised_ = !failed_;
  }
  ~InflateSource() override {
    if (initialised_) inflateEnd(&zs_);
  }

  size_t Read(char* out, size_t n) override {
    size_t got = 0;
    while (got < n && !ended_ && !failed_) {
      if (zs_.avail_in == 0 && !baseDone_) {
        const size_t k = base_.Read(in_.get(), kIoPiece);
        if (k == 0) baseDone_ = true;
        zs_.next_in = reinterpret_cast<Bytef*>(in_.get());
        zs_.avail_in = static_cast<uInt>(k);
      }
      const size_t want = std::min<size_t>(n - got, UINT_MAX);
      zs_.next_out = reinterpret_cast<Bytef*>(out + got);
      zs_.avail_out = static_cast<uInt>(want);
      const int rc = inflate(&zs_, Z_NO_FLUSH);
      got += want - zs_.avail_out;
      if (rc == Z_STREAM_END) {
        ended_ = true;
      } else if (rc == Z_BUF_ERROR) {
        // No progress possible: the file ended inside the stream.
        if (zs_.avail_in == 0 && baseDone_) failed_ = true;
      } else if (rc != Z_OK) {
        failed_ = true;
      }
    }
    return got;
  }
  uint64_t Remaining() const override { return kUnknown; }

  // True when the stream ends right here with an intact trailer: a damaged checksum or
  // data beyond the last declared record makes the file invalid.
  bool EndsCleanly() {
    char extra;
    if (Read(&extra, 1) != 0) return false;
    return ended_ && !failed_;
  }

 private:
  Source& base_;
  std::unique_ptr<char[]> in_;
  z_stream zs_;
  bool initialised_ = false;
  bool failed_ = false;
  bool ended_ = false;
  bool baseDone_ = false;
};

bool ReadExact(Source& source, char* out, size_t n) {
  while (n > 0) {
    const size_t got = source.Read(out, n);
    if (got == 0) return false;
    out += got;
    n -= got;
  }
  return true;
}

// Reads a declared payload. When the source knows its remaining size a lie is caught
// before anything is allocated; otherwise the buffer grows only as bytes arrive.
bool ReadPayload(Source& source, uint32_t length, std::string& data) {
  const uint64_t remaining = source.Remaining();
  if (remaining != kUnknown) {
    if (length > remaining) return false;
    data.resize(length);
    return length == 0 || ReadExact(source, &data[0], length);
  }
  size_t have = 0;
  while (have < length) {
    const size_t want = std::min<size_t>(length - have, std::max(kIoPiece, have));
    data.resize(have + want);
    if (!ReadExact(source, &data[have], want)) return false;
    have += want;
  }
  return true;
}

// Payload layouts the rest of the program relies on without checking again: an
// address that fits the 32-bit NOR space, a TFS name inside its block.
bool PayloadSound(const TDIFBlock& block) {
  if (block.Kind == "NORD" || block.Kind == "nOrR") {
    if (block.Data.size() < 4) return false;
    return uint64_t{NORAddress(block)} + (block.Data.size() - 4) <= kAddressSpace;
  }
  if (block.Kind == "TFSF") {
    if (block.Data.size() < 4) return false;
    return Read32(block.Data.data()) <= block.Data.size() - 4;
  }
  return true;
}

int ReadRecords(Source& source, uint32_t count, TDIFFile& dif) {
  const uint64_t remaining = source.Remaining();
  if (remaining != kUnknown) {
    dif.Blocks.reserve(std::min<uint64_t>(count, remaining / kRecordHeaderSize));
  }
  for (uint32_t i = 0; i < count; ++i) {
    char head[kRecordHeaderSize];
    if (!ReadExact(source, head, sizeof head)) return kDIFInvalid;
    if (std::memcmp(head, "FBLK", 4) != 0) return kDIFInvalid;
    TDIFBlock block;
    TDIFFile::SetBlockKind(block, std::string(head + 4, 4));
    if (!ReadPayload(source, Read32(head + 8), block.Data)) return kDIFInvalid;
    if (!PayloadSound(block)) return kDIFInvalid;
    dif.Blocks.push_back(std::move(block));
  }
  return kDIFOk;
}

int Parse(Source& source, TDIFFile& dif) {
  dif.Clear();
  char header[kHeaderSize];
  if (!ReadExact(source, header, sizeof header)) return kDIFInvalid;
  const bool plain = std::memcmp(header, "KTZD", 4) == 0;
  const bool packed = std::memcmp(header, "KTZZ", 4) == 0;
  if (!plain && !packed) return kDIFInvalid;
  dif.PhoneID.assign(header + 4, 4);
  dif.CreatorText.assign(header + 8, 16);
  const uint32_t count = Read32(header + 28);
  if (plain) return ReadRecords(source, count, dif);
  InflateSource inflater(source);
  const int rc = ReadRecords(inflater, count, dif);
  if (rc != kDIFOk) return rc;
  return inflater.EndsCleanly() ? kDIFOk : kDIFInvalid;
}

// ---- sinks -----------------------------------------------------------------------

class Sink {
 public:
  virtual ~Sink() = default;
  virtual bool Write(const char* data, size_t n) = 0;
  virtual bool Finish() { return true; }
};

class StringSink final : public Sink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  bool Write(const char* data, size_t n) override {
    out_.append(data, n);
    return true;
  }

 private:
  std::string& out_;
};

class ReplacementSink final : public Sink {
 public:
  explicit ReplacementSink(ReplacementFile& file) : file_(file) {}
  bool Write(const char* data, size_t n) override { return file_.Write(data, n); }

 private:
  ReplacementFile& file_;
};

// zlib format, default level, 32 KB window, memory level 8, default strategy.
class DeflateSink final : public Sink {
 public:
  explicit DeflateSink(Sink& base) : base_(base), out_(new char[kIoPiece]) {
    std::memset(&zs_, 0, sizeof zs_);
    ok_ = deflateInit2(&zs_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    initialised_ = ok_;
  }
  ~DeflateSink() override {
    if (initialised_) deflateEnd(&zs_);
  }
  bool Write(const char* data, size_t n) override {
    while (ok_ && n > 0) {
      const size_t piece = std::min<size_t>(n, UINT_MAX);
      zs_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
      zs_.avail_in = static_cast<uInt>(piece);
      while (ok_ && zs_.avail_in > 0) ok_ = Step(Z_NO_FLUSH) != Z_STREAM_ERROR;
      data += piece;
      n -= piece;
    }
    return ok_;
  }
  bool Finish() override {
    int rc = Z_OK;
    while (ok_ && rc != Z_STREAM_END) {
      rc = Step(Z_FINISH);
      if (rc == Z_STREAM_ERROR) ok_ = false;
    }
    return ok_;
  }

 private:
  int Step(int flush) {
    zs_.next_out = reinterpret_cast<Bytef*>(out_.get());
    zs_.avail_out = static_cast<uInt>(kIoPiece);
    const int rc = deflate(&zs_, flush);
    const size_t produced = kIoPiece - zs_.avail_out;
    if (produced && !base_.Write(out_.get(), produced)) return Z_STREAM_ERROR;
    return rc;
  }

  Sink& base_;
  std::unique_ptr<char[]> out_;
  z_stream zs_;
  bool ok_ = false;
  bool initialised_ = false;
};

bool WriteDIF(const TDIFFile& dif, int compress, Sink& sink) {
  char header[kHeaderSize] = {};
  std::memcpy(header, compress == 1 ? "KTZZ" : "KTZD", 4);
  std::string phone = dif.PhoneID;
  phone.resize(4, ' ');
  std::string creator = dif.CreatorText;
  creator.resize(16, ' ');
  std::memcpy(header + 4, phone.data(), 4);
  std::memcpy(header + 8, creator.data(), 16);
  Put32(header + 28, static_cast<uint32_t>(dif.Blocks.size()));
  if (!sink.Write(header, sizeof header)) return false;

  std::unique_ptr<DeflateSink> deflater;
  Sink* out = &sink;
  if (compress == 1) {
    deflater.reset(new DeflateSink(sink));
    out = deflater.get();
  }
  for (const TDIFBlock& block : dif.Blocks) {
    char head[kRecordHeaderSize];
    std::string kind = block.Kind;
    kind.resize(4, ' ');
    std::memcpy(head, "FBLK", 4);
    std::memcpy(head + 4, kind.data(), 4);
    Put32(head + 8, static_cast<uint32_t>(block.Data.size()));
    if (!out->Write(head, sizeof head)) return false;
    if (!out->Write(block.Data.data(), block.Data.size())) return false;
  }
  return out->Finish();
}

}  // namespace

int ParseDIF(const char* bytes, size_t size, TDIFFile& dif) {
  MemorySource source(bytes, size);
  return Parse(source, dif);
}

int ParseDIF(const std::string& bytes, TDIFFile& dif) {
  return ParseDIF(bytes.data(), bytes.size(), dif);
}

std::string SerializeDIF(const TDIFFile& dif, int compress) {
  std::string out;
  StringSink sink(out);
  WriteDIF(dif, compress, sink);
  return out;
}

int TDIFFile::LoadFromFile(const std::string& fileName) {
  Clear();
  FILE* file = std::fopen(fileName.c_str(), "rbe");
  if (!file) return kDIFCannotOpen;
  struct stat st;
  if (::fstat(::fileno(file), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(file);
    return kDIFCannotOpen;
  }
  FileSource source(file, S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : kUnknown);
  const int rc = Parse(source, *this);
  std::fclose(file);
  return rc;
}

int TDIFFile::SaveToFile(const std::string& fileName, int compress) const {
  // The old file is replaced only once the new one is complete.
  ReplacementFile file;
  if (!file.Open(fileName)) return kDIFCannotOpen;
  ReplacementSink sink(file);
  if (!WriteDIF(*this, compress, sink) || !file.Commit()) return kDIFCannotOpen;
  return kDIFOk;
}

}  // namespace brantle
