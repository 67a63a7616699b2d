#include "engine/posix_serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "engine/termios2_speed.h"

namespace brantle {
namespace {

// Unix98 pseudo-terminal slaves use majors 136 to 143.
bool IsPtySlave(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
  const unsigned maj = major(st.st_rdev);
  return maj >= 136 && maj <= 143;
}

class PosixSerialPort final : public SerialPort {
 public:
  ~PosixSerialPort() override { Close(); }

  bool Open(const std::string& path) override {
    Close();
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return false;
    // TIOCEXCL keeps other programs from opening the line, but not root; flock
    // also stops a second copy of ourselves run as root.
    if (!isatty(fd_) || flock(fd_, LOCK_EX | LOCK_NB) != 0 || ioctl(fd_, TIOCEXCL) != 0) {
      ::close(fd_);
      fd_ = -1;
      return false;
    }
    // Blocking reads from here on; VMIN/VTIME decide how long a read waits.
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    pty_ = IsPtySlave(fd_);
    return true;
  }

  bool Configure(uint32_t baud, uint8_t parity) override {
    if (fd_ < 0) return false;
    struct termios tio {};
    if (tcgetattr(fd_, &tio) != 0) return false;
    cfmakeraw(&tio);
    // A line left at a custom speed reads back as BOTHER, which the classic call
    // refuses; start from a standard speed, the exact one is set below.
    cfsetspeed(&tio, B38400);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    if (parity != 0) {
      tio.c_cflag |= PARENB;
      tio.c_iflag |= INPCK;
    }
    // A read returns what is queued at once, or waits up to 100 ms for a first byte.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 1;
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return false;
    // A pseudo-terminal ignores the speed; a real line must accept it.
    return SetAnyBaud(fd_, baud) || pty_;
  }

  size_t Read(uint8_t* buf, size_t max) override {
    if (fd_ < 0 || max == 0) return 0;
    for (;;) {
      const ssize_t n = ::read(fd_, buf, max);
      if (n > 0) return static_cast<size_t>(n);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) SleepAfterDeadLine();  // an unplugged adapter fails at once
      return 0;
    }
  }

  void Write(const uint8_t* buf, size_t len) override {
    while (fd_ >= 0 && len > 0) {
      const ssize_t n = ::write(fd_, buf, len);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;  // a lost line shows up as the next reply's timeout
      buf += n;
      len -= static_cast<size_t>(n);
    }
  }

  void Flush() override {
    if (fd_ >= 0) tcdrain(fd_);
  }
  void PurgeInput() override {
    if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
  }
  // A pseudo-terminal has no hardware queue to clear: its output purge would drop
  // bytes already written but not yet taken in by the other side, such as the last
  // command before a close.
  void PurgeOutput() override {
    if (fd_ >= 0 && !pty_) tcflush(fd_, TCOFLUSH);
  }
  void ClearBreak() override {
    if (fd_ >= 0) ioctl(fd_, TIOCCBRK);
  }
  // Modem lines do not exist on a pseudo-terminal; the error is expected there.
  void ClearRts() override { ClearModemBit(TIOCM_RTS); }
  void ClearDtr() override { ClearModemBit(TIOCM_DTR); }
  bool IsPseudoTerminal() const override { return pty_; }

  void Close() override {
    if (fd_ < 0) return;
    // Drop exclusivity first: the virtual phone keeps the terminal alive, and the
    // flag would otherwise outlive us and refuse our own reopen after a speed switch.
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
  }

 private:
  void ClearModemBit(int bit) {
    if (fd_ >= 0) ioctl(fd_, TIOCMBIC, &bit);
  }
  // Keeps a failing read from turning the callers' 1 ms polls into a busy loop
  // faster than the 100 ms a live line would wait.
  static void SleepAfterDeadLine() { usleep(100 * 1000); }

  int fd_ = -1;
  bool pty_ = false;
};

}  // namespace

std::unique_ptr<SerialPort> MakePosixSerialPort() {
  return std::make_unique<PosixSerialPort>();
}

}  // namespace brantle
