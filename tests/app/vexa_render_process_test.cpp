// vexa-render as a user runs it: projects saved to a folder, the program started as a child
// process, its exit status, its messages and the files it leaves behind.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bitmap/bitmap.h"
#include "model/project.h"
#include "persist/project_file.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A 16-bit stereo 44.1 kHz WAV file of `frames` frames of a square wave.
void WriteWave(const std::string& path, uint32_t frames) {
  std::string s = "RIFF";
  auto put = [&s](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      s += static_cast<char>(v >> (8 * i));
  };
  put(36 + frames * 4, 4);
  s += "WAVEfmt ";
  put(16, 4), put(1, 2), put(2, 2), put(44100, 4), put(176400, 4), put(4, 2), put(16, 2);
  s += "data";
  put(frames * 4, 4);
  for (uint32_t f = 0; f < frames; ++f)
    put((f / 50) % 2 ? 0x2000 : 0xE000, 2), put(0x1000, 2);
  WriteFile(path, s);
}

struct TRun {
  int Status = -1;  // exit status; 128 + n when ended by signal n without exiting
  std::string Out, Err;
};

class VexaRender : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    Dir = (fs::current_path() / ("vexa-render-test-" + std::to_string(rd()))).string();
    fs::create_directories(Dir);
  }
  void TearDown() override { fs::remove_all(Dir); }
  std::string File(const std::string& name) const { return Dir + "/" + name; }

  // A project of one picture layer and one sound layer, saved with its layer files.
  std::string SaveProject(uint32_t width = 32, uint32_t height = 24, uint32_t pictureEnd = 500,
                          uint32_t soundEnd = 500) {
    TABitmap picture;
    picture.SetSize(16, 16);
    picture.Fill(0x00336699);
    picture.SaveToFile(File("pic.bmp"));
    WriteWave(File("tone.wav"), 44100);
    TProject p;
    p.FileName = File("p.vxpj");
    p.Width = width, p.Height = height, p.FPS = 30;
    TGraphicLayer* g = NewGraphicLayer(p.GraphicLayers, -1);
    g->Name = "絵";
    g->FileName = File("g.vxgl");
    auto image = std::make_unique<TGraphicSourceImageEvent>();
    image->EndTime = pictureEnd;
    image->FileName = File("pic.bmp");
    g->ListForKind(kind::Image)->Add(std::move(image));
    TSoundLayer* s = NewSoundLayer(p.SoundLayers, -1);
    s->Name = "音";
    s->FileName = File("s.vxsl");
    auto sound = std::make_unique<TSoundSourceEvent>();
    sound->EndTime = soundEnd;
    sound->FileName = File("tone.wav");
    sound->SampleAppointMode = 1, sound->EndSample = 1000;
    sound->StartVolume = sound->EndVolume = 256;
    s->Events.Add(std::move(sound));
    vexa::SaveProject(p, true);
    return p.FileName;
  }

  pid_t Start(const std::vector<std::string>& args, rlim_t fileSizeLimit = RLIM_INFINITY) {
    const std::string out = File("stdout.txt"), err = File("stderr.txt");
    std::vector<std::string> all{VEXA_RENDER_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
      ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    return pid;
  }

  // Waits for the child; a child still running after two minutes is killed and fails the test.
  TRun Finish(pid_t pid) {
    TRun run;
    int status = 0;
    for (int waited = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++waited) {
      if (waited == 120000) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ADD_FAILURE() << "vexa-render did not end";
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.Out = ReadFile(File("stdout.txt"));
    run.Err = ReadFile(File("stderr.txt"));
    return run;
  }

  TRun Run(const std::vector<std::string>& args, rlim_t fileSizeLimit = RLIM_INFINITY) {
    return Finish(Start(args, fileSizeLimit));
  }

  // The hidden files our writers make while they write ("._out.avi.x1y2.part", ".out.wav.tmp-...").
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(Dir)) {
      const std::string name = entry.path().filename().string();
      if (name[0] == '.') found.push_back(name);
    }
    return found;
  }

  // Waits, without sleeping, until a temporary file exists (true) or the child has ended.
  bool AwaitTemporary(pid_t pid) {
    for (;;) {
      if (!Temporaries().empty()) return true;
      siginfo_t info{};
      if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
          info.si_pid == pid)
        return false;
    }
  }

  std::string Dir;
};

