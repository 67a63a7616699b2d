// The dump of a whole NAND volume into a DIF container of "TFSF" blocks and a
// directory list: mount, walk the tree from the root, read the files in path order,
// unmount.
#include <algorithm>
#include <cstring>

#include "formats/stde_decoder.h"
#include "lang/lang_get.h"
#include "ui/ui.h"

namespace brantle {
namespace {

constexpr uint32_t kRootCluster = 3;
// Paths longer than this are not followed: a chain of directories nested that deep
// only comes from a damaged volume and would make every path beneath it huge.
constexpr size_t kMaxPathLength = 1024;

struct FileRecord {
  std::string Path;  // the directory, "" or "a/b/"
  std::string Name;
  uint32_t Size = 0;
  uint32_t FirstCluster = 0;
};

struct Frame {
  std::string Path;
  std::vector<TFSEntry> Entries;
  size_t Next = 0;
};

}  // namespace

bool DumpTFS(Ui& ui, SectorSource& source, TDIFFile& dif, std::vector<std::string>& directories,
             const TFSDumpOptions& options) {
  TSTDEDecoder decoder(source, [&ui](const std::string& text) {
    ui.SetStatus(text);
    ui.PumpMessages();
  });
  auto cancelled = [&options] { return options.Cancelled && options.Cancelled(); };
  const std::string aborted = LangGet("ErrC_Operation_Aborted");

  int rc = decoder.Mount();
  if (rc != kSTDEOk) {
    ui.Error(aborted + " " + STDEErrorText(rc));
    ui.ShowIdleState();
    return false;
  }
  decoder.TrackClaims(true);

  // The walk, depth first with an explicit stack: a directory is listed before its
  // subdirectories, and nesting depth costs no call stack.
  std::vector<FileRecord> files;
  std::vector<Frame> stack;
  auto enter = [&](uint32_t cluster, const std::string& path) {
    ui.SetStatus(LangGet("Status_Reading_Directory") + " /" + path);
    ui.PumpMessages();
    Frame frame;
    frame.Path = path;
    const int read = decoder.ReadDirectory(cluster, frame.Entries);
    if (read != kSTDEOk) {
      ui.Error(LangGet("ErrC_Reading_Directory") + " /" + path + ": " + STDEErrorText(read));
    }
    stack.push_back(std::move(frame));
  };
  bool wasCancelled = false;
  enter(kRootCluster, "");
  while (!stack.empty()) {
    if (cancelled()) {
      wasCancelled = true;
      break;
    }
    Frame& top = stack.back();
    if (top.Next == top.Entries.size()) {
      stack.pop_back();
      continue;
    }
    const TFSEntry entry = top.Entries[top.Next++];
    if (entry.Name.empty()) continue;  // no path can name it
    if (entry.Type == 1) {
      files.push_back({top.Path, entry.Name, entry.Size, entry.FirstCluster});
    } else if (entry.Type == 2 && entry.Name != "." && entry.Name != "..") {
      const std::string path = top.Path + entry.Name + "/";
      if (path.size() + 1 > kMaxPathLength) {
        ui.Error(LangGet("ErrC_Reading_Directory") + " /" + path + ": " +
                 STDEErrorText(kSTDEInvalidDirectory));
        continue;
      }
      directories.push_back("/" + path);
      enter(entry.FirstCluster, path);  // invalidates top
    }
  }

  if (!wasCancelled) {
    // Ascending by path in the collation of the user's locale; files of equal path
    // keep their directory order.
    std::stable_sort(files.begin(), files.end(), [](const FileRecord& a, const FileRecord& b) {
      return std::strcoll((a.Path + a.Name).c_str(), (b.Path + b.Name).c_str()) < 0;
    });
    int64_t total = 0;
    for (const FileRecord& file : files) total += file.Size;
    ui.SetProgressRange(0, total);
    ui.SetProgressPosition(0);
    for (const FileRecord& file : files) {
      if (cancelled()) {
        wasCancelled = true;
        break;
      }
      const std::string fullPath = "/" + file.Path + file.Name;
      ui.SetStatus(LangGet("Status_Reading") + " " + fullPath);
      ui.PumpMessages();
      std::string bytes;
      const int read = decoder.ReadFile(file.FirstCluster, file.Size, bytes, options.Cancelled);
      if (cancelled()) {
        wasCancelled = true;
        break;
      }
      ui.StepProgress(file.Size);
      if (read != kSTDEOk) {
        ui.Error(LangGet("ErrC_Read_File") + " " + fullPath + ": " + STDEErrorText(read));
        continue;
      }
      dif.SetTFSFile(dif.AddBlock(), fullPath, bytes);
    }
  }

  rc = decoder.Unmount();
  if (rc != kSTDEOk) {
    ui.Error(aborted + " " + STDEErrorText(rc));
    ui.ShowIdleState();
    return false;
  }
  if (wasCancelled) {
    ui.ShowIdleState();
    return false;
  }
  if (options.ShowCompletion) ui.Information(LangGet("Msg_TFS_Dump_Completed"));
  ui.ShowIdleState();
  return true;
}

}  // namespace brantle
