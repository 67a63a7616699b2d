#include "files/port_diagnosis.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

namespace brantle {
namespace {

bool IsNumber(const char* text) {
  if (*text == '\0') return false;
  for (; *text != '\0'; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

// The processes with an open descriptor on the device; only those /proc lets this
// user look into.
std::vector<std::string> Holders(dev_t device) {
  std::vector<std::string> holders;
  DIR* proc = opendir("/proc");
  if (!proc) return holders;
  while (const dirent* process = readdir(proc)) {
    if (!IsNumber(process->d_name)) continue;
    const std::string folder = std::string("/proc/") + process->d_name;
    DIR* fds = opendir((folder + "/fd").c_str());
    if (!fds) continue;
    bool holds = false;
    while (const dirent* fd = readdir(fds)) {
      struct stat st {};
      if (!IsNumber(fd->d_name) || stat((folder + "/fd/" + fd->d_name).c_str(), &st) != 0) continue;
      if (S_ISCHR(st.st_mode) && st.st_rdev == device) holds = true;
    }
    closedir(fds);
    if (!holds) continue;
    std::string name;
    std::getline(std::ifstream(folder + "/comm"), name);
    holders.push_back((name.empty() ? "a program" : name) + " (process " + process->d_name + ")");
  }
  closedir(proc);
  return holders;
}

bool InSupplementaryGroups(gid_t gid) {
  const int n = getgroups(0, nullptr);
  std::vector<gid_t> groups(n > 0 ? n : 0);
  if (n > 0 && getgroups(n, groups.data()) < 0) return false;
  return getegid() == gid || std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// The group database as a new login would see it.
bool ListedInGroup(gid_t gid) {
  const passwd* user = getpwuid(getuid());
  if (!user) return false;
  int n = 64;
  std::vector<gid_t> groups(n);
  if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &n) < 0) {
    groups.resize(n);
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &n) < 0) return false;
  }
  groups.resize(n);
  return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

void TrialOpen(const std::string& path, PortFacts& facts) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    facts.OpenError = errno;
    return;
  }
  facts.Terminal = isatty(fd) == 1;
  // The same lock our own open takes; it goes with the close.
  facts.Locked = facts.Terminal && flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
}

std::string PortList(const std::vector<SerialPortInfo>& ports) {
  if (ports.empty()) return "No serial port was found on this system (is the adapter plugged in?).";
  std::string text = "Serial ports on this system: ";
  for (size_t i = 0; i < ports.size(); ++i) {
    if (i > 0) text += ", ";
    text += ports[i].Path;
    if (!ports[i].Description.empty()) text += " (" + ports[i].Description + ")";
  }
  return text + ".";
}

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISREG(mode)) return "a regular file";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "a character device but no terminal line";
}

std::string PermissionDenied(const PortFacts& f) {
  const std::string denied = "Permission denied on " + f.Path + ": ";
  if (f.Group.empty() || f.Group == "root") return denied + "only root may open it.";
  if (f.InGroup) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(f.Mode & 07777));
    return denied + "you are in its group " + f.Group + ", but its permissions (" + mode +
           ") do not let the group read and write it.";
  }
  if (f.GroupListed)
    return denied + "you were added to its group " + f.Group +
           " after this login started; log out and in again (a new login is needed).";
  return denied + "it belongs to the group " + f.Group +
         ", and you are not in it. Join it with: " + "sudo adduser $USER " + f.Group +
         " (then log out and in again: a new login is needed).";
}

std::string InUse(const PortFacts& f) {
  std::string text = f.Path + " is in use by another program";
  if (f.Holders.empty()) return text + " (the system does not say which).";
  text += ": ";
  for (size_t i = 0; i < f.Holders.size(); ++i) text += (i > 0 ? ", " : "") + f.Holders[i];
  return text + ".";
}

}  // namespace

PortFacts GatherPortFacts(const std::string& path) {
  PortFacts facts;
  facts.Path = path;
  struct stat st {};
  if (path.empty() || stat(path.c_str(), &st) != 0) {
    facts.StatError = path.empty() ? ENOENT : errno;
    if (facts.StatError == ENOENT || facts.StatError == ENOTDIR) facts.Ports = ListSerialPorts();
    return facts;
  }
  facts.Mode = st.st_mode;
  if (!S_ISCHR(st.st_mode)) return facts;  // nothing else is opened: a pipe would block
  TrialOpen(path, facts);
  if (facts.OpenError == EACCES || facts.OpenError == EPERM) {
    if (const group* g = getgrgid(st.st_gid)) facts.Group = g->gr_name;
    facts.InGroup = InSupplementaryGroups(st.st_gid);
    facts.GroupListed = ListedInGroup(st.st_gid);
  }
  if (facts.OpenError == EBUSY || facts.Locked) facts.Holders = Holders(st.st_rdev);
  return facts;
}

std::string ExplainPortFacts(const PortFacts& f) {
  if (f.Path.empty()) return "No serial port was chosen. " + PortList(f.Ports);
  if (f.StatError == ENOENT || f.StatError == ENOTDIR)
    return f.Path + " does not exist. " + PortList(f.Ports);
  if (f.StatError != 0) return f.Path + " cannot be looked at: " + std::strerror(f.StatError) + ".";
  if (!S_ISCHR(f.Mode)) return f.Path + " is " + KindOf(f.Mode) + ", not a serial device.";
  if (f.OpenError == EACCES || f.OpenError == EPERM) return PermissionDenied(f);
  if (f.OpenError == EBUSY || f.Locked) return InUse(f);
  if (f.OpenError == ENXIO || f.OpenError == ENODEV || f.OpenError == EIO)
    return f.Path + " has no device behind it (was the adapter unplugged?).";
  if (f.OpenError != 0) return f.Path + ": " + std::strerror(f.OpenError) + ".";
  if (!f.Terminal) return f.Path + " is " + KindOf(f.Mode) + ", not a serial device.";
  return f.Path + " opens now: it may have been busy a moment ago; try again.";
}

}  // namespace brantle
