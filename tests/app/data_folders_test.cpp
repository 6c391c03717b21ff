#include "data_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../persist/temp_folder.h"

namespace fs = std::filesystem;
using vexa::app::DataFolderCandidates;
using vexa::app::FindSampleFolder;

namespace {

bool Contains(const std::vector<fs::path>& list, const fs::path& p) {
  return std::find(list.begin(), list.end(), p) != list.end();
}

}  // namespace

TEST(DataFolders, InstalledProgramLooksBesideItselfThenInTheSharedDataFolder) {
  const auto c = DataFolderCandidates("/opt/vx/bin");
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(c.front(), fs::path("/opt/vx/bin"));
  EXPECT_TRUE(Contains(c, "/opt/vx/share/vexa-studio"));
}

TEST(DataFolders, FindsTheSampleFolderOfAnInstallTree) {
  vexa::testing::TTempFolder tmp;
  const fs::path root = tmp.Path();
  fs::create_directories(root / "bin");
  fs::create_directories(root / "share/vexa-studio/Sample");
  EXPECT_EQ(FindSampleFolder(root / "bin"), (root / "share/vexa-studio/Sample").lexically_normal());
  // One beside the program comes first, as it did on the original platform.
  fs::create_directories(root / "bin/Sample");
  EXPECT_EQ(FindSampleFolder(root / "bin"), root / "bin/Sample");
}

TEST(DataFolders, NoSampleFolderGivesAnEmptyPath) {
  vexa::testing::TTempFolder tmp;
  const fs::path deep = fs::path(tmp.Path()) / "a/b/c";
  fs::create_directories(deep);
  EXPECT_TRUE(FindSampleFolder(deep).empty());
}
