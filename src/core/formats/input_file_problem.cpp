#include "formats/input_file_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "lang/fill_text.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

std::string Problem(const char* key, const std::string& path, const std::string& reason = "") {
  return FillText(LangGet(key), {{"file", path}, {"reason", reason}});
}

// The reason of a failed stat or open.
std::string SystemProblem(int error, const std::string& path) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return Problem("Msg_File_Missing", path);
    case EACCES:
    case EPERM:
      return Problem("Msg_File_Denied", path);
    case EISDIR:
      return Problem("Msg_File_Is_Folder", path);
    default:
      return Problem("Msg_File_Unreadable", path, std::strerror(error));
  }
}

}  // namespace

std::string InputFileProblem(const std::string& path, EmptyInput empty) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return SystemProblem(errno, path);
  if (S_ISDIR(st.st_mode)) return Problem("Msg_File_Is_Folder", path);
  // A FIFO or a device would block a reader or never end.
  if (!S_ISREG(st.st_mode)) return Problem("Msg_File_Not_Regular", path);
  // The rights alone do not say it (root, access lists): opening does.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return SystemProblem(errno, path);
  ::close(fd);
  if (st.st_size == 0 && empty == EmptyInput::Refused) return Problem("Msg_File_Empty", path);
  return "";
}

std::string OpenFailure(const std::string& path) {
  const std::string problem = InputFileProblem(path, EmptyInput::Accepted);
  return problem.empty() ? LangGet("Err_Open_File") : problem;
}

bool AcceptInputFile(Ui& ui, const std::string& path, EmptyInput empty) {
  const std::string problem = InputFileProblem(path, empty);
  if (problem.empty()) return true;
  ui.Error(problem);
  return false;
}

}  // namespace brantle
