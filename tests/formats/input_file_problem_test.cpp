// The one check of a file a person gives as an input: the line naming the file and
// why it cannot be used, and the error box that shows it.

#include "formats/input_file_problem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

class InputFileProblemTest : public ::testing::Test {
 protected:
  test::TempDir dir;
};

TEST_F(InputFileProblemTest, AReadableFileWithDataHasNone) {
  dir.Write("fw.bin", "firmware");
  EXPECT_EQ(InputFileProblem(dir.File("fw.bin")), "");
  EXPECT_EQ(InputFileProblem(dir.File("fw.bin"), EmptyInput::Accepted), "");
}

TEST_F(InputFileProblemTest, EachReasonNamesTheFileAsGiven) {
  dir.Write("empty.bin", "");
  ASSERT_EQ(mkdir(dir.File("folder.bin").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo(dir.File("pipe.bin").c_str(), 0644), 0);
  EXPECT_EQ(InputFileProblem(dir.File("fw.bin")),
            dir.File("fw.bin") + ": No such file or directory");
  EXPECT_EQ(InputFileProblem("fw.bin"), "fw.bin: No such file or directory");
  // A folder on the way that is a file is no folder either.
  dir.Write("plain", "x");
  EXPECT_EQ(InputFileProblem(dir.File("plain/fw.bin")),
            dir.File("plain/fw.bin") + ": No such file or directory");
  EXPECT_EQ(InputFileProblem(dir.File("folder.bin")), dir.File("folder.bin") + ": is a folder");
  EXPECT_EQ(InputFileProblem(dir.File("empty.bin")), dir.File("empty.bin") + ": is empty");
  EXPECT_EQ(InputFileProblem(dir.File("pipe.bin")),
            dir.File("pipe.bin") + ": is not a regular file");
  EXPECT_EQ(InputFileProblem("/dev/null"), "/dev/null: is not a regular file");
}

// A TFS file whose CFG lists only folders holds no byte and is still a whole pair.
TEST_F(InputFileProblemTest, AnEmptyFileIsAcceptedWhereTheCallerSaysSo) {
  dir.Write("folders.tfs", "");
  EXPECT_EQ(InputFileProblem(dir.File("folders.tfs"), EmptyInput::Accepted), "");
  ASSERT_EQ(mkdir(dir.File("folder.tfs").c_str(), 0755), 0);
  EXPECT_EQ(InputFileProblem(dir.File("folder.tfs"), EmptyInput::Accepted),
            dir.File("folder.tfs") + ": is a folder");
}

// What an account without the file's rights is told. Root may read anything, so as
// root the check runs in a child process that has given its rights up.
std::string ProblemWithoutRights(const std::string& path) {
  if (geteuid() != 0) return InputFileProblem(path);
  int fds[2];
  if (pipe(fds) != 0) return "pipe failed";
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    std::string answer = "could not give up root";
    if (setgid(65534) == 0 && setuid(65534) == 0) answer = InputFileProblem(path);
    const ssize_t written = write(fds[1], answer.data(), answer.size());
    _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string answer;
  char buffer[512];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) answer.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return answer;
}

TEST_F(InputFileProblemTest, AFileThatMayNotBeReadIsDenied) {
  dir.Write("secret.bin", "firmware");
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(dir.File("secret.bin").c_str(), 0), 0);
  EXPECT_EQ(ProblemWithoutRights(dir.File("secret.bin")),
            dir.File("secret.bin") + ": permission denied");
  // A folder on the way that may not be entered hides the file.
  ASSERT_EQ(chmod(dir.File("secret.bin").c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0), 0);
  const std::string hidden = ProblemWithoutRights(dir.File("secret.bin"));
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  EXPECT_EQ(hidden, dir.File("secret.bin") + ": permission denied");
}

TEST_F(InputFileProblemTest, OtherFailuresGiveTheSystemsReason) {
  const std::string longName = dir.File(std::string(300, 'n'));
  EXPECT_EQ(InputFileProblem(longName), longName + ": " + std::strerror(ENAMETOOLONG));
}

TEST_F(InputFileProblemTest, AcceptingShowsTheProblemInAnErrorBox) {
  test::RecordingUi ui;
  dir.Write("fw.bin", "firmware");
  EXPECT_TRUE(AcceptInputFile(ui, dir.File("fw.bin")));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(AcceptInputFile(ui, dir.File("gone.bin")));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(ui.messages[0].text, dir.File("gone.bin") + ": No such file or directory");
}

}  // namespace
}  // namespace brantle
