// A scripted stand-in for the main window: answers dialogs and confirmations as told and
// records what the commands asked and refreshed.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/logic/dialog_prompt.h"
#include "ui/logic/event_adjust_form.h"
#include "ui/logic/user_prompt.h"

namespace vexa::test {

class TFakeUi : public TEventCommandUi {
 public:
  bool ConfirmAnswer = true;

  std::vector<std::string> Messages;
  std::vector<std::string> Confirmations;
  std::vector<TEvent*> Refreshed;

  void Message(std::string_view text) override { Messages.emplace_back(text); }
  bool Confirm(std::string_view text) override {
    Confirmations.emplace_back(text);
    return ConfirmAnswer;
  }
  void RefreshRow(TEvent& event) override { Refreshed.push_back(&event); }
};

// The main window's prompt, scripted: confirmations answer ConfirmAnswer, file choosers take
// their answers from Files in order (an empty answer cancels; none left cancels too).
class TFakePrompt : public TEditorPrompt {
 public:
  bool ConfirmAnswer = true;
  bool DialogAnswer = true;
  std::function<void(TEventAdjustForm&)> OnDialog;
  std::deque<std::vector<std::string>> Files;

  std::vector<std::string> Messages, Errors, Confirmations;
  std::vector<TFileChooser> Choosers;  // every chooser shown, in order

  void Message(std::string_view text) override { Messages.emplace_back(text); }
  void ErrorMessage(std::string_view text) override { Errors.emplace_back(text); }
  bool Confirm(std::string_view text) override {
    Confirmations.emplace_back(text);
    return ConfirmAnswer;
  }
  std::string ChooseOpenFile(const TFileChooser& c) override {
    std::vector<std::string> f = Next(c);
    return f.empty() ? std::string() : f.front();
  }
  std::vector<std::string> ChooseOpenFiles(const TFileChooser& c) override { return Next(c); }
  std::string ChooseSaveFile(const TFileChooser& c) override { return ChooseOpenFile(c); }
  bool ShowAdjustDialog(TEventAdjustForm& form) override {
    if (OnDialog) OnDialog(form);
    return DialogAnswer;
  }

 private:
  std::vector<std::string> Next(const TFileChooser& c) {
    Choosers.push_back(c);
    if (Files.empty()) return {};
    std::vector<std::string> f = std::move(Files.front());
    Files.pop_front();
    return f;
  }
};

// Sound and movie files as a decoder and a movie reader would report them; files not listed
// do not open.
class TFakeMedia : public TMediaAccess {
 public:
  std::map<std::string, TSoundFileInfo> Sounds;
  std::map<std::string, TMovieFileInfo> Movies;

  bool FileExists(const std::string& path) const override { return Sounds.count(path) || Movies.count(path); }
  TSoundFileInfo ProbeSound(const std::string& path) override {
    auto it = Sounds.find(path);
    return it == Sounds.end() ? TSoundFileInfo{} : it->second;
  }
  std::unique_ptr<TSoundPlayback> NewSoundPlayback() override { return nullptr; }
  std::unique_ptr<TMovieFrames> NewMovieFrames() override { return std::make_unique<TFrames>(*this); }

 private:
  struct TFrames : TMovieFrames {
    explicit TFrames(TFakeMedia& m) : Media(m) {}
    TMovieFileInfo Open(const std::string& file) override {
      auto it = Media.Movies.find(file);
      return it == Media.Movies.end() ? TMovieFileInfo{} : it->second;
    }
    bool ShowFrame(uint32_t) override { return false; }
    void Close() override {}
    TFakeMedia& Media;
  };
};

}  // namespace vexa::test