TEST_F(VexaRender, AnOutputThatIsOneOfTheProjectsFilesIsRefusedBeforeAnythingIsWritten) {
  const std::string project = SaveProject();
  const std::string picture = ReadFile(File("pic.bmp")), tone = ReadFile(File("tone.wav"));
  fs::create_symlink(File("pic.bmp"), File("link.avi"));
  fs::create_hard_link(File("tone.wav"), File("same.wav"));
  for (const auto& args :
       {std::vector<std::string>{project, "--wav", File("new.wav"), "-o", File("link.avi")},
        std::vector<std::string>{project, "--wav", File("same"), "-o", File("new.avi")},
        std::vector<std::string>{project, "-o", File("./sub/../p.vxpj.avi")}}) {
    if (args.back().find("p.vxpj.avi") != std::string::npos) {
      fs::create_directory(File("sub"));
      fs::create_symlink(File("p.vxpj"), File("p.vxpj.avi"));
    }
    const TRun run = Run(args);
    EXPECT_EQ(run.Status, 1) << run.Err;
    EXPECT_NE(run.Err.find("出力先のファイルはプロジェクトで使用中のため、上書きできません。"),
              std::string::npos)
        << run.Err;
  }
  EXPECT_FALSE(fs::exists(File("new.wav")));  // the sound would have come first
  EXPECT_FALSE(fs::exists(File("new.avi")));
  EXPECT_EQ(ReadFile(File("pic.bmp")), picture);
  EXPECT_EQ(ReadFile(File("tone.wav")), tone);
  EXPECT_TRUE(Temporaries().empty());
}

TEST_F(VexaRender, MissingMediaAreListedAndStrictStopsBeforeWriting) {
  const std::string project = SaveProject();
  fs::remove(File("pic.bmp"));
  WriteFile(File("tone.wav"), "RIFF");
  const std::vector<std::string> render{project,         "-o",      File("out.avi"), "--wav",
                                        File("out.wav"), "--codec", "uncompressed"};
  std::vector<std::string> strict = render;
  strict.push_back("--strict");
  const TRun stopped = Run(strict);
  EXPECT_EQ(stopped.Status, 1);
  // A missing file keeps the name as the layer file stores it (relative to the layer file).
  EXPECT_NE(
      stopped.Err.find("picture \"pic.bmp\" (graphic layer 1 \"絵\", event at 00:00:00.000): No such file or "
                       "directory"),
      std::string::npos)
      << stopped.Err;
  EXPECT_NE(stopped.Err.find("sound file \"" + File("tone.wav") +
                             "\" (sound layer 1 \"音\", event at 00:00:00.000): "),
            std::string::npos)
      << stopped.Err;
  EXPECT_FALSE(fs::exists(File("out.avi")));
  EXPECT_FALSE(fs::exists(File("out.wav")));

  const TRun rendered = Run(render);  // without --strict: listed, then rendered without them
  EXPECT_EQ(rendered.Status, 0) << rendered.Err;
  EXPECT_NE(rendered.Err.find("2 files are missing or unreadable"), std::string::npos) << rendered.Err;
  EXPECT_TRUE(fs::exists(File("out.avi")));
  EXPECT_TRUE(fs::exists(File("out.wav")));

  const TRun info = Run({"--info", project});
  EXPECT_EQ(info.Status, 0);
  EXPECT_NE(info.Out.find("\tpic.bmp\t!! picture: No such file or directory\n"), std::string::npos)
      << info.Out;
}

TEST_F(VexaRender, SearchPathsFindMovedMediaByNameThenWithoutLetterCase) {
  const std::string project = SaveProject();
  fs::create_directories(File("moved/deep"));
  fs::rename(File("pic.bmp"), File("moved/PIC.BMP"));
  fs::rename(File("tone.wav"), File("moved/deep/tone.wav"));
  const std::string layer = ReadFile(File("g.vxgl"));
  const TRun run = Run({project, "--strict", "--search-path", File("elsewhere"), "--search-path", File("moved"),
                        "--wav", File("out.wav"), "-o", File("out.avi"), "--codec", "uncompressed"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Err.find("\"pic.bmp\" found as \"" + File("moved/PIC.BMP") + "\""), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("found as \"" + File("moved/deep/tone.wav") + "\""), std::string::npos) << run.Err;
  EXPECT_TRUE(fs::exists(File("out.avi")));
  EXPECT_EQ(ReadFile(File("g.vxgl")), layer);  // the project's files stay as they are
}

TEST_F(VexaRender, NothingToRenderAndSizesTheEngineCannotHoldAreSaidInWords) {
  TProject empty;
  empty.FileName = File("empty.vxpj");
  vexa::SaveProject(empty, true);
  TRun run = Run({empty.FileName, "--wav", File("e.wav")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("サウンドのレンダリング中に異常が発生しました。 (the project has no sound layers)"),
            std::string::npos)
      << run.Err;
  run = Run({empty.FileName, "-o", File("e.avi"), "--codec", "uncompressed"});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("(the project has no graphic layers)"), std::string::npos) << run.Err;

  const std::string huge = SaveProject(32768, 32768);
  run = Run({huge, "-o", File("huge.avi")});
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("AVIの初期化に失敗しました。 (the picture size 32768 x 32768 is more than"),
            std::string::npos)
      << run.Err;
  EXPECT_FALSE(fs::exists(File("huge.avi")));
  EXPECT_TRUE(Temporaries().empty());
}

