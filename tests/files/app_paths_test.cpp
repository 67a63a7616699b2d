#include "files/app_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace brantle {
namespace {

namespace fs = std::filesystem;

TEST(AppPaths, APortableCopyKeepsEverythingBesideTheProgram) {
  test::TempDir dir;
  const AppPaths p = FindAppPaths(dir.path(), "/cfg", "/data", "/home/tech");
  EXPECT_TRUE(p.Portable);
  EXPECT_EQ(p.SettingsFile, dir.path() + "/brntl.ini");
  EXPECT_EQ(p.ShippedLanguages, dir.path() + "/language");
  EXPECT_EQ(p.UserLanguages, "");
}

TEST(AppPaths, AnInstalledCopyUsesTheXdgFolders) {
  test::TempDir dir;
  fs::create_directories(dir.File("usr/bin"));
  fs::create_directories(dir.File("usr/share/brantle/language"));
  const std::string bin = dir.File("usr/bin");
  AppPaths p = FindAppPaths(bin, "/cfg", "/data", "/home/tech");
  EXPECT_FALSE(p.Portable);
  EXPECT_EQ(p.SettingsFile, "/cfg/brantle/brntl.ini");
  // Named as a person knows the folder, without "bin/..".
  EXPECT_EQ(p.ShippedLanguages, dir.File("usr/share/brantle/language"));
  EXPECT_EQ(p.UserLanguages, "/data/brantle/language");
  // Unset or relative XDG values fall back to the home folder's.
  p = FindAppPaths(bin, "", "relative/data", "/home/tech");
  EXPECT_EQ(p.SettingsFile, "/home/tech/.config/brantle/brntl.ini");
  EXPECT_EQ(p.UserLanguages, "/home/tech/.local/share/brantle/language");
}

TEST(AppPaths, AReadOnlyProgramFolderIsNotPortableEvenForRoot) {
  test::TempDir dir;
  fs::create_directory(dir.File("bin"));
  ASSERT_EQ(chmod(dir.File("bin").c_str(), 0555), 0);
  EXPECT_FALSE(FolderWritable(dir.File("bin")));
  EXPECT_FALSE(FindAppPaths(dir.File("bin"), "/cfg", "", "/h").Portable);
  ASSERT_EQ(chmod(dir.File("bin").c_str(), 0755), 0);
  EXPECT_TRUE(FolderWritable(dir.File("bin")));
  EXPECT_FALSE(FolderWritable(dir.File("absent")));
}

}  // namespace
}  // namespace brantle
