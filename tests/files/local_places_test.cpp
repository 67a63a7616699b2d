#include "files/local_places.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace brantle {
namespace {

TEST(LocalPlaces, HomeRootThenMountedDrivesOnce) {
  test::TempDir dir;
  dir.Write("mounts",
            "sysfs /sys sysfs rw 0 0\n"
            "/dev/sda1 / ext4 rw 0 0\n"
            "/dev/sdb1 /media/tech/USB\\040STICK vfat rw 0 0\n"
            "/dev/sdc1 /run/media/tech/CARD vfat rw 0 0\n"
            "/dev/sdd1 /mnt/backup ext4 rw 0 0\n"
            "/dev/sdb1 /media/tech/USB\\040STICK vfat rw 0 0\n"
            "tmpfs /run tmpfs rw 0 0\n");
  EXPECT_EQ(LocalPlaces("/home/tech", dir.File("mounts")),
            (std::vector<std::string>{"/home/tech", "/", "/media/tech/USB STICK",
                                      "/run/media/tech/CARD", "/mnt/backup"}));
  EXPECT_EQ(LocalPlaces("", dir.File("absent")), (std::vector<std::string>{"/"}));
}

TEST(LocalPlaces, FoldersFirstThenFilesWithTheirSizes) {
  test::TempDir dir;
  dir.Write("b.bin", std::string(70000, 'x'));
  dir.Write("a.dif", "abc");
  std::filesystem::create_directory(dir.File("z-folder"));
  const std::vector<FolderEntry> entries = ListFolder(dir.path());
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Name, "z-folder");
  EXPECT_TRUE(entries[0].IsFolder);
  EXPECT_EQ(entries[1].Name, "a.dif");
  EXPECT_EQ(entries[1].Size, 3u);
  EXPECT_EQ(entries[2].Name, "b.bin");
  EXPECT_EQ(entries[2].Size, 70000u);
  EXPECT_TRUE(ListFolder(dir.File("absent")).empty());
}

}  // namespace
}  // namespace brantle
