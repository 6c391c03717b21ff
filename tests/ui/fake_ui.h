// A scripted stand-in for the main window: answers dialogs and confirmations as told and
// records what the commands asked and refreshed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/logic/event_adjust_form.h"
#include "ui/logic/user_prompt.h"

namespace vexa::test {

class TFakeUi : public TEventCommandUi {
 public:
  bool ConfirmAnswer = true;
  bool DialogAnswer = true;
  // Plays the user's part in the dialog.
  std::function<void(TEventAdjustForm&)> OnDialog;

  std::vector<std::string> Messages;
  std::vector<std::string> Confirmations;
  std::vector<TEvent*> Refreshed;
  int DialogsShown = 0;
  int Refills = 0;

  void Message(std::string_view text) override { Messages.emplace_back(text); }
  bool Confirm(std::string_view text) override {
    Confirmations.emplace_back(text);
    return ConfirmAnswer;
  }
  bool ShowAdjustDialog(TEventAdjustForm& form) override {
    ++DialogsShown;
    if (OnDialog) OnDialog(form);
    return DialogAnswer;
  }
  void RefreshRow(TEvent& event) override { Refreshed.push_back(&event); }
  void RefillView() override { ++Refills; }
};

}  // namespace vexa::test
