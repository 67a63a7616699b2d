// brantle-cli against the general-purpose tools a service engineer would otherwise use
// for the same offline jobs, on deterministic generated images:
//  (a) BIN -> S3 of 16 MiB: ours vs objcopy (goal: not slower) and srec_cat (goal: >= 5x
//      faster); S3 records of 16 data bytes with 32-bit addresses everywhere;
//  (b) S3 -> BIN of our own S3 from (a), same peers and goals; every output is checked
//      against the image;
//  (c) a bytewise DIF with embedded reversal and zlib of two 16 MiB images that differ
//      in 2,000 scattered runs vs xdelta3 (goal: not slower); both sizes are shown;
//  (d) peak memory of a 32 MiB S3 -> BIN (goal: at most 4x the image).
// Every timing is the best of three runs. A peer that is not installed is reported and
// left out; the run still succeeds. Nothing here fails on a missed goal: it prints.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr size_t kMiB = 1024 * 1024;
constexpr int kRepeats = 3;
constexpr uint64_t kSeed = 0x5347482D45373030ULL;

std::string g_folder;

struct RunResult {
  bool ok = false;
  double seconds = 0;
  long maxrssKiB = 0;  // of the child alone, as wait4 reports it
};

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string SelfPath() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

bool IsExecutable(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Full path of a program on PATH, or empty when it is not installed.
std::string FindOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (IsExecutable(candidate)) return candidate;
  }
  return {};
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

long FileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

// Runs argv with stdout and stderr going to files in the temporary folder; on failure
// the captured stderr is shown so a broken peer invocation is obvious.
RunResult Run(const std::vector<std::string>& args) {
  RunResult result;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const std::string errPath = g_folder + "/stderr.txt";

  const auto t0 = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int devnull = open("/dev/null", O_RDWR);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (devnull >= 0) {
      dup2(devnull, STDIN_FILENO);
      dup2(devnull, STDOUT_FILENO);
    }
    if (err >= 0) dup2(err, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  std::memset(&usage, 0, sizeof usage);
  if (wait4(pid, &status, 0, &usage) != pid) return result;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  result.maxrssKiB = usage.ru_maxrss;
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!result.ok) {
    std::string err = ReadFile(errPath);
    if (err.size() > 600) err.resize(600);
    std::fprintf(stderr, "  warning: %s failed (status %d): %s\n", args[0].c_str(), status,
                 err.c_str());
  }
  return result;
}

// Best wall time of kRepeats runs; the output is removed before each run so every tool
// creates it afresh (xdelta3 refuses to overwrite).
RunResult Best(const std::vector<std::string>& args, const std::string& output) {
  RunResult best;
  for (int i = 0; i < kRepeats; ++i) {
    unlink(output.c_str());
    const RunResult r = Run(args);
    if (!r.ok) return r;
    if (!best.ok || r.seconds < best.seconds) best = r;
  }
  return best;
}

// A fork of this process starts out with its parent's peak RSS, and exec carries that
// peak into the child's ru_maxrss; with several images in memory here that would swamp
// the figure. So the memory run goes through a fresh, small copy of this program
// ("--peak-rss RESULT PROGRAM ARGS..."), whose own child starts clean.
int PeakRssHelper(int argc, char** argv) {
  if (argc < 4) return 2;
  std::vector<std::string> args(argv + 3, argv + argc);
  g_folder = Folder(argv[2]);
  const RunResult r = Run(args);
  std::ofstream out(argv[2], std::ios::trunc);
  out << (r.ok ? 1 : 0) << ' ' << r.maxrssKiB << ' ' << r.seconds << '\n';
  return r.ok ? 0 : 1;
}

