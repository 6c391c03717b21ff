#include "ui/logic/sample_images.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace vexa {
namespace {

using testing::TTempFolder;
using testing::WriteFile;

TEST(SampleImages, TheFirstFolderWithPicturesRecursivelyWithTheExtensionList) {
  TTempFolder empty, build, installed;
  WriteFile(empty / "notes.txt", "");
  WriteFile(build / "b.PNG", "");
  WriteFile(build / "deep/er/a.jpeg", "");
  WriteFile(build / "c.bmp.txt", "");
  WriteFile(build / "d.tif", "");
  WriteFile(build / "noext", "");
  WriteFile(installed / "z.gif", "");
  const std::vector<std::string> folders = {empty.Path() + "/missing", empty.Path(), build.Path(), installed.Path()};
  EXPECT_EQ(FindSampleImages(folders), (std::vector<std::string>{build / "b.PNG", build / "deep/er/a.jpeg"}));
  EXPECT_TRUE(FindSampleImages(std::vector<std::string>{empty.Path()}).empty());
}

uint32_t draws[8];
int drawn;
uint32_t Scripted() {
  return draws[drawn++];
}

TEST(SampleImages, ShuffleSwapsTheFirstThreeEntriesWithRandomOnes) {
  std::vector<std::string> images = {"0", "1", "2", "3", "4"};
  draws[0] = 4, draws[1] = 7, draws[2] = 10;  // 4, 2 and 0 modulo 5
  drawn = 0;
  ShuffleSampleImages(images, &Scripted);
  // swap(0,4): 4 1 2 3 0; swap(1,2): 4 2 1 3 0; swap(2,0): 1 2 4 3 0
  EXPECT_EQ(images, (std::vector<std::string>{"1", "2", "4", "3", "0"}));

  // Fewer than three: only the entries that exist, and none drawn for an empty list.
  std::vector<std::string> two = {"a", "b"};
  draws[0] = 1, draws[1] = 1;
  drawn = 0;
  ShuffleSampleImages(two, &Scripted);
  EXPECT_EQ(drawn, 2);
  EXPECT_EQ(two, (std::vector<std::string>{"b", "a"}));
  std::vector<std::string> none;
  drawn = 0;
  ShuffleSampleImages(none, &Scripted);
  EXPECT_EQ(drawn, 0);
}

}  // namespace
}  // namespace vexa