// An event ending at 4294967295 ms (how -1 is stored): the render would take days.
TEST_F(VexaRender, SignalsStopTheRenderAndLeaveNoTemporaryFiles) {
  const std::string project = SaveProject(16, 16, 4294967295u);
  const std::vector<std::string> render{project, "-o", File("out.avi"), "--codec", "uncompressed"};

  // One SIGTERM stops like Ctrl+C: the frames so far become the file.
  pid_t pid = Start(render);
  ASSERT_TRUE(AwaitTemporary(pid));
  ::kill(pid, SIGTERM);
  TRun run = Finish(pid);
  EXPECT_EQ(run.Status, 128 + SIGTERM) << run.Err;
  EXPECT_NE(run.Err.find("the project is 1193:02:47 long"), std::string::npos) << run.Err;
  EXPECT_EQ(ReadFile(File("out.avi")).substr(8, 4), "AVI ");  // a whole file of the frames so far
  EXPECT_TRUE(Temporaries().empty());

  // A second signal ends it at once: the unfinished file goes, the old one stays.
  WriteFile(File("out.avi"), "old render");
  pid = Start(render);
  ASSERT_TRUE(AwaitTemporary(pid));
  ::kill(pid, SIGSTOP);  // both signals arrive together
  ::kill(pid, SIGTERM);
  ::kill(pid, SIGINT);
  ::kill(pid, SIGCONT);
  run = Finish(pid);
  EXPECT_TRUE(run.Status == 128 + SIGTERM || run.Status == 128 + SIGINT) << run.Status << run.Err;
  EXPECT_TRUE(ReadFile(File("out.avi")) == "old render");
  EXPECT_TRUE(Temporaries().empty());

  // A file size limit: the write fails with its reason, nothing is left.
  run = Run(render, 64 * 1024);
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("File too large"), std::string::npos) << run.Err;
  EXPECT_TRUE(ReadFile(File("out.avi")) == "old render");
  EXPECT_TRUE(Temporaries().empty());

  // The same while a sound file is written: three minutes of sound, stopped while writing.
  const std::string sound = SaveProject(16, 16, 500, 180000);
  WriteFile(File("out.wav"), "old sound");
  pid = Start({sound, "--wav", File("out.wav")});
  ASSERT_TRUE(AwaitTemporary(pid));
  ::kill(pid, SIGSTOP);
  ::kill(pid, SIGTERM);
  ::kill(pid, SIGINT);
  ::kill(pid, SIGCONT);
  run = Finish(pid);
  EXPECT_TRUE(run.Status == 128 + SIGTERM || run.Status == 128 + SIGINT) << run.Status << run.Err;
  EXPECT_TRUE(ReadFile(File("out.wav")) == "old sound");
  EXPECT_TRUE(Temporaries().empty());
}

// The finished files: names of other kinds refused, a signal keeps the movie so far, a still
// and a stretch of sound are checked against the project's files like every output.
TEST_F(VexaRender, MoviesStillsAndStretchesOfSound) {
  const std::string shortProject = SaveProject(16, 16, 1000, 1000);
  TRun run = Run({shortProject, "-o", File("out.webm")});
  EXPECT_EQ(run.Status, 2);
  EXPECT_NE(run.Err.find("one of .avi, .mp4, .mkv, .mov"), std::string::npos) << run.Err;
  EXPECT_FALSE(std::filesystem::exists(File("out.webm")));
  EXPECT_FALSE(std::filesystem::exists(File("out.webm.avi")));

  run = Run({shortProject, "--still", "0.5", File("pic.bmp")});  // the project's own picture
  EXPECT_EQ(run.Status, 1);
  EXPECT_NE(run.Err.find("出力先のファイルはプロジェクトで使用中"), std::string::npos) << run.Err;
  run = Run({shortProject, "--still", "0:00:00.500", File("still.png"), "--frames", "3-5", "--wav",
             File("part.wav"), "-q"});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_TRUE(run.Out.empty()) << run.Out;  // -q: errors only
  EXPECT_EQ(ReadFile(File("still.png")).substr(1, 3), "PNG");
  EXPECT_EQ(ReadFile(File("part.wav")).size(), 44u + 4 * 4410);  // frames 3 to 5: 0.1 s

  const std::string longProject = SaveProject(16, 16, 4294967295u);
  const pid_t pid = Start({longProject, "-o", File("out.mp4"), "--codec", "mjpeg"});
  ASSERT_TRUE(AwaitTemporary(pid));
  // Some frames in it first: a movie stopped before its first frame is not written at all.
  for (std::error_code ec; Temporaries().size() == 1 && fs::file_size(fs::path(Dir) / Temporaries()[0], ec) < 16384;) {
  }
  ::kill(pid, SIGTERM);
  run = Finish(pid);
  EXPECT_EQ(run.Status, 128 + SIGTERM) << run.Err;
  EXPECT_EQ(ReadFile(File("out.mp4")).substr(4, 4), "ftyp");  // a whole file of the frames so far
  EXPECT_TRUE(Temporaries().empty());
}

}  // namespace
}  // namespace vexa