RunResult PeakRss(const std::string& self, const std::vector<std::string>& args) {
  const std::string resultPath = g_folder + "/peak.txt";
  std::vector<std::string> wrapped = {self, "--peak-rss", resultPath};
  wrapped.insert(wrapped.end(), args.begin(), args.end());
  unlink(resultPath.c_str());
  Run(wrapped);
  RunResult r;
  int ok = 0;
  std::istringstream in(ReadFile(resultPath));
  if (in >> ok >> r.maxrssKiB >> r.seconds) r.ok = ok == 1;
  return r;
}

// A firmware-like image: erased (0xFF) stretches, low-entropy code-like stretches and
// random data, in 256-byte pieces. Only raw engine output is used, so the bytes are the
// same with every standard library.
std::string MakeImage(size_t size, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::string image(size, '\0');
  for (size_t pos = 0; pos < size; pos += 256) {
    const size_t end = std::min(size, pos + 256);
    const uint64_t kind = rng() % 4;
    if (kind == 0) {
      std::fill(image.begin() + static_cast<std::ptrdiff_t>(pos),
                image.begin() + static_cast<std::ptrdiff_t>(end), '\xFF');
    } else if (kind == 1) {
      static const char kCodeBytes[] = {'\x00', '\x01', '\x20', '\x40', '\x47', '\x70',
                                        '\xB5', '\xBD', '\xE5', '\xE1', '\xFF', '\x9F'};
      for (size_t i = pos; i < end; ++i) image[i] = kCodeBytes[rng() % sizeof kCodeBytes];
    } else {
      for (size_t i = pos; i < end; i += 8) {
        const uint64_t v = rng();
        for (size_t b = 0; b < 8 && i + b < end; ++b)
          image[i + b] = static_cast<char>(v >> (8 * b));
      }
    }
  }
  return image;
}

// The image with `runs` scattered runs of 1..64 bytes changed; every byte of a run
// differs from the original.
std::string Scatter(std::string image, int runs, uint64_t seed) {
  std::mt19937_64 rng(seed);
  for (int r = 0; r < runs; ++r) {
    const size_t length = 1 + rng() % 64;
    const size_t start = rng() % (image.size() - length);
    for (size_t i = start; i < start + length; ++i)
      image[i] = static_cast<char>(image[i] ^ static_cast<char>(1 + rng() % 255));
  }
  return image;
}

void PrintTime(const char* label, const RunResult& r) {
  if (r.ok)
    std::printf("    %-10s %8.1f ms\n", label, r.seconds * 1e3);
  else
    std::printf("    %-10s failed\n", label);
}

void PrintSkipped(const char* label) {
  std::printf("    %-10s skipped (not installed)\n", label);
}

const char* Verdict(bool met) {
  return met ? "met" : "MISSED";
}

// "peer / ours": how many times faster ours is.
void PrintRatio(const char* peer, const RunResult& ours, const RunResult& theirs, double goal) {
  if (!ours.ok || !theirs.ok) return;
  const double ratio = theirs.seconds / ours.seconds;
  std::printf("    %s / ours = %.2fx (goal >= %.2gx: %s)\n", peer, ratio, goal,
              Verdict(ratio >= goal));
}

void CheckSame(const char* label, const std::string& path, const std::string& image) {
  if (ReadFile(path) != image)
    std::printf("    warning: %s output differs from the image\n", label);
  else
    std::printf("    %s output matches the image\n", label);
}

struct Peers {
  std::string objcopy = FindOnPath("objcopy");
  std::string srecCat = FindOnPath("srec_cat");
  std::string xdelta3 = FindOnPath("xdelta3");
};

