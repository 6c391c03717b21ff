// The rule of every render command: an output never replaces a file the project reads, whatever
// name reaches it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>

#include <filesystem>
#include <fstream>

#include "model/output_guard.h"

namespace vexa {
namespace {

// A fresh folder, removed with everything in it; Dir / name is a path inside it.
class TTempFolder {
 public:
  TTempFolder() {
    std::string templ = (std::filesystem::temp_directory_path() / "vexa-guard-XXXXXX").string();
    path_ = ::mkdtemp(templ.data()) ? templ : std::string();
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class OutputGuard : public ::testing::Test {
 protected:
  // A project naming one file of every use, each file present; a mask and a texture that
  // their modes leave unused are protected too.
  void SetUp() override {
    for (const char* name :
         {"p.vxpj", "g.vxgl", "s.vxsl", "pic.png", "clip.avi", "mask.bmp", "rule.bmp", "tex.bmp", "song.wav"})
      WriteFile(Dir / name, name);
    std::filesystem::create_directory(Dir.Path() + "/sub");
    P.FileName = Dir / "p.vxpj";
    TGraphicLayer* g = NewGraphicLayer(P.GraphicLayers, -1);
    g->Name = "絵";
    g->FileName = Dir / "g.vxgl";
    Add<TGraphicSourceImageEvent>(*g, 500).FileName = Dir / "pic.png";
    Add<TGraphicSourceMovieEvent>(*g, 0).FileName = Dir / "clip.avi";
    Add<TGraphicEffectAlphaMaskEvent>(*g, 0).MaskFileName = Dir / "mask.bmp";  // MaskType 0: unused
    Add<TGraphicEffectTransitionEvent>(*g, 0).RuleFileName = Dir / "rule.bmp";
    Add<TGraphicSourceTextEvent>(*g, 0).Font.TextureFileName = Dir / "tex.bmp";
    TSoundLayer* s = NewSoundLayer(P.SoundLayers, -1);
    s->FileName = Dir / "s.vxsl";
    auto e = std::make_unique<TSoundSourceEvent>();
    e->StartTime = 61000;
    e->FileName = Dir / "song.wav";
    s->Events.Add(std::move(e));
  }
  template <class T>
  T& Add(TGraphicLayer& layer, uint32_t start) {
    auto e = std::make_unique<T>();
    e->StartTime = start;
    return static_cast<T&>(*layer.ListForKind(T::KindCode)->Add(std::move(e)));
  }

  TTempFolder Dir;
  TProject P;
};

TEST_F(OutputGuard, EveryFileTheProjectNamesIsFoundUnderAnyName) {
  for (const char* name :
       {"p.vxpj", "g.vxgl", "s.vxsl", "pic.png", "clip.avi", "mask.bmp", "rule.bmp", "tex.bmp", "song.wav"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(InputAtOutput(P, Dir / name));
    // Another spelling, a symbolic link and a hard link reach the same file.
    EXPECT_TRUE(InputAtOutput(P, Dir.Path() + "/./sub/../" + name));
    const std::string soft = Dir / (std::string("soft-") + name), hard = Dir / (std::string("hard-") + name);
    ASSERT_EQ(::symlink((Dir / name).c_str(), soft.c_str()), 0);
    ASSERT_EQ(::link((Dir / name).c_str(), hard.c_str()), 0);
    EXPECT_TRUE(InputAtOutput(P, soft));
    EXPECT_TRUE(InputAtOutput(P, hard));
  }
  const auto picture = InputAtOutput(P, Dir / "hard-pic.png");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Use, TFileUse::Picture);
  EXPECT_EQ(OutputIsInputDetail("out.avi", *picture),
            "\"out.avi\" is the picture \"" + Dir / "pic.png" +
                "\" of graphic layer 1 \"絵\" (event at 00:00:00.500)");
  const auto sound = InputAtOutput(P, Dir / "song.wav");
  ASSERT_TRUE(sound);
  EXPECT_EQ(OutputIsInputDetail(Dir / "song.wav", *sound),
            "\"" + Dir / "song.wav" + "\" is the sound file of sound layer 1 (event at 00:01:01.000)");
}

TEST_F(OutputGuard, NewAndUnrelatedFilesMayBeWritten) {
  WriteFile(Dir / "copy.avi", "clip.avi");  // equal content is not the same file
  EXPECT_FALSE(InputAtOutput(P, Dir / "copy.avi"));
  EXPECT_FALSE(InputAtOutput(P, Dir / "new.avi"));
  EXPECT_FALSE(InputAtOutput(P, ""));
  EXPECT_TRUE(SameExistingFile(Dir / "copy.avi", Dir.Path() + "//copy.avi"));
  EXPECT_FALSE(SameExistingFile(Dir / "new.avi", Dir / "new.avi"));
}

}  // namespace
}  // namespace vexa
