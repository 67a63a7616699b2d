#include "files/serial_ports.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace brantle {
namespace {

namespace fs = std::filesystem;

// A sysfs tty class folder as the kernel lays it out: each tty a folder with a
// "device" link into the device tree where there is hardware.
class SysfsTree {
 public:
  SysfsTree() {
    fs::create_directories(Class());
    fs::create_directories(Devices());
  }
  std::string Class() const { return dir.path() + "/class/tty"; }
  std::string Devices() const { return dir.path() + "/devices"; }

  void Tty(const std::string& name, const std::string& deviceFolder, const std::string& type = "") {
    const fs::path tty = fs::path(Class()) / name;
    fs::create_directories(tty);
    if (!type.empty()) Write(tty / "type", type);
    if (deviceFolder.empty()) return;
    fs::create_directories(deviceFolder);
    fs::create_directory_symlink(deviceFolder, tty / "device");
  }
  static void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text << "\n";
  }

  test::TempDir dir;
};

TEST(SerialPorts, UsbAdaptersWithTheirNamesAndOnlyOnBoardPortsWithAUart) {
  SysfsTree sys;
  const std::string usbDevice = sys.Devices() + "/usb1/1-2";
  sys.Tty("ttyUSB0", usbDevice + "/1-2:1.0");
  SysfsTree::Write(usbDevice + "/product", "FT232R USB UART");
  SysfsTree::Write(usbDevice + "/manufacturer", "FTDI");
  const std::string acmDevice = sys.Devices() + "/usb1/1-3";
  sys.Tty("ttyACM0", acmDevice + "/1-3:1.0");
  SysfsTree::Write(acmDevice + "/product", "Cable");
  sys.Tty("ttyS0", sys.Devices() + "/serial8250/port0", "4");
  sys.Tty("ttyS1", sys.Devices() + "/serial8250/port1", "0");  // registered, no UART
  sys.Tty("ttyS10", sys.Devices() + "/pnp/port10", "4");
  sys.Tty("tty1", "");  // a virtual console: no device
  sys.Tty("ttyprintk", sys.Devices() + "/virtual/printk");

  const std::vector<SerialPortInfo> ports = ListSerialPorts(sys.Class(), "/dev");
  ASSERT_EQ(ports.size(), 4u);
  // Sorted as text, so ttyS10 sorts between ttyS0 and ttyUSB0.
  EXPECT_EQ(ports[0].Path, "/dev/ttyACM0");
  EXPECT_EQ(ports[0].Description, "Cable");
  EXPECT_EQ(ports[1].Path, "/dev/ttyS0");
  EXPECT_EQ(ports[1].Description, "");
  EXPECT_EQ(ports[2].Path, "/dev/ttyS10");
  EXPECT_EQ(ports[3].Path, "/dev/ttyUSB0");
  EXPECT_EQ(ports[3].Description, "FTDI FT232R USB UART");
}

TEST(SerialPorts, AMissingClassFolderListsNothing) {
  test::TempDir dir;
  EXPECT_TRUE(ListSerialPorts(dir.path() + "/absent", "/dev").empty());
}

}  // namespace
}  // namespace brantle
