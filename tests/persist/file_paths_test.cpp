#include "persist/file_paths.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace vexa {
namespace {

using testing::TTempFolder;
using testing::WriteFile;

TEST(FilePaths, RelativeFormUsesBackslashesAndDotDotSteps) {
  EXPECT_EQ(RelativeStoredPath("/p/proj/a.png", "/p/proj"), "a.png");
  EXPECT_EQ(RelativeStoredPath("/p/proj/img/a.png", "/p/proj"), "img\\a.png");
  EXPECT_EQ(RelativeStoredPath("/p/proj/img/deep/a.png", "/p/proj/"), "img\\deep\\a.png");
  EXPECT_EQ(RelativeStoredPath("/p/other/a.png", "/p/proj"), "..\\other\\a.png");
  EXPECT_EQ(RelativeStoredPath("/a.png", "/p/proj"), "..\\..\\a.png");
  EXPECT_EQ(RelativeStoredPath("/p/proj/./img/../b.png", "/p/proj"), "b.png");
}

TEST(FilePaths, PathsThatAreNotAbsoluteAreKept) {
  EXPECT_EQ(RelativeStoredPath("", "/p/proj"), "");
  EXPECT_EQ(RelativeStoredPath("img/a.png", "/p/proj"), "img\\a.png");
  EXPECT_EQ(RelativeStoredPath("D:\\music\\a.wav", "/p/proj"), "D:\\music\\a.wav");
}

TEST(FilePaths, FolderOfFileIsAbsolute) {
  EXPECT_EQ(FolderOfFile("/p/proj/demo.vxpj"), "/p/proj");
  std::string here = std::filesystem::current_path().string();
  EXPECT_EQ(FolderOfFile("demo.vxpj"), here);
  EXPECT_EQ(FolderOfFile("sub/../demo.vxpj"), here);
}

TEST(FilePaths, ResolvingPrefersAnExistingFullPath) {
  TTempFolder t;
  std::string full = t / "pics/a.png", other = t / "proj/pics/a.png";
  WriteFile(full, "x");
  WriteFile(other, "y");
  std::string proj = t.Path() + "/proj";
  EXPECT_EQ(ResolveStoredPath(full, "pics\\a.png", proj), full);
  // The full path is gone: the relative key decides.
  std::filesystem::remove(full);
  EXPECT_EQ(ResolveStoredPath(full, "pics\\a.png", proj), other);
  EXPECT_EQ(ResolveStoredPath(full, "pics/a.png", proj), other);
  EXPECT_EQ(ResolveStoredPath("", "./pics/../pics/a.png", proj), other);
  // A drive-letter path from another system never matches.
  EXPECT_EQ(ResolveStoredPath("C:\\proj\\pics\\a.png", "pics\\a.png", proj), other);
}

TEST(FilePaths, UnresolvableRelativeTextIsKeptAsRead) {
  TTempFolder t;
  EXPECT_EQ(ResolveStoredPath("/nowhere/a.png", "img\\a.png", t.Path()), "img\\a.png");
  EXPECT_EQ(ResolveStoredPath("", "", t.Path()), "");
  // A folder is not a file.
  std::filesystem::create_directories(t / "img/sub");
  EXPECT_EQ(ResolveStoredPath(t.Path() + "/img", "img", t.Path()), "img");
  EXPECT_FALSE(FileExists(t.Path()));
  EXPECT_FALSE(FileExists(""));
}

TEST(FilePaths, ResolvingDoesNotChangeTheWorkingDirectory) {
  TTempFolder t;
  WriteFile(t / "a.png", "x");
  auto before = std::filesystem::current_path();
  EXPECT_EQ(ResolveStoredPath("", "a.png", t.Path()), t.Path() + "/a.png");
  EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace vexa