void BinToS3(const std::string& cli, const Peers& peers, const std::string& bin,
             std::string& ourS3) {
  std::printf("(a) BIN -> S3, 16 MiB, best of %d\n", kRepeats);
  ourS3 = g_folder + "/ours.s3";
  const RunResult ours = Best({cli, "convert", "bin-to-s3", bin, ourS3}, ourS3);
  PrintTime("brantle", ours);

  RunResult objcopy;
  if (peers.objcopy.empty()) {
    PrintSkipped("objcopy");
  } else {
    const std::string out = g_folder + "/objcopy.s3";
    objcopy = Best(
        {peers.objcopy, "-I", "binary", "-O", "srec", "--srec-forceS3", "--srec-len=16", bin, out},
        out);
    PrintTime("objcopy", objcopy);
  }
  RunResult srecCat;
  if (peers.srecCat.empty()) {
    PrintSkipped("srec_cat");
  } else {
    // -Address_Length=4 gives S3 records, -Output_Block_Size=16 16 data bytes each.
    const std::string out = g_folder + "/srec_cat.s3";
    srecCat = Best({peers.srecCat, bin, "-binary", "-o", out, "-Motorola", "-Address_Length=4",
                    "-Output_Block_Size=16"},
                   out);
    PrintTime("srec_cat", srecCat);
  }
  PrintRatio("objcopy", ours, objcopy, 1.0);
  PrintRatio("srec_cat", ours, srecCat, 5.0);
}

void S3ToBin(const std::string& cli, const Peers& peers, const std::string& s3,
             const std::string& image) {
  std::printf("(b) S3 -> BIN, 16 MiB (our S3 from (a) as input), best of %d\n", kRepeats);
  const std::string ourBin = g_folder + "/ours.bin";
  const RunResult ours = Best({cli, "convert", "s3-to-bin", s3, ourBin}, ourBin);
  PrintTime("brantle", ours);

  RunResult objcopy;
  std::string objcopyBin;
  if (peers.objcopy.empty()) {
    PrintSkipped("objcopy");
  } else {
    objcopyBin = g_folder + "/objcopy.bin";
    objcopy = Best({peers.objcopy, "-I", "srec", "-O", "binary", s3, objcopyBin}, objcopyBin);
    PrintTime("objcopy", objcopy);
  }
  RunResult srecCat;
  std::string srecCatBin;
  if (peers.srecCat.empty()) {
    PrintSkipped("srec_cat");
  } else {
    srecCatBin = g_folder + "/srec_cat.bin";
    srecCat = Best({peers.srecCat, s3, "-Motorola", "-o", srecCatBin, "-binary"}, srecCatBin);
    PrintTime("srec_cat", srecCat);
  }
  PrintRatio("objcopy", ours, objcopy, 1.0);
  PrintRatio("srec_cat", ours, srecCat, 5.0);

  if (ours.ok) CheckSame("brantle", ourBin, image);
  if (objcopy.ok) CheckSame("objcopy", objcopyBin, image);
  if (srecCat.ok) CheckSame("srec_cat", srecCatBin, image);
}

void Dif(const std::string& cli, const Peers& peers, const std::string& image) {
  std::printf("(c) DIF of two 16 MiB images, 2,000 scattered runs, best of %d\n", kRepeats);
  const std::string oldPath = g_folder + "/old.bin";
  const std::string newPath = g_folder + "/new.bin";
  if (!WriteFile(oldPath, image) || !WriteFile(newPath, Scatter(image, 2000, kSeed + 1))) {
    std::printf("    warning: cannot write the images\n");
    return;
  }
  const std::string difPath = g_folder + "/ours.dif";
  const RunResult ours = Best({cli, "dif", "create", "--original", oldPath, "--target", newPath,
                               "--reversal", "embed", "--zlib", "-o", difPath},
                              difPath);
  if (ours.ok)
    std::printf("    %-10s %8.1f ms  %8ld bytes (bytewise, reversal embedded, zlib)\n", "brantle",
                ours.seconds * 1e3, FileSize(difPath));
  else
    PrintTime("brantle", ours);

  RunResult xdelta;
  if (peers.xdelta3.empty()) {
    PrintSkipped("xdelta3");
  } else {
    const std::string xdPath = g_folder + "/out.xd";
    xdelta = Best({peers.xdelta3, "-e", "-s", oldPath, newPath, xdPath}, xdPath);
    if (xdelta.ok)
      std::printf("    %-10s %8.1f ms  %8ld bytes (forward only)\n", "xdelta3",
                  xdelta.seconds * 1e3, FileSize(xdPath));
    else
      PrintTime("xdelta3", xdelta);
  }
  PrintRatio("xdelta3", ours, xdelta, 1.0);
  unlink(oldPath.c_str());
  unlink(newPath.c_str());
}

