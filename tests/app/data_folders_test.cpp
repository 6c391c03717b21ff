#include "data_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "../persist/temp_folder.h"
#include "ui/logic/sample_images.h"

namespace fs = std::filesystem;
using vexa::app::DataFolderCandidates;
using vexa::app::SampleFolders;

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

// The editor's sample pictures: the first "Sample" folder that holds any, in an install tree
// or beside the program (a build tree); none at all starts the program without pictures.
TEST(DataFolders, SamplePicturesComeFromTheInstallTreeOrBesideTheProgram) {
  vexa::testing::TTempFolder tmp;
  const fs::path root = tmp.Path();
  fs::create_directories(root / "bin");
  EXPECT_TRUE(vexa::FindSampleImages(SampleFolders(root / "bin")).empty());
  fs::create_directories(root / "share/vexa-studio/Sample");
  std::ofstream(root / "share/vexa-studio/Sample/a.png") << "x";
  EXPECT_EQ(vexa::FindSampleImages(SampleFolders(root / "bin")),
            std::vector<std::string>{(root / "share/vexa-studio/Sample/a.png").lexically_normal().string()});
  // Pictures beside the program come first (a build tree); an empty folder there
  // does not hide the installed ones.
  fs::create_directories(root / "bin/Sample");
  EXPECT_EQ(vexa::FindSampleImages(SampleFolders(root / "bin")).size(), 1u);
  std::ofstream(root / "bin/Sample/b.BMP") << "x";
  EXPECT_EQ(vexa::FindSampleImages(SampleFolders(root / "bin")),
            std::vector<std::string>{(root / "bin/Sample/b.BMP").string()});
}
