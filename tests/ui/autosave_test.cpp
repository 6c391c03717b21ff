// The autosave on a fake clock, and recovery after the program died: children that are killed
// in the middle of their autosaves, or end without cleaning up, and the offer at the next start.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "editor_fixture.h"
#include "persist/project_file.h"
#include "temp_folder.h"
#include "ui/logic/autosave.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::AddEvent;
using testing::ReadFile;

// What a project's files would hold, and the file names it keeps.
std::string ProjectText(const TProject& p) {
  std::string text = p.ProjectName + "|" + p.FileName + "|" + std::to_string(p.Width) + "\n";
  for (const auto& l : p.GraphicLayers) {
    TExtIniFile ini{std::string()};
    WriteGraphicLayerIni(*l, "/", ini);
    text += "G " + l->FileName + "\n" + ini.BuildText();
  }
  for (const auto& l : p.SoundLayers) {
    TExtIniFile ini{std::string()};
    WriteSoundLayerIni(*l, "/", ini);
    text += "S " + l->FileName + "\n" + ini.BuildText();
  }
  return text;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class TScriptedRecoveryPrompt : public TRecoveryPrompt {
 public:
  std::vector<TRecoveryChoice> Answers;
  std::vector<std::string> Questions, Errors;
  TRecoveryChoice AskRecovery(const std::string& q) override {
    Questions.push_back(q);
    TRecoveryChoice a = Answers.front();
    Answers.erase(Answers.begin());
    return a;
  }
  void ErrorMessage(std::string_view text) override { Errors.emplace_back(text); }
};

class Autosave : public test::TEditorFixture {
 protected:
  void SetUp() override {
    project.ProjectName = "歌";
    project.FileName = user / "song.vxpj";
    AddEvent<TGraphicSourceTextEvent>(Graphic("A"), 0, 1000);
    AddEvent<TSoundSourceEvent>(Sound("S"), 0, 500);
    project.GraphicLayers[0]->FileName = user / "a.vxgl";
    project.SoundLayers[0]->FileName = user / "s.vxsl";
    SaveProject(project, true);
    Rebuild();
    Select(TViewId::GraphicLayers, {0});
    userFiles = Snapshot(user.Path());
    saved = ProjectText(project);
  }
  // The two changes every test makes.
  void FirstChange() { act.ApplyProjectSettings({"歌2", 320, 240, 30, 0}); }
  void SecondChange() { act.RenameLayer(TViewId::GraphicLayers, 0, "B"); }

  std::map<std::string, std::string> Snapshot(const std::string& folder) const {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(folder))
      files[e.path().filename().string()] = ReadFile(e.path().string());
    return files;
  }

  // A child process that autosaves the two changes and ends without cleaning up, as a crash
  // would leave it; returns when it has ended.
  void LeaveRecovery() {
    const pid_t pid = ::fork();
    if (pid == 0) {
      TRecoverySession session(root);
      TAutosave autosave(doc, session, clock, 0ms);
      FirstChange();
      SecondChange();
      ::_exit(autosave.SaveNow() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  testing::TTempFolder user, state;
  const std::string root = state / "vexa-studio/recovery";
  std::map<std::string, std::string> userFiles;
  std::string saved;
  std::chrono::steady_clock::time_point now{};
  TAutosave::TClock clock = [this] { return now; };
};

TEST_F(Autosave, WritesAnIntervalAfterTheFirstUnsavedChangeAndNeverTheUsersFiles) {
  TRecoverySession session(root);
  TAutosave autosave(doc, session, clock);
  now += 10min;
  EXPECT_FALSE(autosave.Poll());  // nothing unsaved
  FirstChange();
  now += 59s;
  EXPECT_FALSE(autosave.Poll());
  now += 1s;
  EXPECT_TRUE(autosave.Poll());
  EXPECT_TRUE(session.HasRecovery());
  now += 10min;
  EXPECT_FALSE(autosave.Poll());  // nothing new since
  now += 1h;
  SecondChange();
  now += 30s;
  EXPECT_FALSE(autosave.Poll());
  now += 30s;
  EXPECT_TRUE(autosave.Poll());

  // Only the session folder was written; the project keeps its own file names.
  EXPECT_EQ(Snapshot(user.Path()), userFiles);
  EXPECT_EQ(project.FileName, user / "song.vxpj");
  EXPECT_EQ(project.GraphicLayers[0]->FileName, user / "a.vxgl");
  EXPECT_EQ(FilesIn(root), std::vector<std::string>{fs::path(session.Folder()).filename().string()});
  EXPECT_EQ(FilesIn(session.Folder()), (std::vector<std::string>{"graphic-2-0.vxgl", "lock", "project-2.vxpj",
                                                                  "recovery.ini", "sound-2-0.vxsl"}));

  // Back at the saved state nothing is left to recover; a save does the same.
  doc.History().Undo();
  doc.History().Undo();
  EXPECT_FALSE(autosave.Poll());
  EXPECT_FALSE(session.HasRecovery());
  EXPECT_EQ(FilesIn(session.Folder()), std::vector<std::string>{"lock"});
  doc.History().Redo();
  autosave.SetInterval(5s);
  now += 5s;
  EXPECT_TRUE(autosave.Poll());
  act.SaveProject();
  EXPECT_FALSE(autosave.Poll());
  EXPECT_FALSE(session.HasRecovery());
}

TEST_F(Autosave, AKilledProgramLeavesACompleteRecoveryThatNoRunningProgramOffers) {
  // What the child has on disk at any moment is the state after one of the two changes.
  FirstChange();
  const std::string afterFirst = ProjectText(project);
  SecondChange();
  const std::string afterSecond = ProjectText(project);
  doc.History().Undo();
  doc.History().Undo();

  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    TRecoverySession session(root);
    TAutosave autosave(doc, session, clock, 0ms);
    FirstChange();
    SecondChange();
    autosave.SaveNow();
    if (::write(ready[1], "!", 1) != 1) ::_exit(1);
    for (;;) {  // autosaving without pause until killed
      doc.History().Undo();
      autosave.SaveNow();
      doc.History().Redo();
      autosave.SaveNow();
    }
  }
  ::close(ready[1]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);
  EXPECT_TRUE(FindRecoveredProjects(root).empty());  // its program is running
  std::this_thread::sleep_for(20ms);                  // well into the loop
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  auto found = FindRecoveredProjects(root);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(FindRecoveredProjects(root).empty());  // held while it is offered
  const std::string recovered = ProjectText(*found[0]->Load());
  EXPECT_TRUE(recovered == afterFirst || recovered == afterSecond) << recovered;
  EXPECT_EQ(found[0]->Info().ProjectFile, user / "song.vxpj");
  EXPECT_EQ(Snapshot(user.Path()), userFiles);

  // The next start asks; "後で" keeps it for the start after.
  TScriptedRecoveryPrompt ask;
  ask.Answers = {TRecoveryChoice::Later};
  {
    TRecoverySession session(root);
    TAutosave autosave(doc, session, clock);
    EXPECT_FALSE(OfferRecoveredProjects(std::move(found), doc, autosave, ask));
  }
  ASSERT_EQ(ask.Questions.size(), 1u);
  EXPECT_NE(ask.Questions[0].find("「歌2」"), std::string::npos) << ask.Questions[0];
  EXPECT_EQ(ProjectText(project), saved);  // nothing loaded silently

  // "復元": the project as recovered, unsaved, with its own file names; the old folder goes
  // once the new session holds the copy.
  TProject other;
  TProjectDocument otherDoc(other);
  TRecoverySession session(root);
  TAutosave autosave(otherDoc, session, clock);
  ask.Answers = {TRecoveryChoice::Restore};
  EXPECT_TRUE(OfferRecoveredProjects(FindRecoveredProjects(root), otherDoc, autosave, ask));
  EXPECT_EQ(ProjectText(other), recovered);
  EXPECT_TRUE(otherDoc.IsModified());
  EXPECT_EQ(otherDoc.WindowCaption(), "Vexa Studio - *" + other.ProjectName);
  EXPECT_TRUE(session.HasRecovery());
  EXPECT_EQ(FilesIn(root), std::vector<std::string>{fs::path(session.Folder()).filename().string()});
}

TEST_F(Autosave, ADamagedRecoveryStaysUntilDiscarded) {
  LeaveRecovery();
  auto found = FindRecoveredProjects(root);
  ASSERT_EQ(found.size(), 1u);
  const std::string folder = found[0]->Folder();
  testing::WriteFile(folder + "/graphic-1-0.vxgl", "BZh9 broken");
  found.clear();

  TRecoverySession session(root);
  TAutosave autosave(doc, session, clock);
  TScriptedRecoveryPrompt ask;
  ask.Answers = {TRecoveryChoice::Restore};
  EXPECT_FALSE(OfferRecoveredProjects(FindRecoveredProjects(root), doc, autosave, ask));
  EXPECT_EQ(ask.Errors.size(), 1u);
  EXPECT_EQ(ProjectText(project), saved);
  EXPECT_TRUE(fs::exists(folder));

  ask.Answers = {TRecoveryChoice::Discard};
  EXPECT_FALSE(OfferRecoveredProjects(FindRecoveredProjects(root), doc, autosave, ask));
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(FindRecoveredProjects(root).empty());
}

}  // namespace
}  // namespace vexa