void Memory(const std::string& self, const std::string& cli, const Peers& peers) {
  std::printf("(d) peak memory of S3 -> BIN, 32 MiB\n");
  const std::string image = MakeImage(32 * kMiB, kSeed + 2);
  const std::string bin = g_folder + "/big.bin";
  const std::string s3 = g_folder + "/big.s3";
  const std::string out = g_folder + "/big.out.bin";
  if (!WriteFile(bin, image) || !Run({cli, "convert", "bin-to-s3", bin, s3}).ok) {
    std::printf("    warning: cannot prepare the 32 MiB S3\n");
    return;
  }
  const RunResult ours = PeakRss(self, {cli, "convert", "s3-to-bin", s3, out});
  if (!ours.ok) {
    std::printf("    brantle failed\n");
    return;
  }
  const double peak = ours.maxrssKiB * 1024.0;
  const double ratio = peak / static_cast<double>(image.size());
  std::printf("    %-10s peak RSS %7.1f MiB = %.2fx the image (goal <= 4x: %s)\n", "brantle",
              peak / kMiB, ratio, Verdict(ratio <= 4.0));
  CheckSame("brantle", out, image);
  // The peers' figures, once each, for scale only.
  if (!peers.objcopy.empty()) {
    const RunResult r = PeakRss(self, {peers.objcopy, "-I", "srec", "-O", "binary", s3, out});
    if (r.ok)
      std::printf("    %-10s peak RSS %7.1f MiB = %.2fx the image\n", "objcopy",
                  r.maxrssKiB / 1024.0, r.maxrssKiB * 1024.0 / static_cast<double>(image.size()));
  }
  if (!peers.srecCat.empty()) {
    const RunResult r = PeakRss(self, {peers.srecCat, s3, "-Motorola", "-o", out, "-binary"});
    if (r.ok)
      std::printf("    %-10s peak RSS %7.1f MiB = %.2fx the image\n", "srec_cat",
                  r.maxrssKiB / 1024.0, r.maxrssKiB * 1024.0 / static_cast<double>(image.size()));
  }
  for (const std::string& path : {bin, s3, out}) unlink(path.c_str());
}

void RemoveFolder(const std::string& folder) {
  for (const char* name :
       {"ours.s3", "objcopy.s3", "srec_cat.s3", "ours.bin", "objcopy.bin", "srec_cat.bin",
        "image.bin", "ours.dif", "out.xd", "stderr.txt", "peak.txt"}) {
    unlink((folder + "/" + name).c_str());
  }
  rmdir(folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--peak-rss") == 0) return PeakRssHelper(argc, argv);

  const std::string self = SelfPath();
  const std::string cli = Folder(self) + "/brantle-cli";
  if (self.empty() || !IsExecutable(cli)) {
    std::fprintf(stderr, "brantle-cli not found beside this program (%s)\n", cli.c_str());
    return 1;
  }
  char folder[] = "/tmp/brantle-peers-XXXXXX";
  if (!mkdtemp(folder)) return std::fprintf(stderr, "cannot make a temporary folder\n"), 1;
  g_folder = folder;

  const Peers peers;
  const std::string image = MakeImage(16 * kMiB, kSeed);
  const std::string bin = g_folder + "/image.bin";
  if (!WriteFile(bin, image)) return std::fprintf(stderr, "cannot write %s\n", bin.c_str()), 1;

  std::string ourS3;
  BinToS3(cli, peers, bin, ourS3);
  S3ToBin(cli, peers, ourS3, image);
  Dif(cli, peers, image);
  Memory(self, cli, peers);

  RemoveFolder(g_folder);
  return 0;
}
