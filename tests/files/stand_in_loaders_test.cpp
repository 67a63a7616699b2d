// The stand-in loaders of --simulate: a loaders folder with the real files is used
// as it is; one without them gets a demo set in a temporary folder for the run,
// which the engines then read and which is gone when the run ends.

#include "files/stand_in_loaders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/demo_loaders.h"
#include "engine/ktze_loaders.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;
using test::TempDir;

// A loader that is no demo image: what a technician puts in the folder.
void WriteRealLoader(const TempDir& folder, const LoaderFile& file) {
  folder.Write(file.name, std::string(file.size, '\x5A'));
}

size_t EntriesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(StandInLoaders, RealLoadersOfTheFamilyAreUsedAsTheyAre) {
  TempDir loaders, tmp;
  ScopedEnv scoped("TMPDIR", tmp.path());
  for (const LoaderFile& file : LoadersOfFamily("E800", "")) WriteRealLoader(loaders, file);
  const std::string before = DefaultLoadersFolder();
  StandInLoaders standIns;
  std::string error;
  ASSERT_TRUE(standIns.Prepare(loaders.path(), "E800", "", error)) << error;
  EXPECT_FALSE(standIns.Used());
  EXPECT_EQ(standIns.MadeFolder(), "");
  EXPECT_EQ(DefaultLoadersFolder(), before);
  EXPECT_EQ(EntriesIn(tmp.path()), 0u);
}

TEST(StandInLoaders, AFolderWithoutThemGetsADemoSetForTheRunThatIsRemovedAfterwards) {
  TempDir loaders, tmp;
  ScopedEnv scoped("TMPDIR", tmp.path());
  const std::string before = DefaultLoadersFolder();
  std::string made;
  {
    StandInLoaders standIns;
    std::string error;
    ASSERT_TRUE(standIns.Prepare(loaders.path(), "E800", "", error)) << error;
    EXPECT_TRUE(standIns.Used());
    made = standIns.MadeFolder();
    EXPECT_EQ(fs::path(made).parent_path(), fs::path(tmp.path()));
    // The engines read the made folder, and every loader is there as a demo image.
    EXPECT_EQ(DefaultLoadersFolder(), made);
    for (const LoaderFile& file : AllLoaderFiles()) {
      std::string image;
      ASSERT_TRUE(LoadLoader(made, file, image, error)) << error;
      EXPECT_TRUE(IsDemoLoader(image)) << file.name;
    }
    EXPECT_EQ(standIns.Notice(), "Stand-in demo loaders (no real loaders in " + loaders.path() + ")");
  }
  EXPECT_FALSE(fs::exists(made));
  EXPECT_EQ(DefaultLoadersFolder(), before);
  EXPECT_EQ(EntriesIn(loaders.path()), 0u);  // the person's folder is left alone
}

TEST(StandInLoaders, ALoaderOfTheWrongSizeIsNoRealLoader) {
  TempDir loaders, tmp;
  ScopedEnv scoped("TMPDIR", tmp.path());
  const std::vector<LoaderFile> files = LoadersOfFamily("E700", "");
  WriteRealLoader(loaders, files[0]);
  loaders.Write(files[1].name, std::string(files[1].size - 1, '\x5A'));
  StandInLoaders standIns;
  std::string error;
  ASSERT_TRUE(standIns.Prepare(loaders.path(), "E700", "", error)) << error;
  EXPECT_TRUE(standIns.Used());
  EXPECT_NE(standIns.MadeFolder(), "");
}

TEST(StandInLoaders, TheDemoSetOfTheBuildIsUsedInPlaceAndCalledStandIns) {
  TempDir loaders, tmp;
  ScopedEnv scoped("TMPDIR", tmp.path());
  std::string error;
  ASSERT_TRUE(WriteDemoLoaders(loaders.path(), error)) << error;
  StandInLoaders standIns;
  ASSERT_TRUE(standIns.Prepare(loaders.path(), "Opti", "X480", error)) << error;
  EXPECT_TRUE(standIns.Used());
  EXPECT_EQ(standIns.MadeFolder(), "");
  EXPECT_EQ(EntriesIn(tmp.path()), 0u);
}

TEST(StandInLoaders, AnOptiPhoneNeedsTheLoaderOfItsModelOrOfAnyModelWithoutOne) {
  TempDir loaders, tmp;
  ScopedEnv scoped("TMPDIR", tmp.path());
  WriteRealLoader(loaders, LoadersOfFamily("Opti", "X480").at(0));
  std::string error;
  StandInLoaders x480;
  ASSERT_TRUE(x480.Prepare(loaders.path(), "Opti", "X480", error)) << error;
  EXPECT_FALSE(x480.Used());
  StandInLoaders anyModel;
  ASSERT_TRUE(anyModel.Prepare(loaders.path(), "Opti", "", error)) << error;
  EXPECT_TRUE(anyModel.Used());
}

TEST(StandInLoaders, TheS500IsSentTheLoadersOfTheE700) {
  const std::vector<LoaderFile> s500 = LoadersOfFamily("S500", "");
  ASSERT_EQ(s500.size(), 2u);
  EXPECT_STREQ(s500[0].name, "e700_loader1.bin");
  EXPECT_STREQ(s500[1].name, "e700_loader2.bin");
  EXPECT_STREQ(LoadersOfFamily("E330", "").at(1).name, "e330_loader2.bin");
}

TEST(StandInLoaders, AFolderThatCannotBeMadeIsTold) {
  TempDir loaders, tmp;
  ScopedEnv scoped("TMPDIR", tmp.File("absent"));
  StandInLoaders standIns;
  std::string error;
  EXPECT_FALSE(standIns.Prepare(loaders.path(), "E800", "", error));
  EXPECT_NE(error.find(tmp.File("absent")), std::string::npos) << error;
  EXPECT_FALSE(standIns.Used());
}

TEST(LoadersFolder, TheInstalledFolderIsNamedWithoutDotDot) {
  TempDir prefix;
  fs::create_directories(prefix.File("usr/bin"));
  fs::create_directories(prefix.File("usr/share/brantle/loaders"));
  EXPECT_EQ(LoadersFolderFor(prefix.File("usr/bin"), ""),
            prefix.File("usr/share/brantle/loaders"));
  // A loaders folder beside the program comes first, $BRANTLE_LOADERS before both.
  fs::create_directories(prefix.File("usr/bin/loaders"));
  EXPECT_EQ(LoadersFolderFor(prefix.File("usr/bin"), ""), prefix.File("usr/bin/loaders"));
  EXPECT_EQ(LoadersFolderFor(prefix.File("usr/bin"), "/given"), "/given");
  // Neither there: the one beside the program is named.
  EXPECT_EQ(LoadersFolderFor(prefix.File("opt"), ""), prefix.File("opt/loaders"));
}

}  // namespace
}  // namespace brantle
