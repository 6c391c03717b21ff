#include "persist/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "persist/persist_error.h"
#include "temp_folder.h"

namespace vexa {
namespace {

using testing::EntriesIn;
using testing::ReadFile;
using testing::TTempFolder;
using testing::WriteFile;

// Fails one step the way the system would.
class TFailing : public TFileWriteSteps {
 public:
  enum TStep { WriteStep, PartialThenFull, SyncStep, RenameStep };
  explicit TFailing(TStep step) : step_(step) {}
  ssize_t Write(int fd, const void* data, size_t size) const override {
    if (step_ == WriteStep) {
      // Half the data lands, then the disk is full.
      if (written_ == 0 && size > 1) return written_ = TFileWriteSteps::Write(fd, data, size / 2);
      errno = ENOSPC;
      return -1;
    }
    return TFileWriteSteps::Write(fd, data, size);
  }
  int Sync(int fd) const override {
    if (step_ == SyncStep) {
      errno = EIO;
      return -1;
    }
    return TFileWriteSteps::Sync(fd);
  }
  int Rename(const char* from, const char* to) const override {
    if (step_ == RenameStep) {
      errno = EXDEV;
      return -1;
    }
    return TFileWriteSteps::Rename(from, to);
  }

 private:
  TStep step_;
  mutable ssize_t written_ = 0;
};

std::string ErrorOf(const std::string& path, const std::string& data,
                    const TFileWriteSteps* steps = nullptr) {
  try {
    WriteFileAtomic(path, data, steps);
  } catch (const TPersistError& e) {
    EXPECT_EQ(e.Path(), path);
    return e.what();
  }
  return {};
}

TEST(AtomicFile, WritesNewFilesAndReplacesOldOnes) {
  TTempFolder t;
  std::string path = t / "layer.vxgl";
  WriteFileAtomic(path, "first");
  EXPECT_EQ(ReadFile(path), "first");
  WriteFileAtomic(path, std::string(100000, 'x'));
  EXPECT_EQ(ReadFile(path), std::string(100000, 'x'));
  WriteFileAtomic(path, "");
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_EQ(EntriesIn(t.Path()), 1u);
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissions) {
  TTempFolder t;
  std::string path = t / "p.vxpj";
  WriteFile(path, "old");
  ::chmod(path.c_str(), 0640);
  WriteFileAtomic(path, "new");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(AtomicFile, SymbolicLinksAreFollowed) {
  TTempFolder t;
  std::string real = t / "real.vxgl", link = t / "link.vxgl";
  WriteFile(real, "old");
  std::filesystem::create_symlink(real, link);
  WriteFileAtomic(link, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "new");
}

TEST(AtomicFile, AFailedStepLeavesTheOldFileAndNoTemporaryFile) {
  const std::pair<TFailing::TStep, const char*> cases[] = {
      {TFailing::WriteStep, "No space left on device"},
      {TFailing::SyncStep, "Input/output error"},
      {TFailing::RenameStep, "Invalid cross-device link"},
  };
  for (auto [step, reason] : cases) {
    TTempFolder t;
    std::string path = t / "layer.vxgl";
    WriteFile(path, "the only copy");
    TFailing failing(step);
    std::string error = ErrorOf(path, std::string(50000, 'n'), &failing);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
    EXPECT_EQ(ReadFile(path), "the only copy");
    EXPECT_EQ(EntriesIn(t.Path()), 1u) << "temporary file left behind";
  }
}

TEST(AtomicFile, ImpossibleTargetsRaiseErrors) {
  TTempFolder t;
  std::string file = t / "plain";
  WriteFile(file, "x");
  EXPECT_NE(ErrorOf(file + "/inside.vxgl", "data").find("Not a directory"), std::string::npos);
  std::filesystem::create_directories(t / "dir/sub");
  EXPECT_NE(ErrorOf(t.Path() + "/dir", "data").find("Is a directory"), std::string::npos);
  EXPECT_EQ(EntriesIn(t.Path() + "/dir"), 1u);
  EXPECT_THROW(WriteFileAtomic("", "data"), TPersistError);
}

}  // namespace
}  // namespace vexa
